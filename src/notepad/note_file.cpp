#include "notepad/note_file.h"

#include "forms/gbk.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <utility>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace notepad {
namespace {

// The largest note that is read: far beyond any note, small enough for its text to fit in memory.
constexpr qsizetype MaxNoteBytes = qsizetype(1) << 30;

using Reason = NoteError::Reason;
using Action = NoteError::Action;

bool hasWriteBits(mode_t mode)
{
    return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

bool folderExists(const QString &path)
{
    struct stat st;
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return ::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

void setError(NoteError *error, const NoteError &value)
{
    if (error)
        *error = value;
}

// Takes an open-file-description lock on the whole file. Such locks belong to the open file, not to
// the process, so two opens in this very program conflict as two programs would. Returns 0, or the
// errno of the failure; a file system without locks counts as success, as there is nobody to conflict.
int lockWholeFile(int fd, short type)
{
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return 0;
    const int e = errno;
    return (e == ENOLCK || e == EINVAL || e == EOPNOTSUPP) ? 0 : e;
}

bool isLockConflict(int e)
{
    return e == EAGAIN || e == EACCES || e == EWOULDBLOCK;
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

// Turns CR LF, lone CR and lone LF into one LF, in place; gives the new length.
qsizetype joinLineBreaks(char *data, qsizetype size)
{
    const char *firstCr = static_cast<const char *>(std::memchr(data, '\r', size_t(size)));
    if (!firstCr)
        return size;
    qsizetype to = firstCr - data;
    qsizetype from = to;
    while (from < size) {
        // data[from] is a CR.
        data[to++] = '\n';
        ++from;
        if (from < size && data[from] == '\n')
            ++from;
        const char *nextCr = static_cast<const char *>(std::memchr(data + from, '\r', size_t(size - from)));
        const qsizetype end = nextCr ? nextCr - data : size;
        std::memmove(data + to, data + from, size_t(end - from));
        to += end - from;
        from = end;
    }
    return to;
}

// Reads from the current position to the end; gives 0 or the errno of the failure.
int readToEnd(int fd, QByteArray &bytes, qsizetype expected)
{
    bytes.resize(std::max<qsizetype>(expected, 0) + 1); // one more byte to see the end at once
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            // The file grew while it was read.
            if (bytes.size() > MaxNoteBytes)
                return EFBIG;
            bytes.resize(bytes.size() + std::max<qsizetype>(bytes.size() / 2, 65536));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            break;
        filled += got;
    }
    bytes.truncate(filled);
    return 0;
}

// Every CR LF, lone CR and lone LF as CR LF.
QByteArray withCrLfBreaks(const QByteArray &bytes)
{
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 8);
    const char *in = bytes.constData();
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = in[i];
        if (c == '\r' || c == '\n') {
            out.append("\r\n", 2);
            if (c == '\r' && i + 1 < size && in[i + 1] == '\n')
                ++i;
        } else {
            out.append(c);
        }
    }
    return out;
}

int writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t done = ::write(fd, data, size_t(size));
        if (done < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += done;
        size -= done;
    }
    return 0;
}

// The file that QSaveFile writes for a path: symbolic links followed to the file they name, the way
// QSaveFile follows them, also when that file does not exist yet.
QString savedFileName(const QString &path)
{
    QString name = path;
    QFileInfo info(name);
    for (int level = 0; info.isSymLink() && level < 128; ++level) {
        name = info.symLinkTarget();
        info.setFile(name);
    }
    return name;
}

// QSaveFile names its temporary file only at the end, "<target>.XXXXXX" with six ASCII letters in
// place of the Xs, and renames it over the target at once; a save killed between the two leaves that
// file behind. Each save marks its temporary file with this extended attribute, and takes the mark off
// its note once it has taken the target's place.
constexpr char unfinishedSaveMark[] = "user.korvane.unfinished_save";

