#pragma once
// The commands of the table window: a distance button shows its row, "角度" and "记事本" open their
// windows, and the colour picker recolours the window.
class Shell;

namespace shot_table {
void bindCommands(Shell &shell);
void showRow(Shell &shell, int distance);
void recolour(Shell &shell);
}
