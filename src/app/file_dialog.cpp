#include "app/file_dialog.h"

bool FileDialogControl::show()
{
    // Placeholder until the notepad's file commands arrive: no dialog yet, so every Show is a cancel.
    return false;
}