// Every save removes the leftovers of earlier saves of its target before it writes. A file is taken
// for a leftover only when all of this holds, so that a user's own "note.txt.backup" is never touched:
// a regular file (not followed through a link) named exactly as QSaveFile names its temporary files,
// carrying the mark, and held by nobody. A save locks its temporary file before marking it and keeps
// the lock while it writes; the lock ends with its process. Its last moments, between closing its file
// and the rename, are covered by the target's lock, which every save takes. A file system without
// extended attributes keeps no mark, and its leftovers stay.
void removeLeftoverSaves(const QString &target)
{
    const QFileInfo info(savedFileName(target));
    const QString prefix = info.fileName() + u'.';
    const auto isTemporaryName = [&](const QString &name) {
        return name.size() == prefix.size() + 6 && name.startsWith(prefix)
                && std::all_of(name.end() - 6, name.end(), [](QChar c) {
                       return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
                   });
    };
    const QDir folder = info.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        if (!isTemporaryName(name))
            continue;
        const QByteArray path = QFile::encodeName(folder.filePath(name));
        Descriptor fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW));
        struct stat opened, named;
        if (fd.get() < 0 || ::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
            continue;
        if (::fgetxattr(fd.get(), unfinishedSaveMark, nullptr, 0) < 0)
            continue;
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (::fcntl(fd.get(), F_OFD_GETLK, &lock) != 0 || lock.l_type != F_UNLCK)
            continue; // a save is still writing it
        if (::lstat(path.constData(), &named) == 0 && named.st_dev == opened.st_dev && named.st_ino == opened.st_ino)
            ::unlink(path.constData());
    }
}

}

NoteError NoteError::fromErrno(Action action, int errnoValue, const QString &path)
{
    const auto error = [&](Reason reason) { return NoteError(action, reason, path); };
    switch (errnoValue) {
    case ENOENT:
        // A save creates its file, so only a missing folder stops it.
        return error(action != Action::Save && folderExists(path) ? Reason::Missing : Reason::FolderGone);
    case ENOTDIR:
        return error(Reason::FolderGone);
    case EISDIR:
        return error(Reason::IsFolder);
    case EACCES:
    case EPERM: {
        struct stat st;
        const QByteArray name = QFile::encodeName(path);
        const bool readOnly = action != Action::Read && ::stat(name.constData(), &st) == 0
                && !hasWriteBits(st.st_mode);
        return error(readOnly ? Reason::ReadOnly : Reason::NoPermission);
    }
    case EROFS:
        return error(Reason::ReadOnly);
    case ETXTBSY:
    case EBUSY:
    case EAGAIN:
        return error(Reason::InUse);
    case ENOSPC:
    case EDQUOT:
        return error(Reason::DiskFull);
    case EFBIG:
    case EOVERFLOW:
        return error(Reason::TooLarge);
    default:
        return NoteError(action, Reason::Other, path, QString::fromLocal8Bit(std::strerror(errnoValue)));
    }
}

QString NoteError::message() const
{
    QString verb;
    switch (m_action) {
    case Action::Open: verb = QStringLiteral("打开"); break;
    case Action::Read: verb = QStringLiteral("读取"); break;
    case Action::Save: verb = QStringLiteral("保存"); break;
    }
    QString reason;
    switch (m_reason) {
    case Reason::None: return {};
    case Reason::EmptyPath: return QStringLiteral("无法%1文件：没有指定文件名。").arg(verb);
    case Reason::Missing: reason = QStringLiteral("文件不存在。"); break;
    case Reason::IsFolder: reason = QStringLiteral("这是一个文件夹，不是文件。"); break;
    case Reason::NotAFile: reason = QStringLiteral("这不是普通文件。"); break;
    case Reason::ReadOnly: reason = QStringLiteral("文件是只读的。"); break;
    case Reason::NoPermission: reason = QStringLiteral("没有访问权限。"); break;
    case Reason::HeldByNotepad: reason = QStringLiteral("文件已在记事本中打开，请先关闭它。"); break;
    case Reason::InUse: reason = QStringLiteral("文件正被其他程序使用。"); break;
    case Reason::FolderGone: reason = QStringLiteral("文件所在的文件夹不存在。"); break;
    case Reason::DiskFull: reason = QStringLiteral("磁盘已满。"); break;
    case Reason::TooLarge: reason = QStringLiteral("文件太大。"); break;
    case Reason::Other: reason = m_detail + QStringLiteral("。"); break;
    }
    return QStringLiteral("无法%1文件“%2”：%3").arg(verb, QDir::toNativeSeparators(m_path), reason);
}

