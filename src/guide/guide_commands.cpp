#include "guide/guide_commands.h"

#include "app/shell.h"

namespace guide {

constexpr WindowId ShotTableWindow = WindowId::ShotTable;
constexpr WindowId AngleGuideWindow = WindowId::AngleGuide;
constexpr WindowId AngleGuideTradWindow = WindowId::AngleGuideTrad;

void bindCommands(Shell &shell)
{
    // Each handler loads the next window first and destroys its own window last.
    shell.bind(Command::GuideSwitch, [&shell] {
        shell.load(AngleGuideTradWindow, ShotTableWindow, false);
        shell.destroy(AngleGuideWindow);
    });
    shell.bind(Command::GuideReturn, [&shell] {
        shell.load(ShotTableWindow, std::nullopt, true);
        shell.destroy(AngleGuideWindow);
    });
    shell.bind(Command::TradGuideSwitch, [&shell] {
        shell.load(AngleGuideWindow, ShotTableWindow, false);
        shell.destroy(AngleGuideTradWindow);
    });
    shell.bind(Command::TradGuideReturn, [&shell] {
        shell.load(ShotTableWindow, ShotTableWindow, false);
        shell.destroy(AngleGuideTradWindow);
    });
    // The colour pickers' recolouring of the view is bound once the picker and the view exist as controls.
}

}
