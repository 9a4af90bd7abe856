#pragma once
// The commands of the two guide windows: switch to the other script, return to the table window, and
// recolour the view from the picker.
class Shell;

namespace guide {
void bindCommands(Shell &shell);
}
