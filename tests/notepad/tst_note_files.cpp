// Note files on disk: round trips, failures that must be told and lose nothing, and the table of
// open files.
#include "notepad/note_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace notepad;
using Reason = NoteError::Reason;
using Action = NoteError::Action;

Q_DECLARE_METATYPE(notepad::NoteError::Reason)
Q_DECLARE_METATYPE(notepad::NoteError::Action)

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

mode_t modeOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

int openDescriptorCount()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot).size());
}

// Another process that holds a file as long as this object lives: either another copy of the
// notepad (which opens it through the note file layer) or a program that locks it exclusively.
class OtherProcess {
public:
    enum Hold { NotepadOpen, ExclusiveLock };

    OtherProcess(const QString &path, Hold hold)
    {
        int ready[2], release[2];
        if (::pipe(ready) != 0 || ::pipe(release) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            ::close(release[1]);
            bool held = false;
            if (hold == NotepadOpen) {
                held = OpenNoteFile(path) != 0;
            } else {
                const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR);
                struct flock lock {};
                lock.l_type = F_WRLCK;
                lock.l_whence = SEEK_SET;
                held = fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
            }
            const char answer = held ? 'y' : 'n';
            (void)!::write(ready[1], &answer, 1);
            char byte;
            (void)!::read(release[0], &byte, 1); // returns when the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        m_release = release[1];
        char answer = 'n';
        m_holding = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
        ::close(ready[0]);
    }
    ~OtherProcess()
    {
        if (m_release >= 0)
            ::close(m_release);
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
    }
    bool holding() const { return m_holding; }

private:
    pid_t m_pid = -1;
    int m_release = -1;
    bool m_holding = false;
};

// Saves in a child process whose files may not grow beyond a few kilobytes, as on a full disk.
// Gives the reason of the failure, or Reason::None when the save succeeded.
Reason saveWithSizeLimit(const QString &path, const QByteArray &content)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        const struct rlimit limit {4096, 4096};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
        NoteError error;
        WriteNoteFile(path, content, &error);
        ::_exit(int(error.reason()));
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? Reason(WEXITSTATUS(status)) : Reason::Other;
}

}

class TestNoteFiles : public QObject {
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void reading_data();
    void reading();
    void failuresAndKeeping_data();
    void failuresAndKeeping();
    void tooLargeToRead();
    void openFilesTable();

private:
    QTemporaryDir m_dir;
};

void TestNoteFiles::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("two lines") << QStringLiteral("你好\nab")
                               << QByteArray("\xC4\xE3\xBA\xC3\r\nab");
    QTest::newRow("empty") << QString() << QByteArray();
    QTest::newRow("outside GBK") << QStringLiteral("😀\n한")
                                 << QByteArray("\x94\x39\xFC\x36\r\n\x83\x36\x84\x33");
    QTest::newRow("empty lines") << QStringLiteral("\n\na\n") << QByteArray("\r\n\r\na\r\n");
}

void TestNoteFiles::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath(QStringLiteral("round.txt"));
    writeBytes(path, "old content that is longer than the new one");

    NoteError error;
    QVERIFY(WriteNoteFile(path, noteBytesFromText(text), &error));
    QVERIFY(!error);
    QCOMPARE(readBytes(path), bytes);

    const int number = OpenNoteFile(path, &error);
    QVERIFY2(number != 0, qPrintable(error.message()));
    QCOMPARE(ReadNoteText(number, &error), text);
    QVERIFY(!error);
    CloseNoteFile(number);
}

void TestNoteFiles::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("binary file cut at 0x00") << QByteArray("abc\0def\x1A", 8) << QStringLiteral("abc");
    QTest::newRow("invalid GBK") << QByteArray("a\x80" "b") << QStringLiteral("a\uFFFDb");
    QTest::newRow("lone first byte at the end") << QByteArray("\xC4\xE3\xBA") << QStringLiteral("你\uFFFD");
    QTest::newRow("empty file") << QByteArray() << QString();
}

void TestNoteFiles::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    const QString path = m_dir.filePath(QStringLiteral("read.txt"));
    writeBytes(path, bytes);

    NoteError error;
    const int number = OpenNoteFile(path, &error);
    QVERIFY2(number != 0, qPrintable(error.message()));
    QCOMPARE(ReadNoteText(number, &error), text);
    QVERIFY(!error);
    CloseNoteFile(number);
    QCOMPARE(readBytes(path), bytes); // opening and reading change nothing
}

// Each situation ends either in success or in one told reason, and never costs the old content.
enum class Situation {
    EmptyPath,
    Missing,
    FolderRemoved,
    Folder,
    Pipe,
    ReadOnly,
    HeldByThisNotepad,
    OpenInAnotherNotepad,
    LockedByAnotherProgram,
    SizeLimit,
    SpacesAndChinese,
    SymbolicLink,
    Permissions,
};
Q_DECLARE_METATYPE(Situation)