qsizetype noteTextLength(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype size = bytes.size();
    if (size == 0)
        return 0;
    // Most notes hold neither byte: then the text is all of it.
    const void *firstZero = std::memchr(p, 0x00, size_t(size));
    if (!firstZero && !std::memchr(p, 0x1A, size_t(size)))
        return size;
    // The text never reaches past the first 0x00, whichever character it belongs to.
    const qsizetype end = firstZero ? static_cast<const uchar *>(firstZero) - p + 1 : size;
    qsizetype i = 0;
    while (i < end) {
        const uchar b = p[i];
        if (b < 0x80) {
            if (b == 0x00 || b == 0x1A)
                return i;
            ++i;
        } else {
            if (i + 1 < size && p[i + 1] == 0x00)
                return i;
            i += 2;
        }
    }
    return std::min(i, size);
}

QString textFromNoteBytes(QByteArray bytes)
{
    bytes.truncate(noteTextLength(bytes));
    if (bytes.isEmpty())
        return {};
    // CR and LF never occur inside a GBK or GB18030 character, so line breaks are joined on the bytes.
    bytes.truncate(joinLineBreaks(bytes.data(), bytes.size()));
    return gbk::decode(bytes);
}

QByteArray noteBytesFromText(const QString &text)
{
    QByteArray bytes = gbk::encode(text);
    const qsizetype size = bytes.size();
    if (size == 0)
        return bytes;
    if (std::memchr(bytes.constData(), '\r', size_t(size)))
        return withCrLfBreaks(bytes);
    // The box gives LF alone: widen the bytes in place, moving each run between line feeds back to
    // its place from the end, so that no second copy of a large note is made.
    const qsizetype lineFeeds = std::count(bytes.cbegin(), bytes.cend(), '\n');
    if (lineFeeds == 0)
        return bytes;
    bytes.resize(size + lineFeeds);
    char *data = bytes.data();
    qsizetype from = size; // the bytes before it are still in their old place
    qsizetype to = size + lineFeeds;
    while (to != from) {
        const char *lf = static_cast<const char *>(::memrchr(data, '\n', size_t(from)));
        const qsizetype start = lf - data + 1; // there is a line feed left, as to != from
        to -= from - start;
        std::memmove(data + to, data + start, size_t(from - start));
        data[--to] = '\n';
        data[--to] = '\r';
        from = start - 1;
    }
    return bytes;
}

NoteFiles::~NoteFiles()
{
    for (const auto &[number, file] : m_files)
        ::close(file.fd);
}

