#include "app/controls.h"

#include "app/file_dialog.h"
#include "widgets/colour_picker.h"
#include "widgets/html_view.h"
#include "widgets/qt_colour.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

QString boxText(const QString &held)
{
    QString text = held;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

// A multi-line box holds its line breaks as CR LF.
QString heldText(const QString &shown)
{
    QString text = shown;
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}

void setPaletteColour(QWidget *w, QPalette::ColorRole role, const QColor &colour)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::All, role, colour);
    w->setPalette(pal);
}

QWidget *createButton(const ControlDef &def, QWidget *client, const EventSink &events)
{
    auto *button = new QPushButton(QString::fromUtf16(def.caption), client);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFocusPolicy(Qt::StrongFocus);
    if (def.event.isBound())
        QObject::connect(button, &QPushButton::clicked, button, [events, b = def.event] { events(b); });
    return button;
}

QWidget *createLabel(const ControlDef &def, QWidget *client)
{
    auto *label = new QLabel(QString::fromUtf16(def.caption), client);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setWordWrap(false);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAutoFillBackground(true);
    setPaletteColour(label, QPalette::Window, toQColor(Colour::defaultColour()));
    setPaletteColour(label, QPalette::WindowText, toQColor(def.textColour));
    return label;
}

QWidget *createEditBox(const ControlDef &def, QWidget *client)
{
    const QString text = QString::fromUtf16(def.caption);
    if (!def.multiLine) {
        auto *box = new QLineEdit(text, client);
        box->setFrame(def.border != Border::None);
        return box;
    }
    auto *box = new QPlainTextEdit(boxText(text), client);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(def.scrollBars == ScrollBars::Vertical ? Qt::ScrollBarAlwaysOn
                                                                           : Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    // Edit boxes keep only a thin margin around their text, so a line fills the box's width.
    box->document()->setDocumentMargin(1);
    if (def.border == Border::None)
        box->setFrameShape(QFrame::NoFrame);
    return box;
}

QWidget *createColourPicker(const ControlDef &def, QWidget *client, const EventSink &events)
{
    auto *picker = new ColourPicker(client);
    if (def.event.isBound())
        QObject::connect(picker, &ColourPicker::colourChosen, picker, [events, b = def.event] { events(b); });
    return picker;
}

QWidget *createHtmlView(const ControlDef &def, QWidget *client, const ControlTexts &texts)
{
    auto *view = new HtmlView(client);
    view->setBorder(def.border);
    view->setStyleSheetText(texts.styleSheet);
    view->setContent(texts.content(def.content));
    return view;
}

}

QFont fontOf(FontKind kind)
{
    QFont font = QApplication::font();
    if (kind == FontKind::Bold12) {
        font.setPixelSize(12);
        font.setWeight(QFont::Bold);
    }
    return font;
}

QObject *createControl(const ControlDef &def, QWidget *client, QObject *window, const EventSink &events,
                       const ControlTexts &texts)
{
    QObject *object = nullptr;
    QWidget *widget = nullptr;
    switch (def.kind) {
    case ControlKind::Button: widget = createButton(def, client, events); break;
    case ControlKind::Label: widget = createLabel(def, client); break;
    case ControlKind::EditBox: widget = createEditBox(def, client); break;
    case ControlKind::ColourPicker: widget = createColourPicker(def, client, events); break;
    case ControlKind::HtmlView: widget = createHtmlView(def, client, texts); break;
    case ControlKind::FileDialog: object = new FileDialogControl(window); break;
    }
    if (widget) {
        widget->setGeometry(def.left, def.top, def.width, def.height);
        widget->setFont(fontOf(def.font));
        object = widget;
    }
    object->setObjectName(def.nameString());
    return object;
}

QMenuBar *buildMenuBar(const WindowDef &def, QWidget *window, const EventSink &events)
{
    auto *bar = new QMenuBar(window);
    bar->setNativeMenuBar(false);
    QMenu *menu = nullptr;
    for (const MenuItemDef &item : def.menu) {
        const QString caption = QString::fromUtf16(item.caption);
        if (item.level == 0) {
            menu = bar->addMenu(caption);
            continue;
        }
        QAction *action = menu->addAction(caption);
        if (item.selected.isBound())
            QObject::connect(action, &QAction::triggered, bar, [events, b = item.selected] { events(b); });
    }
    return bar;
}

