#include "notepad/notepad_commands.h"

#include "app/shell.h"
#include "notepad/note_file.h"

namespace notepad {

constexpr WindowId ShotTableWindow = WindowId::ShotTable;
constexpr WindowId NotepadWindow = WindowId::Notepad;
constexpr WindowId NotepadHelpWindow = WindowId::NotepadHelp;

// 文件 → 打开: the chosen note replaces the box's text and becomes the file that 关闭 closes. A cancel
// changes nothing; a failure is told and leaves the box, NoteFileNumber and the held file as they were.
void Open(Shell &shell)
{
    shell.set(NotepadWindow, u"通用对话框1", Property::mode, 0);
    if (!shell.showFileDialog(NotepadWindow, u"通用对话框1"))
        return;
    const QString path = shell.get<QString>(NotepadWindow, u"通用对话框1", Property::file_name);

    NoteError error;
    const int number = OpenNoteFile(path, &error);
    QString text;
    if (number != 0)
        text = ReadNoteText(number, &error);
    if (error) {
        CloseNoteFile(number);
        shell.tellError(NotepadWindow, error.message());
        return;
    }
    // The file held so far is released before its number is replaced, so none stays open out of reach.
    CloseNoteFile(NoteFileNumber);
    NoteFileNumber = number;
    shell.set(NotepadWindow, u"编辑框1", Property::text, text);
}

// 文件 → 保存: the box's text goes in GBK with CR LF line breaks under the chosen name with ".txt"
// appended (a.txt gives a.txt.txt: the notes' naming convention). A cancel writes nothing.
void Save(Shell &shell)
{
    shell.set(NotepadWindow, u"通用对话框1", Property::mode, 1);
    if (!shell.showFileDialog(NotepadWindow, u"通用对话框1"))
        return;
    const QString target = shell.get<QString>(NotepadWindow, u"通用对话框1", Property::file_name) + QStringLiteral(".txt");
    const QByteArray bytes = noteBytesFromText(shell.get<QString>(NotepadWindow, u"编辑框1", Property::text));
    NoteError error;
    if (!WriteNoteFile(target, bytes, &error))
        shell.tellError(NotepadWindow, error.message());
}

// 文件 → 关闭: empties the box and closes the file that the latest 打开 holds. NoteFileNumber keeps its
// value, so a second 关闭 finds nothing open and only empties the box.
void Close(Shell &shell)
{
    shell.set(NotepadWindow, u"编辑框1", Property::text, QString());
    CloseNoteFile(NoteFileNumber);
}

// 帮助 → 查看帮助: the help window replaces the notepad, whose text is discarded.
void ShowHelp(Shell &shell)
{
    shell.load(NotepadHelpWindow, ShotTableWindow, false);
    shell.destroy(NotepadWindow);
}

// "确定" in the help window: a fresh, modeless notepad owned by the table window replaces it.
void ReturnToNotepad(Shell &shell)
{
    shell.load(NotepadWindow, ShotTableWindow, false);
    shell.destroy(NotepadHelpWindow);
}

void bindCommands(Shell &shell)
{
    shell.bind(Command::NoteOpen, [&shell] { Open(shell); });
    shell.bind(Command::NoteSave, [&shell] { Save(shell); });
    shell.bind(Command::NoteClose, [&shell] { Close(shell); });
    shell.bind(Command::NoteShowHelp, [&shell] { ShowHelp(shell); });
    shell.bind(Command::ReturnToNotepad, [&shell] { ReturnToNotepad(shell); });
}

}
