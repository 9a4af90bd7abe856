#include "notepad/notepad_commands.h"

#include "app/shell.h"

namespace notepad {

constexpr WindowId ShotTableWindow = WindowId::ShotTable;
constexpr WindowId NotepadWindow = WindowId::Notepad;
constexpr WindowId NotepadHelpWindow = WindowId::NotepadHelp;

void ShowHelp(Shell &shell)
{
    shell.load(NotepadHelpWindow, ShotTableWindow, false);
    shell.destroy(NotepadWindow);
}

void ReturnToNotepad(Shell &shell)
{
    shell.load(NotepadWindow, ShotTableWindow, false);
    shell.destroy(NotepadHelpWindow);
}

void bindCommands(Shell &shell)
{
    // Placeholder: 打开, 保存 and 关闭 (Command::NoteOpen, NoteSave, NoteClose) stay unbound, and so do
    // nothing, until the note-file commands are built on the file layer.
    shell.bind(Command::NoteShowHelp, [&shell] { ShowHelp(shell); });
    shell.bind(Command::ReturnToNotepad, [&shell] { ReturnToNotepad(shell); });
}

}
