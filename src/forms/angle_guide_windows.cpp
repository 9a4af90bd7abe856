#include "forms/windows.h"

namespace {

constexpr ControlDef simplifiedControls[] = {
    {.name = u"按钮2", .kind = ControlKind::Button, .left = 12, .top = 261, .width = 64, .height = 30,
     .caption = u"简繁转换", .event = {Command::GuideSwitch}},
    {.name = u"颜色选择器1", .kind = ControlKind::ColourPicker, .left = 224, .top = 264, .width = 40, .height = 20,
     .event = {Command::GuideRecolour}},
    {.name = u"按钮1", .kind = ControlKind::Button, .left = 105, .top = 259, .width = 80, .height = 32,
     .caption = u"确定", .event = {Command::GuideReturn}},
    {.name = u"简单超文本框1", .kind = ControlKind::HtmlView, .left = 0, .top = 0, .width = 315, .height = 296,
     .border = Border::ThinSunken, .content = GuideText::Simplified},
};

// The traditional guide is the simplified one but for its texts, its bindings and a view without border.
constexpr ControlDef traditionalControls[] = {
    {.name = u"按钮2", .kind = ControlKind::Button, .left = 12, .top = 261, .width = 64, .height = 30,
     .caption = u"簡繁轉換", .event = {Command::TradGuideSwitch}},
    {.name = u"颜色选择器1", .kind = ControlKind::ColourPicker, .left = 224, .top = 264, .width = 40, .height = 20,
     .event = {Command::TradGuideRecolour}},
    {.name = u"按钮1", .kind = ControlKind::Button, .left = 105, .top = 259, .width = 80, .height = 32,
     .caption = u"確定", .event = {Command::TradGuideReturn}},
    {.name = u"简单超文本框1", .kind = ControlKind::HtmlView, .left = 0, .top = 0, .width = 315, .height = 296,
     .border = Border::None, .content = GuideText::Traditional},
};

}

const WindowDef angleGuideWindow = {
    .id = WindowId::AngleGuide,
    .name = "AngleGuideWindow",
    .title = u"Korvane角度说明（简体）",
    .outerSize = {309, 324},
    .controlBox = true,
    .minimiseButton = true,
    .background = colours::white,
    .icon = true,
    .escCloses = false,
    .alwaysOnTop = false,
    .menu = {},
    .controls = simplifiedControls,
};

const WindowDef angleGuideTradWindow = {
    .id = WindowId::AngleGuideTrad,
    .name = "AngleGuideTradWindow",
    .title = u"Korvane角度說明（繁體）",
    .outerSize = {306, 324},
    .controlBox = true,
    .minimiseButton = true,
    .background = colours::white,
    .icon = true,
    .escCloses = false,
    .alwaysOnTop = false,
    .menu = {},
    .controls = traditionalControls,
};
