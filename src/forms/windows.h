#pragma once
// The five window definitions, and what follows from them: focus order and client size.
#include "forms/definition.h"

#include <QPoint>

#include <vector>

extern const WindowDef shotTableWindow;
extern const WindowDef angleGuideWindow;
extern const WindowDef angleGuideTradWindow;
extern const WindowDef notepadWindow;
extern const WindowDef notepadHelpWindow;

const WindowDef &windowDef(WindowId id);

// The file dialog's settings as the notepad's definition gives them; Open and Save change only the mode.
struct FileDialogSettings {
    int mode = 1; // 0: open-file dialog, 1: save-file dialog
    QString title;
    QString fileName;
    QString filter = QStringLiteral("文本文档（*.txt）|*.txt");
    int initialFilter = 0;
    QString initialDirectory;
    QString defaultExtension;
    bool createPrompt = false;
    bool fileMustExist = true;
    bool overwritePrompt = true;
    bool pathMustExist = true;
    bool keepCurrentDirectory = false;
};

// The decorations that a defined outer size includes. The thicknesses are chosen so that every client
// area holds its controls as defined: the guides' 296-pixel views, the notepad's 380 x 300 box and the
// help window's 300 x 80 box fill their client areas.
namespace decorations {
inline constexpr int frame = 3;     // each side
inline constexpr int titleBar = 22;
inline constexpr int menuBar = 20;
}

// The client area left inside the outer size, below the title bar and the menu bar.
QSize clientSize(const WindowDef &def);

// Where the window's outer top-left goes so that it is centred on a screen of the given size.
QPoint centredPosition(const WindowDef &def, QSize screen);

// Indexes into def.controls of the focusable controls in Tab order: the reverse of the list order.
// The first entry takes the window's first focus.
std::vector<int> focusOrder(const WindowDef &def);
