// Start-up: the program's folder becomes the working directory, the program-wide data is set up, the
// commands are bound, and the shell runs the windows until the last one is gone.
#include "app/shell.h"
#include "app/start_up.h"
#include "guide/guide_commands.h"
#include "notepad/note_file.h"
#include "notepad/notepad_commands.h"
#include "shot_table/shot_table_commands.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    enterProgramFolder();
    prepareApplication(app);
    notepad::NoteFileNumber = 0;

    Shell shell;
    shot_table::bindCommands(shell);
    guide::bindCommands(shell);
    notepad::bindCommands(shell);
    return shell.run();
}
