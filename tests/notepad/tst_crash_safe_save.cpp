// Saves killed halfway. A child process saves a large note through WriteNoteFile and is killed with
// SIGKILL after a random delay, anywhere from before the first byte to after the final rename.
// Afterwards the target holds exactly the old or exactly the new note, never a mix and never nothing,
// and nothing is left beside it for the user to trip over, except a temporary file of the save that
// the next save removes. One more case kills the save exactly between naming its temporary file and
// renaming it over the target, the one moment that leaves such a file behind.
//
// Environment (optional):
//   KORVANE_KILLS=n      number of random kills (default 40); the full run uses 200:
//                        KORVANE_KILLS=200 tests/notepad/tst_crash_safe_save
//   KORVANE_KILL_SEED=s  the seed of the delays (default 1)
#include "notepad/note_file.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <random>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

using namespace notepad;

namespace {

// Set in a child that is to die at the moment its save renames its temporary file over the target.
bool dieAtRename = false;

}

// The save's rename, seen by Qt's file engine, which calls rename() from the C library.
extern "C" int rename(const char *from, const char *to)
{
    if (dieAtRename)
        ::kill(::getpid(), SIGKILL);
    return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}

namespace {

// Note number `generation`: CR LF lines that name the note and their own place, so that two notes
// differ in every line and a mix shows where it begins. Sizes vary from 4 to 6 MB.
QByteArray noteContent(int generation)
{
    const qsizetype size = (qsizetype(4) << 20) + qsizetype(generation % 3) * (qsizetype(1) << 20);
    QByteArray bytes;
    bytes.reserve(size + 64);
    char line[64];
    for (qsizetype offset = 0; bytes.size() < size; offset += 32) {
        const int n = std::snprintf(line, sizeof line, "note %06d at %010lld 笔记\r\n", generation, (long long)offset);
        bytes.append(line, n);
    }
    bytes.truncate(size);
    return bytes;
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Where two contents first differ, for the report.
qsizetype firstDifference(const QByteArray &a, const QByteArray &b)
{
    const auto end = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < end; ++i)
        if (a[i] != b[i])
            return i;
    return end;
}

// The file names QSaveFile gives its temporary file for a target: the target's name, a dot and six
// letters.
bool isTemporaryName(const QString &name, const QString &target)
{
    if (name.size() != target.size() + 7 || !name.startsWith(target + u'.'))
        return false;
    return std::all_of(name.end() - 6, name.end(), [](QChar c) { return c.isLetter() && c.unicode() < 128; });
}

QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// Saves in a child process; `killAfterNs` < 0 lets it finish. Gives how the child ended.
struct ChildSave {
    bool killed = false; // died of SIGKILL (and not by finishing first)
    bool saved = false;  // finished and WriteNoteFile gave true
};
ChildSave saveInChild(const QString &path, const QByteArray &content, qint64 killAfterNs, bool killAtRename = false)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        dieAtRename = killAtRename;
        ::_exit(WriteNoteFile(path, content) ? 0 : 1);
    }
    if (killAfterNs >= 0) {
        const timespec delay{time_t(killAfterNs / 1000000000), long(killAfterNs % 1000000000)};
        ::nanosleep(&delay, nullptr);
        ::kill(pid, SIGKILL);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ChildSave result;
    result.killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    result.saved = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return result;
}

// Saves in a child process that reports the moment WriteNoteFile has returned; gives the
// nanoseconds from the fork to that moment, or -1 when the save failed.
qint64 timedSaveInChild(const QString &path, const QByteArray &content)
{
    int done[2];
    if (::pipe(done) != 0)
        return -1;
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const char saved = WriteNoteFile(path, content) ? 'y' : 'n';
        (void)!::write(done[1], &saved, 1);
        ::_exit(0);
    }
    ::close(done[1]);
    char saved = 'n';
    const bool answered = ::read(done[0], &saved, 1) == 1;
    const qint64 ns = clock.nsecsElapsed();
    ::close(done[0]);
    ::waitpid(pid, nullptr, 0);
    return answered && saved == 'y' ? ns : -1;
}