bool setControlProperty(const ControlDef &def, QObject *control, Property property, const PropertyValue &value)
{
    const QString *s = std::get_if<QString>(&value);
    const Colour *c = std::get_if<Colour>(&value);
    const int *i = std::get_if<int>(&value);
    switch (def.kind) {
    case ControlKind::Button:
        if (property == Property::caption && s) {
            static_cast<QPushButton *>(control)->setText(*s);
            return true;
        }
        return false;
    case ControlKind::Label: {
        auto *label = static_cast<QLabel *>(control);
        if (property == Property::caption && s) {
            label->setText(*s);
            return true;
        }
        if ((property == Property::background_colour || property == Property::text_colour) && c) {
            label->setProperty(property == Property::background_colour ? "korvaneBackground" : "korvaneText",
                               QVariant::fromValue(*c));
            setPaletteColour(label, property == Property::background_colour ? QPalette::Window : QPalette::WindowText,
                             toQColor(*c));
            return true;
        }
        return false;
    }
    case ControlKind::EditBox:
        if (property == Property::text && s) {
            if (auto *line = qobject_cast<QLineEdit *>(control))
                line->setText(*s);
            else
                static_cast<QPlainTextEdit *>(control)->setPlainText(boxText(*s));
            return true;
        }
        return false;
    case ControlKind::ColourPicker: {
        auto *picker = static_cast<ColourPicker *>(control);
        if (property == Property::colour && c) {
            picker->setColour(*c);
            return true;
        }
        if (property == Property::allow_transparent && std::holds_alternative<bool>(value)) {
            picker->setAllowTransparent(std::get<bool>(value));
            return true;
        }
        return false;
    }
    case ControlKind::HtmlView: {
        auto *view = static_cast<HtmlView *>(control);
        if (property == Property::background_colour && c) {
            view->setBackgroundColour(*c);
            return true;
        }
        if (property == Property::content && s) {
            view->setContent(*s);
            return true;
        }
        if (property == Property::style_sheet && s) {
            view->setStyleSheetText(*s);
            return true;
        }
        return false;
    }
    case ControlKind::FileDialog: {
        FileDialogSettings &fd = static_cast<FileDialogControl *>(control)->settings();
        if (property == Property::mode && i) {
            fd.mode = *i;
            return true;
        }
        if (property == Property::file_name && s) {
            fd.fileName = *s;
            return true;
        }
        return false;
    }
    }
    return false;
}

std::optional<PropertyValue> controlProperty(const ControlDef &def, const QObject *control, Property property)
{
    switch (def.kind) {
    case ControlKind::Button:
        if (property == Property::caption)
            return static_cast<const QPushButton *>(control)->text();
        break;
    case ControlKind::Label: {
        auto *label = static_cast<const QLabel *>(control);
        if (property == Property::caption)
            return label->text();
        if (property == Property::background_colour) {
            const QVariant v = label->property("korvaneBackground");
            return v.isValid() ? v.value<Colour>() : Colour::defaultColour();
        }
        if (property == Property::text_colour) {
            const QVariant v = label->property("korvaneText");
            return v.isValid() ? v.value<Colour>() : def.textColour;
        }
        break;
    }
    case ControlKind::EditBox:
        if (property == Property::text) {
            if (auto *line = qobject_cast<const QLineEdit *>(control))
                return line->text();
            return heldText(static_cast<const QPlainTextEdit *>(control)->toPlainText());
        }
        break;
    case ControlKind::ColourPicker: {
        auto *picker = static_cast<const ColourPicker *>(control);
        if (property == Property::colour)
            return picker->colour();
        if (property == Property::allow_transparent)
            return picker->allowTransparent();
        break;
    }
    case ControlKind::HtmlView: {
        auto *view = static_cast<const HtmlView *>(control);
        if (property == Property::background_colour)
            return view->backgroundColour();
        if (property == Property::content)
            return view->content();
        if (property == Property::style_sheet)
            return view->styleSheetText();
        break;
    }
    case ControlKind::FileDialog: {
        const FileDialogSettings &fd = static_cast<const FileDialogControl *>(control)->settings();
        if (property == Property::mode)
            return fd.mode;
        if (property == Property::file_name)
            return fd.fileName;
        break;
    }
    }
    return std::nullopt;
}
