#pragma once
// The types that the five window definitions are made of. Pure data: the shell builds live windows
// from them, and nothing changes them while the program runs.
#include "forms/colour.h"

#include <QSize>
#include <QString>
#include <QStringView>
#include <span>

enum class WindowId { ShotTable, AngleGuide, AngleGuideTrad, Notepad, NotepadHelp };
inline constexpr WindowId allWindows[] = {WindowId::ShotTable, WindowId::AngleGuide, WindowId::AngleGuideTrad,
                                          WindowId::Notepad, WindowId::NotepadHelp};

enum class ControlKind { Button, Label, EditBox, ColourPicker, HtmlView, FileDialog };

// The commands that events are bound to. A definition names them; the feature that implements each one
// registers it with the shell, so that the definitions depend on no feature.
enum class Command {
    None,
    DoNothing,          // the table window's created event
    ShowRow,            // a distance button; the row is the binding's row
    OpenAngleGuide,     // "角度"
    OpenNotepad,        // "记事本"
    RecolourTable,      // the table window's colour picker
    GuideReturn,        // "确定" in the simplified guide
    GuideSwitch,        // "简繁转换"
    GuideRecolour,      // the simplified guide's colour picker
    TradGuideReturn,    // "確定" in the traditional guide
    TradGuideSwitch,    // "簡繁轉換"
    TradGuideRecolour,  // the traditional guide's colour picker
    NoteOpen,           // 文件 → 打开
    NoteSave,           // 文件 → 保存
    NoteClose,          // 文件 → 关闭
    NoteShowHelp,       // 帮助 → 查看帮助
    ReturnToNotepad,    // "确定" in the help window
};

struct Binding {
    Command command = Command::None;
    int row = 0; // only for Command::ShowRow
    constexpr bool isBound() const { return command != Command::None; }
};

enum class FontKind {
    Default, // the platform's default user-interface font
    Bold12,  // bold, 12-pixel character height, default face
};

enum class Border { Sunken, ThinSunken, None };
enum class ScrollBars { None, Vertical };

// Texts of the guide windows' HTML views; the guide feature supplies them.
enum class GuideText { None, Simplified, Traditional };

struct ControlDef {
    const char16_t *name;
    ControlKind kind;
    int left = 0, top = 0, width = 0, height = 0; // client coordinates; none for the file dialog
    const char16_t *caption = u"";  // button and label caption, edit box text
    Binding event = {};             // click, or colour chosen
    FontKind font = FontKind::Default;
    Colour textColour = colours::black;
    bool multiLine = false;
    ScrollBars scrollBars = ScrollBars::None;
    Border border = Border::Sunken;
    GuideText content = GuideText::None;

    QString nameString() const { return QString::fromUtf16(name); }
    bool focusable() const { return kind != ControlKind::Label && kind != ControlKind::FileDialog; }
};

struct MenuItemDef {
    const char16_t *caption;
    int level;            // 0: an entry of the menu bar; 1: an item of the menu above it
    Binding selected = {};
};

struct WindowDef {
    WindowId id;
    const char *name;              // the definition's name, for messages
    const char16_t *title;
    QSize outerSize;
    bool controlBox;               // system menu and close button
    bool minimiseButton;
    Colour background;
    bool icon;                     // names the program icon (every window shows it either way)
    bool escCloses;
    bool alwaysOnTop;
    std::span<const MenuItemDef> menu;
    std::span<const ControlDef> controls;
    Binding created = {};

    bool hasTitleBar() const { return controlBox || title[0] != u'\0'; }
    QString titleString() const { return QString::fromUtf16(title); }
};