// A process that holds a write lock on a file for as long as this object lives, as a save that is
// still writing its temporary file does.
class LockHolder {
public:
    explicit LockHolder(const QString &path)
    {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(m_release) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            ::close(m_release[1]);
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            const char answer = fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 'y' : 'n';
            (void)!::write(ready[1], &answer, 1);
            char byte;
            (void)!::read(m_release[0], &byte, 1); // returns when the parent closes its end
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(m_release[0]);
        char answer = 'n';
        m_holding = ::read(ready[0], &answer, 1) == 1 && answer == 'y';
        ::close(ready[0]);
    }
    ~LockHolder()
    {
        ::close(m_release[1]);
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
    }
    bool holding() const { return m_holding; }

private:
    pid_t m_pid = -1;
    int m_release[2] = {-1, -1};
    bool m_holding = false;
};

}

class TestCrashSafeSave : public QObject {
    Q_OBJECT
private slots:
    void killsAtRandomMoments();
    void killBetweenNamingAndRenaming();
};

void TestCrashSafeSave::killsAtRandomMoments()
{
    bool ok = false;
    const int kills = qEnvironmentVariableIntValue("KORVANE_KILLS", &ok);
    const int killCount = ok ? kills : 40;
    const unsigned seed = qEnvironmentVariable("KORVANE_KILL_SEED", QStringLiteral("1")).toUInt();
    std::mt19937_64 rng(seed);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = QStringLiteral("笔记.txt");
    const QString target = dir.filePath(name);

    int generation = 0;
    QByteArray current = noteContent(generation);
    QVERIFY(WriteNoteFile(target, current));

    // How long a save takes here, from the fork to the return of WriteNoteFile (the median of five),
    // so that the delays cover all of it.
    std::vector<qint64> durations;
    for (int i = 0; i < 5; ++i) {
        const QByteArray next = noteContent(++generation);
        const qint64 ns = timedSaveInChild(target, next);
        QVERIFY2(ns > 0, "a save in a child process failed");
        durations.push_back(ns);
        current = next;
    }
    std::sort(durations.begin(), durations.end());
    const qint64 saveNs = durations[2];
    QCOMPARE(readBytes(target), current);

    int keptOld = 0, tookNew = 0, finishedFirst = 0, leftovers = 0;
    for (int kill = 1; kill <= killCount; ++kill) {
        const QByteArray next = noteContent(++generation);
        // Two kills in three anywhere from the fork to a little after the end of the save, the third
        // around its end, where the temporary file is named and renamed.
        const double at = double(rng() % 10000) / 10000.0;
        const qint64 delayNs = qint64(double(saveNs) * (kill % 3 == 0 ? 0.85 + 0.2 * at : 1.1 * at));
        const ChildSave child = saveInChild(target, next, delayNs);
        const QString where = QStringLiteral("kill %1 of %2 (seed %3) after %4 µs of a %5 µs save, file %6")
                                  .arg(kill).arg(killCount).arg(seed).arg(delayNs / 1000).arg(saveNs / 1000).arg(target);

        const QByteArray now = readBytes(target);
        QVERIFY2(!now.isEmpty(), qPrintable(where + QStringLiteral(": the note is empty or gone")));
        if (now == current) {
            ++keptOld;
        } else if (now == next) {
            current = next;
            ++tookNew;
        } else {
            const qsizetype atOld = firstDifference(now, current);
            const qsizetype atNew = firstDifference(now, next);
            QFAIL(qPrintable(where + QStringLiteral(": the note is neither the old nor the new one (%1 bytes; it "
                                                    "leaves the old one at byte %2 and the new one at byte %3)")
                                         .arg(now.size()).arg(atOld).arg(atNew)));
        }
        if (!child.killed)
            ++finishedFirst;

        // Beside the note: nothing, or a temporary file of the save, which the next save removes.
        QStringList strays = entries(dir.path());
        strays.removeOne(name);
        for (const QString &stray : std::as_const(strays))
            QVERIFY2(isTemporaryName(stray, name),
                     qPrintable(where + QStringLiteral(": the save left \"%1\" beside the note").arg(stray)));
        if (!strays.isEmpty()) {
            ++leftovers;
            QVERIFY2(WriteNoteFile(target, current), qPrintable(where + QStringLiteral(": the next save failed")));
            QVERIFY2(entries(dir.path()) == QStringList{name},
                     qPrintable(where + QStringLiteral(": the next save did not remove %1; beside the note now: %2")
                                          .arg(strays.join(u", "), entries(dir.path()).join(u", "))));
            QCOMPARE(readBytes(target), current);
        }
    }
    qInfo("%d kills (seed %u) of a %lld µs save: %d kept the old note, %d gave the new one (%d of them had "
          "finished), %d left a temporary file that the next save removed",
          killCount, seed, saveNs / 1000, keptOld, tookNew, finishedFirst, leftovers);
}

