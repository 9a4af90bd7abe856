#include "guide/guide_commands.h"

#include "app/shell.h"
#include "guide/guide_texts.h"

namespace guide {

constexpr WindowId ShotTableWindow = WindowId::ShotTable;
constexpr WindowId AngleGuideWindow = WindowId::AngleGuide;
constexpr WindowId AngleGuideTradWindow = WindowId::AngleGuideTrad;

// The view takes the picker's colour: the colour just chosen, or the default colour for "透明".
void recolour(Shell &shell, WindowId guide)
{
    const Colour chosen = shell.get<Colour>(guide, u"颜色选择器1", Property::colour);
    shell.set(guide, u"简单超文本框1", Property::background_colour, chosen);
}

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
    shell.bind(Command::GuideRecolour, [&shell] { recolour(shell, AngleGuideWindow); });
    shell.bind(Command::TradGuideRecolour, [&shell] { recolour(shell, AngleGuideTradWindow); });
    shell.setControlTexts({AngleGuideText, AngleGuideTradText, GuideStyleSheet});
}

}