void TestNoteFiles::failuresAndKeeping_data()
{
    QTest::addColumn<Situation>("situation");
    QTest::addColumn<Action>("action");
    QTest::addColumn<Reason>("reason");
    QTest::addColumn<QString>("told");

    const auto row = [](const char *name, Situation s, Action a, Reason r, const QString &told = {}) {
        QTest::newRow(name) << s << a << r << told;
    };
    row("open: empty path", Situation::EmptyPath, Action::Open, Reason::EmptyPath, "没有指定文件名。");
    row("open: missing file", Situation::Missing, Action::Open, Reason::Missing, "文件不存在。");
    row("open: folder removed", Situation::FolderRemoved, Action::Open, Reason::FolderGone,
        "文件所在的文件夹不存在。");
    row("open: a folder", Situation::Folder, Action::Open, Reason::IsFolder, "这是一个文件夹，不是文件。");
    row("open: a pipe", Situation::Pipe, Action::Open, Reason::NotAFile, "这不是普通文件。");
    row("open: read-only 0444", Situation::ReadOnly, Action::Open, Reason::ReadOnly, "文件是只读的。");
    row("open: locked by another program", Situation::LockedByAnotherProgram, Action::Open, Reason::InUse,
        "文件正被其他程序使用。");
    row("open: open in another notepad", Situation::OpenInAnotherNotepad, Action::Open, Reason::None);
    row("open: spaces and Chinese", Situation::SpacesAndChinese, Action::Open, Reason::None);

    row("save: empty path", Situation::EmptyPath, Action::Save, Reason::EmptyPath, "没有指定文件名。");
    row("save: folder removed", Situation::FolderRemoved, Action::Save, Reason::FolderGone,
        "文件所在的文件夹不存在。");
    row("save: onto a folder", Situation::Folder, Action::Save, Reason::IsFolder, "这是一个文件夹，不是文件。");
    row("save: onto a pipe", Situation::Pipe, Action::Save, Reason::NotAFile, "这不是普通文件。");
    row("save: read-only 0444", Situation::ReadOnly, Action::Save, Reason::ReadOnly, "文件是只读的。");
    row("save: held by this notepad", Situation::HeldByThisNotepad, Action::Save, Reason::HeldByNotepad,
        "文件已在记事本中打开，请先关闭它。");
    row("save: open in another notepad", Situation::OpenInAnotherNotepad, Action::Save, Reason::InUse,
        "文件正被其他程序使用。");
    row("save: locked by another program", Situation::LockedByAnotherProgram, Action::Save, Reason::InUse,
        "文件正被其他程序使用。");
    row("save: file size limit", Situation::SizeLimit, Action::Save, Reason::TooLarge, "文件太大。");
    row("save: spaces and Chinese", Situation::SpacesAndChinese, Action::Save, Reason::None);
    row("save: through a symbolic link", Situation::SymbolicLink, Action::Save, Reason::None);
    row("save: keeps permission bits", Situation::Permissions, Action::Save, Reason::None);
}

