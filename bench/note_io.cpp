// Opening and saving a 16 MB GBK note through the note file layer, against the work that no notepad
// can avoid on the same bytes in the same run:
//   open: layer  = OpenNoteFile + ReadNoteText (read, scan, line breaks, decode) + setPlainText
//         base   = read the whole file + gbk::decode + setPlainText into the same kind of box
//   save: layer  = toPlainText + noteBytesFromText (encode, CR LF) + WriteNoteFile (lock, QSaveFile, fsync)
//         base   = toPlainText of the same box + gbk::encode + open/write/fsync/close
// Each figure is the median of several interleaved rounds; the file-layer part alone (without the box)
// is printed beside it. Run: build-notes/bench/note_io [megabytes] [rounds]
#include "figure.h"
#include "forms/gbk.h"
#include "notepad/note_file.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <malloc.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// A note of about the given size: Chinese and ASCII mixed, lines of some 60 bytes, CR LF breaks.
QByteArray makeNote(qsizetype bytes)
{
    QString text;
    for (int line = 1; gbk::encode(text).size() < 1024; ++line)
        text += QStringLiteral("第%1行：风力三级，角度四十五度，力度 2.35 屏。notes %2\n").arg(line).arg(line * 7);
    QByteArray block = gbk::encode(text);
    block.replace("\n", "\r\n");
    QByteArray note;
    note.reserve(bytes + block.size());
    while (note.size() < bytes)
        note += block;
    return note;
}

QByteArray readWholeFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    ::fstat(fd, &st);
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got <= 0)
            break;
        filled += got;
    }
    ::close(fd);
    bytes.truncate(filled);
    return bytes;
}

bool writeWholeFile(const QString &path, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    qsizetype done = 0;
    while (fd >= 0 && done < bytes.size()) {
        const ssize_t put = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (put <= 0)
            break;
        done += put;
    }
    const bool ok = fd >= 0 && done == bytes.size() && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// A box like the notepad's, shown, so that setting its text does what it does in the window.
std::unique_ptr<QPlainTextEdit> makeBox()
{
    auto box = std::make_unique<QPlainTextEdit>();
    box->resize(380, 300);
    box->show();
    QApplication::processEvents();
    return box;
}

struct Timing {
    std::vector<double> whole, part; // milliseconds: the whole operation, the file-layer part of it
    double median(std::vector<double> v) const
    {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : v[v.size() / 2];
    }
};

struct Figures {
    double layer, base, layerPart, basePart;
};

Figures report(const char *what, const Timing &layer, const Timing &base, const char *partName)
{
    const double l = layer.median(layer.whole), b = base.median(base.whole);
    const double lp = layer.median(layer.part), bp = base.median(base.part);
    std::printf("%-5s layer %8.1f ms   baseline %8.1f ms   ratio %.2fx (target <= 1.30x)\n", what, l, b, l / b);
    std::printf("      %-16s layer %8.1f ms   baseline %8.1f ms   ratio %.2fx\n", partName, lp, bp, lp / bp);
    return {l, b, lp, bp};
}

}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every large buffer comes fresh from the system, so that each step pays for the memory it
    // touches whatever ran before it (glibc would otherwise move its threshold and reuse memory).
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    QApplication app(argc, argv);
    const qsizetype megabytes = argc > 1 ? QByteArray(argv[1]).toLongLong() : 16;
    const int rounds = argc > 2 ? QByteArray(argv[2]).toInt() : 8;

    QTemporaryDir dir;
    const QString notePath = dir.filePath(QStringLiteral("note.txt"));
    const QString layerTarget = dir.filePath(QStringLiteral("layer.txt"));
    const QString baseTarget = dir.filePath(QStringLiteral("base.txt"));
    const QByteArray note = makeNote(megabytes << 20);
    if (!writeWholeFile(notePath, note)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(notePath));
        return 1;
    }
    std::printf("note: %.1f MiB GBK, CR LF, %lld rounds, temporary folder %s\n", note.size() / 1048576.0,
                static_cast<long long>(rounds), qPrintable(dir.path()));

    Timing openLayer, openBase, saveLayer, saveBase;
    // Each step keeps its own strings and frees them before the next, and the order of layer and
    // baseline alternates between rounds, so that neither inherits the other's memory.
    auto layerBox = makeBox();
    auto baseBox = makeBox();
    const auto openThroughLayer = [&] {
        layerBox = makeBox();
        QElapsedTimer timer;
        timer.start();
        notepad::NoteError error;
        const int number = notepad::OpenNoteFile(notePath, &error);
        const QString text = notepad::ReadNoteText(number, &error);
        openLayer.part.push_back(timer.nsecsElapsed() / 1e6);
        layerBox->setPlainText(text);
        openLayer.whole.push_back(timer.nsecsElapsed() / 1e6);
        notepad::CloseNoteFile(number);
        return !error && !text.isEmpty();
    };
    const auto openPlainly = [&] {
        baseBox = makeBox();
        QElapsedTimer timer;
        timer.start();
        const QString text = gbk::decode(readWholeFile(notePath));
        openBase.part.push_back(timer.nsecsElapsed() / 1e6);
        baseBox->setPlainText(text);
        openBase.whole.push_back(timer.nsecsElapsed() / 1e6);
        return !text.isEmpty();
    };
    const auto saveThroughLayer = [&] {
        QElapsedTimer timer;
        timer.start();
        const QString text = layerBox->toPlainText();
        const qint64 inBox = timer.nsecsElapsed();
        const bool saved = notepad::WriteNoteFile(layerTarget, notepad::noteBytesFromText(text));
        saveLayer.whole.push_back(timer.nsecsElapsed() / 1e6);
        saveLayer.part.push_back((timer.nsecsElapsed() - inBox) / 1e6);
        return saved;
    };
    const auto savePlainly = [&] {
        QElapsedTimer timer;
        timer.start();
        const QString text = layerBox->toPlainText(); // the same box as the layer's save
        const qint64 inBox = timer.nsecsElapsed();
        const bool saved = writeWholeFile(baseTarget, gbk::encode(text));
        saveBase.whole.push_back(timer.nsecsElapsed() / 1e6);
        saveBase.part.push_back((timer.nsecsElapsed() - inBox) / 1e6);
        return saved;
    };
    for (int round = 0; round <= rounds; ++round) {
        const bool layerFirst = round % 2 == 0;
        const bool opened = layerFirst ? openThroughLayer() && openPlainly() : openPlainly() && openThroughLayer();
        const bool saved = layerFirst ? saveThroughLayer() && savePlainly() : savePlainly() && saveThroughLayer();
        if (!opened || !saved) {
            std::fprintf(stderr, "a note could not be opened or saved in %s\n", qPrintable(dir.path()));
            return 1;
        }
        if (round == 0) {
            if (readWholeFile(layerTarget) != note) {
                std::fprintf(stderr, "the saved note differs from the opened one\n");
                return 1;
            }
            // The first round only warms up: the converters, the file system, the allocator.
            for (Timing *timing : {&openLayer, &openBase, &saveLayer, &saveBase})
                *timing = Timing();
        }
    }

    const Figures open = report("open", openLayer, openBase, "read+decode");
    const Figures save = report("save", saveLayer, saveBase, "encode+write");
    printFigure("note.open", "ms", open.layer, open.base, 1.30);
    printFigure("note.save", "ms", save.layer, save.base, 1.30);
    printFigure("note.open.read_decode", "ms", open.layerPart, open.basePart);
    printFigure("note.save.encode_write", "ms", save.layerPart, save.basePart);
    return 0;
}
