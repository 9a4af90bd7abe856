#pragma once
// The note files: the only files the program reads and writes. Plain GBK text with CR LF line breaks,
// no header and no terminator; a note's text ends at the first 0x00 or 0x1A byte (see noteTextLength).
//
// Files opened by the notepad are kept in a table of open files under nonzero numbers that are never
// reused while the program runs; each one holds a shared lock, so others may still read and write it,
// but no save (of this program or of another copy of it) can replace it while it is held.
//
// The file layer reports failures as NoteError values and never shows anything itself. An Open
// command built on it keeps the box, NoteFileNumber and the held file as they were when anything fails:
//
//     NoteError error;
//     const int number = OpenNoteFile(path, &error);
//     QString text;
//     if (number != 0)
//         text = ReadNoteText(number, &error);
//     if (error) { CloseNoteFile(number); /* show error.message() */ return; }
//     CloseNoteFile(NoteFileNumber);  // release the file held so far before it is replaced
//     NoteFileNumber = number;
//     /* put text into the box */
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <map>
#include <sys/types.h>

namespace notepad {

// Why a note file could not be opened, read or saved, with the path it concerns.
class NoteError {
public:
    enum class Action { Open, Read, Save };
    enum class Reason {
        None,
        EmptyPath,      // no file name was given
        Missing,        // the file does not exist
        IsFolder,       // the name is that of a folder
        NotAFile,       // a device, pipe or socket, not a plain file
        ReadOnly,       // the file's permission bits grant no writing, or its file system is read-only
        NoPermission,   // the user may not open the file or create files in its folder
        HeldByNotepad,  // saving onto the file that the notepad itself holds open
        InUse,          // another program, or another copy of this one, holds the file
        FolderGone,     // the folder of the file does not exist (any more)
        DiskFull,       // no space left on the disk
        TooLarge,       // the file is larger than the program or the system can handle
        Other,          // any other failure; detail() gives the system's text
    };

    NoteError() = default;
    NoteError(Action action, Reason reason, const QString &path, const QString &detail = {})
        : m_action(action), m_reason(reason), m_path(path), m_detail(detail) {}

    // A failure of the system call that left errno as it is, for the given file; the path is examined
    // to tell a missing folder from a missing file and a read-only file from one without permission.
    static NoteError fromErrno(Action action, int errnoValue, const QString &path);

    explicit operator bool() const { return m_reason != Reason::None; }
    Action action() const { return m_action; }
    Reason reason() const { return m_reason; }
    QString path() const { return m_path; }
    QString detail() const { return m_detail; }

    // The text for an error message box, e.g. "无法打开文件“/x/a.txt”：文件不存在。"
    QString message() const;

private:
    Action m_action = Action::Open;
    Reason m_reason = Reason::None;
    QString m_path;
    QString m_detail;
};

// The scanning rule of a note file: how many bytes from the start belong to the text. A byte 0x00 or
// 0x1A ends it; a byte 0x80..0xFF starts a double-byte character whose second byte is kept whatever it
// is, except 0x00, which ends the text before the first byte. A first byte at the very end is kept.
qsizetype noteTextLength(QByteArrayView bytes);

// The box text of a note file's bytes: the scanning rule, then every CR LF, lone CR and lone LF as one
// "\n", then GBK decoding (invalid bytes, and a lone first byte at the end, become U+FFFD).
QString textFromNoteBytes(QByteArray bytes);

// The note file bytes of the box text: GBK (characters outside GBK keep their GB18030 form), every line
// break ("\n", "\r\n" or a lone "\r") as CR LF, nothing added at the end; empty text gives no bytes.
QByteArray noteBytesFromText(const QString &text);

// The table of open note files. The program has one (noteFiles()); tests may make their own.
class NoteFiles {
public:
    NoteFiles() = default;
    ~NoteFiles();  // closes every file still open
    NoteFiles(const NoteFiles &) = delete;
    NoteFiles &operator=(const NoteFiles &) = delete;

    // Opens an existing file for reading and writing under a shared lock, never creating one.
    // Gives its new number, or 0 and the reason in *error.
    int open(const QString &path, NoteError *error = nullptr);

    // Reads the file from its current position to its end and gives its box text. A number that is
    // not open gives empty text and no error; a read error gives empty text and the error.
    QString readText(int number, NoteError *error = nullptr);

    // Closes the file and removes its number; a number that is not open is left alone.
    void close(int number);

    // Saves the bytes under the path: the new content is written beside the target and replaces it in
    // one step, so a failed save leaves the old content intact. The target keeps its permission bits; a
    // symbolic link keeps pointing to the file it names, which gets the content. Fails without writing
    // when the target is read-only, when this table holds it open, or when anyone holds a lock on it.
    // A copy that a killed save left beside the target (marked as unfinished) is removed first.
    bool write(const QString &path, QByteArrayView content, NoteError *error = nullptr) const;

    bool isOpen(int number) const { return m_files.count(number) != 0; }
    qsizetype openCount() const { return qsizetype(m_files.size()); }

private:
    struct OpenFile {
        int fd;
        dev_t device;
        ino_t inode;
        QString path;
    };
    bool holds(dev_t device, ino_t inode) const;

    std::map<int, OpenFile> m_files;
    int m_lastNumber = 0;
};

// The program's table of open note files.
NoteFiles &noteFiles();

// The number of the file that the latest successful Open holds; 0 for none.
inline int NoteFileNumber = 0;

// The program's file operations, on the table of noteFiles().
int OpenNoteFile(const QString &path, NoteError *error = nullptr);
QString ReadNoteText(int number, NoteError *error = nullptr);
void CloseNoteFile(int number);
bool WriteNoteFile(const QString &path, QByteArrayView content, NoteError *error = nullptr);

}
