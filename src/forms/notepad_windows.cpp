#include "forms/windows.h"

namespace {

constexpr ControlDef notepadControls[] = {
    {.name = u"编辑框1", .kind = ControlKind::EditBox, .left = 0, .top = 0, .width = 380, .height = 300,
     .multiLine = true, .scrollBars = ScrollBars::Vertical},
    {.name = u"通用对话框1", .kind = ControlKind::FileDialog},
};

constexpr MenuItemDef notepadMenu[] = {
    {u"文件", 0},
    {u"打开", 1, {Command::NoteOpen}},
    {u"保存", 1, {Command::NoteSave}},
    {u"关闭", 1, {Command::NoteClose}},
    {u"帮助", 0},
    {u"查看帮助", 1, {Command::NoteShowHelp}},
    {u"关于记事本", 1}, // bound to nothing: choosing it does nothing
};

// Three lines separated by CR LF, none after the last; 124 bytes in GBK.
constexpr char16_t helpText[] = u"                       帮助\r\n"
                                u"（1）1.打开“文件”中“打开”可以查看文件并编辑。\r\n"
                                u"（2）1.可直接输入文字 2.点“文件”中“保存”";

constexpr ControlDef helpControls[] = {
    {.name = u"按钮1", .kind = ControlKind::Button, .left = 104, .top = 56, .width = 88, .height = 24,
     .caption = u"确定", .event = {Command::ReturnToNotepad}},
    {.name = u"编辑框1", .kind = ControlKind::EditBox, .left = 0, .top = 0, .width = 300, .height = 80,
     .caption = helpText, .multiLine = true, .scrollBars = ScrollBars::None, .border = Border::None},
};

}

const WindowDef notepadWindow = {
    .id = WindowId::Notepad,
    .name = "NotepadWindow",
    .title = u"记事本",
    .outerSize = {388, 348},
    .controlBox = true,
    .minimiseButton = true,
    .background = Colour::defaultColour(),
    .icon = true,
    .escCloses = true,
    .alwaysOnTop = true,
    .menu = notepadMenu,
    .controls = notepadControls,
};

const WindowDef notepadHelpWindow = {
    .id = WindowId::NotepadHelp,
    .name = "NotepadHelpWindow",
    .title = u"",
    .outerSize = {306, 87},
    .controlBox = false,
    .minimiseButton = false,
    .background = Colour::defaultColour(),
    .icon = false, // names none: the program icon applies all the same
    .escCloses = true,
    .alwaysOnTop = true,
    .menu = {},
    .controls = helpControls,
};