void TestCrashSafeSave::killBetweenNamingAndRenaming()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString name = QStringLiteral("note.txt");
    const QString target = dir.filePath(name);
    const QByteArray old = noteContent(1);
    const QByteArray next = noteContent(2);
    QVERIFY(WriteNoteFile(target, old));
    const auto leftovers = [&] {
        QStringList names = entries(dir.path());
        names.removeOne(name);
        return names;
    };

    if (!saveInChild(target, next, -1, true).killed)
        QSKIP("this Qt's save does not rename through rename(): the moment before the rename is not reached here");
    QCOMPARE(readBytes(target), old);
    const QStringList first = leftovers();
    QCOMPARE(first.size(), 1);
    QVERIFY2(isTemporaryName(first.first(), name), qPrintable(first.first()));
    QCOMPARE(readBytes(dir.filePath(first.first())), next);

    // Files that only look alike stay, "note.txt.backup" among them: its name is one that QSaveFile
    // could have given, but no save made it.
    const QStringList others = {"note.txt.backup", "note.txt.ABCDE", "note.txt.ABCDEFG", "note.txt.ABC123",
                                "other.txt.ABCDEF", "note.txtABCDEFG", "Note.txt.ABCDEF"};
    for (const QString &other : others) {
        QFile file(dir.filePath(other));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
    }
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("note.txt.Folder")));
    QTemporaryDir elsewhere;
    const QString victim = elsewhere.filePath(QStringLiteral("victim.txt"));
    {
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
    }
    QVERIFY(QFile::link(victim, dir.filePath(QStringLiteral("note.txt.Linked"))));
    QStringList expected = others;
    expected << name << "note.txt.Folder" << "note.txt.Linked";
    expected.sort();

    {
        // The first one held by another process, as a save still writing its file holds it, while a
        // second save dies at the rename.
        const QString held = first.first();
        const LockHolder saving(dir.filePath(held));
        QVERIFY(saving.holding());
        QVERIFY(saveInChild(target, next, -1, true).killed);
        QCOMPARE(leftovers().size(), others.size() + 4);

        QVERIFY(WriteNoteFile(target, next));
        QCOMPARE(readBytes(target), next);
        QStringList withHeld = expected;
        withHeld << held;
        withHeld.sort();
        QCOMPARE(entries(dir.path()).join(u' '), withHeld.join(u' '));
    }
    // Once nobody holds it, the next save removes it too.
    QVERIFY(WriteNoteFile(target, old));
    QCOMPARE(entries(dir.path()).join(u' '), expected.join(u' '));
    QCOMPARE(readBytes(target), old);
    for (const QString &other : others)
        QCOMPARE(readBytes(dir.filePath(other)), QByteArray("keep"));
    QCOMPARE(readBytes(victim), QByteArray("keep"));

    // Through a symbolic link the save writes beside the file that the link names, and cleans up there.
    const QString link = elsewhere.filePath(QStringLiteral("link.txt"));
    QVERIFY(QFile::link(target, link));
    QVERIFY(saveInChild(link, next, -1, true).killed);
    QCOMPARE(entries(elsewhere.path()), QStringList({"link.txt", "victim.txt"}));
    QCOMPARE(entries(dir.path()).size(), expected.size() + 1);
    QVERIFY(WriteNoteFile(link, next));
    QCOMPARE(entries(dir.path()).join(u' '), expected.join(u' '));
    QCOMPARE(readBytes(target), next);
}

QTEST_GUILESS_MAIN(TestCrashSafeSave)
#include "tst_crash_safe_save.moc"