int NoteFiles::open(const QString &path, NoteError *error)
{
    setError(error, {});
    if (path.isEmpty()) {
        setError(error, NoteError(Action::Open, Reason::EmptyPath, path));
        return 0;
    }
    if (m_lastNumber == INT_MAX) {
        setError(error, NoteError::fromErrno(Action::Open, EMFILE, path));
        return 0;
    }
    const QByteArray name = QFile::encodeName(path);
    // Non-blocking, so that a pipe or device among the names cannot stall the program.
    Descriptor fd(::open(name.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        setError(error, NoteError::fromErrno(Action::Open, errno, path));
        return 0;
    }
    struct stat st;
    if (::fstat(fd.get(), &st) != 0) {
        setError(error, NoteError::fromErrno(Action::Open, errno, path));
        return 0;
    }
    if (!S_ISREG(st.st_mode)) {
        setError(error, NoteError(Action::Open, S_ISDIR(st.st_mode) ? Reason::IsFolder : Reason::NotAFile, path));
        return 0;
    }
    // The mode bits decide, for root too, who would otherwise open any file for writing.
    if (!hasWriteBits(st.st_mode)) {
        setError(error, NoteError(Action::Open, Reason::ReadOnly, path));
        return 0;
    }
    if (const int e = lockWholeFile(fd.get(), F_RDLCK)) {
        setError(error, isLockConflict(e) ? NoteError(Action::Open, Reason::InUse, path)
                                          : NoteError::fromErrno(Action::Open, e, path));
        return 0;
    }
    const int number = ++m_lastNumber;
    m_files.emplace(number, OpenFile{fd.release(), st.st_dev, st.st_ino, path});
    return number;
}

QString NoteFiles::readText(int number, NoteError *error)
{
    setError(error, {});
    const auto it = m_files.find(number);
    if (it == m_files.end())
        return {};
    const OpenFile &file = it->second;
    struct stat st;
    if (::fstat(file.fd, &st) != 0) {
        setError(error, NoteError::fromErrno(Action::Read, errno, file.path));
        return {};
    }
    const off_t position = ::lseek(file.fd, 0, SEEK_CUR);
    const qsizetype expected = position < 0 ? 0 : qsizetype(st.st_size - position);
    if (expected > MaxNoteBytes) {
        setError(error, NoteError(Action::Read, Reason::TooLarge, file.path));
        return {};
    }
    try {
        QByteArray bytes;
        if (const int e = readToEnd(file.fd, bytes, expected)) {
            setError(error, NoteError::fromErrno(Action::Read, e, file.path));
            return {};
        }
        return textFromNoteBytes(std::move(bytes));
    } catch (const std::bad_alloc &) {
        setError(error, NoteError(Action::Read, Reason::TooLarge, file.path));
        return {};
    }
}

void NoteFiles::close(int number)
{
    const auto it = m_files.find(number);
    if (it == m_files.end())
        return;
    ::close(it->second.fd);
    m_files.erase(it);
}

bool NoteFiles::holds(dev_t device, ino_t inode) const
{
    return std::any_of(m_files.begin(), m_files.end(), [&](const auto &entry) {
        return entry.second.device == device && entry.second.inode == inode;
    });
}

bool NoteFiles::write(const QString &path, QByteArrayView content, NoteError *error) const
{
    setError(error, {});
    const auto fail = [&](Reason reason) {
        setError(error, NoteError(Action::Save, reason, path));
        return false;
    };
    const auto failWith = [&](int e) {
        setError(error, NoteError::fromErrno(Action::Save, e, path));
        return false;
    };
    if (path.isEmpty())
        return fail(Reason::EmptyPath);

    // An existing target (through a symbolic link: the file it names) is checked and locked
    // exclusively for the whole save, so that nobody opens it halfway and no holder loses it.
    const QByteArray name = QFile::encodeName(path);
    Descriptor lockFd;
    struct stat st;
    if (::stat(name.constData(), &st) == 0) {
        if (!S_ISREG(st.st_mode))
            return fail(S_ISDIR(st.st_mode) ? Reason::IsFolder : Reason::NotAFile);
        if (!hasWriteBits(st.st_mode))
            return fail(Reason::ReadOnly);
        if (holds(st.st_dev, st.st_ino))
            return fail(Reason::HeldByNotepad);
        Descriptor fd(::open(name.constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
        if (fd.get() < 0 && errno != ENOENT)
            return failWith(errno);
        if (fd.get() >= 0) {
            if (const int e = lockWholeFile(fd.get(), F_WRLCK))
                return isLockConflict(e) ? fail(Reason::InUse) : failWith(e);
            lockFd.reset(fd.release());
        }
    } else if (errno != ENOENT) {
        return failWith(errno);
    }

    removeLeftoverSaves(path);

    // The new content goes to a file beside the target, which takes the target's place in one step;
    // QSaveFile gives it the target's permission bits and follows a symbolic link to its file.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        const int e = errno;
        if (e == 0) {
            setError(error, NoteError(Action::Save, Reason::Other, path, file.errorString()));
            return false;
        }
        return failWith(e);
    }
    // Locked, then marked, so that a later save knows it for a leftover once this one has died halfway
    // (see removeLeftoverSaves).
    lockWholeFile(file.handle(), F_WRLCK);
    ::fsetxattr(file.handle(), unfinishedSaveMark, "", 0, 0);
    // Written and synced on the descriptor, so that each failure keeps its own errno (QSaveFile
    // would ignore a failed sync).
    int e = writeAll(file.handle(), content.data(), content.size());
    if (e == 0 && ::fsync(file.handle()) != 0)
        e = errno;
    if (e != 0) {
        file.cancelWriting();
        return failWith(e);
    }
    if (!file.commit()) {
        setError(error, NoteError(Action::Save, Reason::Other, path, file.errorString()));
        return false;
    }
    ::removexattr(QFile::encodeName(savedFileName(path)).constData(), unfinishedSaveMark);
    return true;
}

NoteFiles &noteFiles()
{
    static NoteFiles files;
    return files;
}

int OpenNoteFile(const QString &path, NoteError *error)
{
    return noteFiles().open(path, error);
}

QString ReadNoteText(int number, NoteError *error)
{
    return noteFiles().readText(number, error);
}

void CloseNoteFile(int number)
{
    noteFiles().close(number);
}

bool WriteNoteFile(const QString &path, QByteArrayView content, NoteError *error)
{
    return noteFiles().write(path, content, error);
}

}
