#include "forms/windows.h"

namespace {

constexpr ControlKind Button = ControlKind::Button, Label = ControlKind::Label, EditBox = ControlKind::EditBox,
                      Picker = ControlKind::ColourPicker;

constexpr ControlDef distanceButton(const char16_t *name, int left, int top, const char16_t *caption, int row)
{
    return {.name = name, .kind = Button, .left = left, .top = top, .width = 48, .height = 24, .caption = caption,
            .event = {Command::ShowRow, row}, .font = FontKind::Bold12};
}
constexpr ControlDef angleCaption(const char16_t *name, int left, int top, const char16_t *caption)
{
    return {.name = name, .kind = Label, .left = left, .top = top, .width = 40, .height = 24, .caption = caption,
            .font = FontKind::Bold12, .textColour = colours::red};
}
constexpr ControlDef powerBox(const char16_t *name, int left, int top)
{
    return {.name = name, .kind = EditBox, .left = left, .top = top, .width = 40, .height = 24};
}

// In list order: the first-listed lies on top, and Tab walks the list backwards.
constexpr ControlDef controls[] = {
    {.name = u"按钮22", .kind = Button, .left = 112, .top = 216, .width = 45, .height = 20, .caption = u"记事本",
     .event = {Command::OpenNotepad}},
    powerBox(u"编辑框6", 8, 208),
    angleCaption(u"标签3", 8, 184, u"55度"),
    {.name = u"按钮21", .kind = Button, .left = 160, .top = 192, .width = 40, .height = 20, .caption = u"角度",
     .event = {Command::OpenAngleGuide}},
    {.name = u"颜色选择器1", .kind = Picker, .left = 160, .top = 216, .width = 40, .height = 18,
     .event = {Command::RecolourTable}},
    powerBox(u"编辑框5", 104, 160),
    angleCaption(u"标签2", 104, 136, u"45度"),
    powerBox(u"编辑框4", 56, 208),
    powerBox(u"编辑框3", 152, 160),
    powerBox(u"编辑框2", 56, 160),
    powerBox(u"编辑框1", 8, 160),
    angleCaption(u"标签4", 56, 184, u"65度"),
    angleCaption(u"标签6", 56, 136, u"30度"),
    angleCaption(u"标签5", 152, 136, u"50度"),
    angleCaption(u"标签1", 8, 136, u"20度"),
    distanceButton(u"按钮20", 152, 104, u"20屏", 20),
    distanceButton(u"按钮19", 104, 104, u"19屏", 19),
    distanceButton(u"按钮18", 56, 104, u"18屏", 18),
    distanceButton(u"按钮17", 8, 104, u"17屏", 17),
    distanceButton(u"按钮16", 152, 80, u"16屏", 16),
    distanceButton(u"按钮15", 104, 80, u"15屏", 15),
    distanceButton(u"按钮14", 56, 80, u"14屏", 14),
    distanceButton(u"按钮13", 8, 80, u"13屏", 13),
    distanceButton(u"按钮12", 152, 56, u"12屏", 12),
    distanceButton(u"按钮11", 104, 56, u"11屏", 11),
    distanceButton(u"按钮10", 56, 56, u"10屏", 10),
    distanceButton(u"按钮9", 8, 56, u"9屏", 9),
    distanceButton(u"按钮8", 152, 32, u"8屏", 8),
    distanceButton(u"按钮7", 104, 32, u"7屏", 7),
    distanceButton(u"按钮6", 56, 32, u"6屏", 6),
    distanceButton(u"按钮5", 8, 32, u"5屏", 5),
    distanceButton(u"按钮4", 152, 8, u"4屏", 4),
    distanceButton(u"按钮3", 104, 8, u"3屏", 3),
    distanceButton(u"按钮2", 56, 8, u"2屏", 2),
    distanceButton(u"按钮1", 8, 8, u"1屏", 1),
};

}

const WindowDef shotTableWindow = {
    .id = WindowId::ShotTable,
    .name = "ShotTableWindow",
    .title = u"Korvane公式计算器",
    .outerSize = {214, 272},
    .controlBox = true,
    .minimiseButton = true,
    .background = Colour::defaultColour(),
    .icon = true,
    .escCloses = true,
    .alwaysOnTop = true,
    .menu = {},
    .controls = controls,
    .created = {Command::DoNothing},
};
