#include "forms/windows.h"

#include <QPoint>

const WindowDef &windowDef(WindowId id)
{
    switch (id) {
    case WindowId::ShotTable: return shotTableWindow;
    case WindowId::AngleGuide: return angleGuideWindow;
    case WindowId::AngleGuideTrad: return angleGuideTradWindow;
    case WindowId::Notepad: return notepadWindow;
    case WindowId::NotepadHelp: return notepadHelpWindow;
    }
    return shotTableWindow;
}

QSize clientSize(const WindowDef &def)
{
    const int chrome = 2 * decorations::frame + (def.hasTitleBar() ? decorations::titleBar : 0)
        + (def.menu.empty() ? 0 : decorations::menuBar);
    return {def.outerSize.width() - 2 * decorations::frame, def.outerSize.height() - chrome};
}

QPoint centredPosition(const WindowDef &def, QSize screen)
{
    return {(screen.width() - def.outerSize.width()) / 2, (screen.height() - def.outerSize.height()) / 2};
}

std::vector<int> focusOrder(const WindowDef &def)
{
    std::vector<int> order;
    for (int i = int(def.controls.size()) - 1; i >= 0; --i)
        if (def.controls[size_t(i)].focusable())
            order.push_back(i);
    return order;
}