void TestNoteFiles::failuresAndKeeping()
{
    QFETCH(Situation, situation);
    QFETCH(Action, action);
    QFETCH(Reason, reason);
    QFETCH(QString, told);

    QTemporaryDir dir;
    const qsizetype openBefore = noteFiles().openCount();
    const QByteArray oldContent("old \xC4\xE3\r\n");
    const QByteArray newContent = noteBytesFromText(QStringLiteral("新的\n内容"));
    QString path = dir.filePath(QStringLiteral("note.txt"));
    QString target = path; // the file that holds the content
    mode_t mode = 0644;
    std::unique_ptr<OtherProcess> other;
    int heldNumber = 0;

    switch (situation) {
    case Situation::EmptyPath:
        path.clear();
        break;
    case Situation::Missing:
        break;
    case Situation::FolderRemoved:
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("gone")));
        path = dir.filePath(QStringLiteral("gone/note.txt"));
        QVERIFY(QDir(dir.path()).rmdir(QStringLiteral("gone")));
        break;
    case Situation::Folder:
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("note.txt")));
        break;
    case Situation::Pipe:
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0644) == 0);
        break;
    case Situation::ReadOnly:
        mode = 0444;
        break;
    case Situation::HeldByThisNotepad:
    case Situation::OpenInAnotherNotepad:
    case Situation::LockedByAnotherProgram:
    case Situation::SizeLimit:
        break;
    case Situation::SpacesAndChinese:
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("我的 笔记")));
        path = target = dir.filePath(QStringLiteral("我的 笔记/第 一 篇.txt"));
        break;
    case Situation::SymbolicLink:
        target = dir.filePath(QStringLiteral("real.txt"));
        break;
    case Situation::Permissions:
        mode = 0604;
        break;
    }
    const bool targetExists = situation != Situation::EmptyPath && situation != Situation::Missing
            && situation != Situation::FolderRemoved && situation != Situation::Folder
            && situation != Situation::Pipe;
    if (targetExists) {
        writeBytes(target, oldContent);
        QVERIFY(::chmod(QFile::encodeName(target).constData(), mode) == 0);
    }
    if (situation == Situation::SymbolicLink)
        QVERIFY(QFile::link(QStringLiteral("real.txt"), path));
    if (situation == Situation::HeldByThisNotepad)
        QVERIFY((heldNumber = OpenNoteFile(path)) != 0);
    if (situation == Situation::OpenInAnotherNotepad)
        other = std::make_unique<OtherProcess>(path, OtherProcess::NotepadOpen);
    if (situation == Situation::LockedByAnotherProgram)
        other = std::make_unique<OtherProcess>(path, OtherProcess::ExclusiveLock);
    if (other)
        QVERIFY(other->holding());
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    NoteError error;
    if (action == Action::Open) {
        const int number = OpenNoteFile(path, &error);
        QCOMPARE(number != 0, reason == Reason::None);
        if (number != 0)
            QCOMPARE(ReadNoteText(number), QStringLiteral("old 你\n"));
        CloseNoteFile(number);
    } else if (situation == Situation::SizeLimit) {
        error = NoteError(Action::Save, saveWithSizeLimit(path, QByteArray(1 << 20, 'x')), path);
    } else {
        QCOMPARE(WriteNoteFile(path, newContent, &error), reason == Reason::None);
    }
    CloseNoteFile(heldNumber);
    other.reset();

    QCOMPARE(error.reason(), reason);
    if (reason != Reason::None) {
        const QString verb = action == Action::Open ? QStringLiteral("打开") : QStringLiteral("保存");
        const QString expected = path.isEmpty()
                ? QStringLiteral("无法%1文件：%2").arg(verb, told)
                : QStringLiteral("无法%1文件“%2”：%3").arg(verb, path, told);
        QCOMPARE(error.message(), expected);
    }
    QCOMPARE(noteFiles().openCount(), openBefore);

    // Nothing lost: a failed save leaves the old content and no stray file beside it; a save replaces
    // the content only, keeping the permission bits and a symbolic link.
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), filesBefore);
    if (targetExists) {
        const bool saved = action == Action::Save && reason == Reason::None;
        QCOMPARE(readBytes(target), saved ? newContent : oldContent);
        QCOMPARE(modeOf(target), mode);
    }
    if (situation == Situation::SymbolicLink)
        QCOMPARE(QFileInfo(path).symLinkTarget(), target);
}

void TestNoteFiles::tooLargeToRead()
{
    // A sparse file just past the largest note that is read.
    const QString path = m_dir.filePath(QStringLiteral("huge.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.resize((qint64(1) << 30) + 1));
    file.close();

    NoteError error;
    const int number = OpenNoteFile(path, &error);
    QVERIFY(number != 0);
    QCOMPARE(ReadNoteText(number, &error), QString());
    QCOMPARE(error.reason(), Reason::TooLarge);
    QCOMPARE(error.message(), QStringLiteral("无法读取文件“%1”：文件太大。").arg(path));
    CloseNoteFile(number);
    QVERIFY(file.remove());
}

void TestNoteFiles::openFilesTable()
{
    const QString first = m_dir.filePath(QStringLiteral("first.txt"));
    const QString second = m_dir.filePath(QStringLiteral("second.txt"));
    writeBytes(first, "1");
    writeBytes(second, "");
    const int descriptorsBefore = openDescriptorCount();
    const qsizetype openBefore = noteFiles().openCount();

    const int a = OpenNoteFile(first);
    const int b = OpenNoteFile(second);
    const int again = OpenNoteFile(first); // the same file may be opened more than once
    QVERIFY(a != 0 && b != 0 && again != 0);
    QVERIFY(a != b && b != again && a != again);
    QCOMPARE(openDescriptorCount(), descriptorsBefore + 3);
    QCOMPARE(ReadNoteText(a), QStringLiteral("1"));
    QCOMPARE(ReadNoteText(a), QString()); // read on from the end
    QCOMPARE(ReadNoteText(b), QString());

    for (const int number : {a, b, again})
        CloseNoteFile(number);
    QCOMPARE(openDescriptorCount(), descriptorsBefore);
    QCOMPARE(noteFiles().openCount(), openBefore);

    // Closed and never issued numbers are no file: empty text, no error, closing does nothing.
    for (const int number : {a, 0, -1, again + 1000}) {
        NoteError error;
        QCOMPARE(ReadNoteText(number, &error), QString());
        QVERIFY(!error);
        CloseNoteFile(number);
    }
    QCOMPARE(openDescriptorCount(), descriptorsBefore);

    // Numbers are not reused, and a closed file may be saved again.
    const int later = OpenNoteFile(first);
    QVERIFY(later > again);
    QVERIFY(!WriteNoteFile(first, "2"));
    CloseNoteFile(later);
    QVERIFY(WriteNoteFile(first, "2"));
    QCOMPARE(readBytes(first), QByteArray("2"));
}

QTEST_GUILESS_MAIN(TestNoteFiles)
#include "tst_note_files.moc"
