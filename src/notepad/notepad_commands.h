#pragma once
// The commands of the notepad and of its help window.
class Shell;

namespace notepad {
void bindCommands(Shell &shell);
}
