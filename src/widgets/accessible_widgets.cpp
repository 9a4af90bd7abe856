#include "widgets/accessible_widgets.h"

#include "widgets/colour_picker.h"
#include "widgets/html_view.h"
#include "widgets/picker_palette.h"

#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QPointer>
#include <QWindow>

#include <map>

namespace {

class ColourPickerAccessible : public QAccessibleWidget {
public:
    explicit ColourPickerAccessible(ColourPicker *picker) : QAccessibleWidget(picker, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name && picker()->accessibleName().isEmpty())
            return colourName(picker()->colour());
        return QAccessibleWidget::text(t);
    }

    // The open drop-down is the picker's one child: a pop-up is no top-level window to screen readers.
    int childCount() const override { return openPopup() ? 1 : 0; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 && openPopup() ? QAccessible::queryAccessibleInterface(openPopup()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child && openPopup() && child->object() == openPopup() ? 0 : -1;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        const bool open = openPopup();
        state.hasPopup = true;
        state.expandable = true;
        state.expanded = open;
        state.collapsed = !open;
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{pressAction(), showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action == pressAction() || action == showMenuAction()) {
            if (picker()->isEnabled())
                picker()->openPopup();
            return;
        }
        QAccessibleWidget::doAction(action);
    }

private:
    ColourPicker *picker() const { return static_cast<ColourPicker *>(widget()); }
    QWidget *openPopup() const
    {
        QWidget *popup = picker()->popup();
        return popup && popup->isVisible() ? popup : nullptr;
    }
};

// One entry of the picker's open drop-down: a list item named by its colour, pressed to choose it.
class ColourEntryAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ColourEntryAccessible(QWidget *popup, int entry) : m_popup(popup), m_entry(entry) {}

    bool isValid() const override { return m_popup && picker(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_popup ? m_popup->windowHandle() : nullptr; }
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>> relations(QAccessible::Relation) const override
    {
        return {};
    }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_popup); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? ColourPicker::entryName(m_entry) : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = picker()->entryRect(m_entry);
        return QRect(m_popup->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = true;
        state.selectable = true;
        const bool highlighted = isValid() && picker()->highlightedEntry() == m_entry;
        state.focused = highlighted;
        state.selected = highlighted;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }
    // Queued: choosing "其它颜色..." waits in the colour chooser, and the screen reader must not wait with it.
    void doAction(const QString &action) override
    {
        if (action != pressAction() || !isValid())
            return;
        QMetaObject::invokeMethod(
            picker(), [p = QPointer<ColourPicker>(picker()), entry = m_entry] { if (p) p->chooseEntry(entry); },
            Qt::QueuedConnection);
    }

private:
    ColourPicker *picker() const { return m_popup ? qobject_cast<ColourPicker *>(m_popup->parentWidget()) : nullptr; }

    QPointer<QWidget> m_popup;
    int m_entry;
};

// The picker's open drop-down: a list of its entries, the highlighted one focused.
class ColourPickerPopupAccessible : public QAccessibleWidget {
public:
    explicit ColourPickerPopupAccessible(QWidget *popup) : QAccessibleWidget(popup, QAccessible::List) {}
    ~ColourPickerPopupAccessible() override
    {
        for (const auto &[entry, id] : m_entries)
            QAccessible::deleteAccessibleInterface(id);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && picker() ? QAccessible::queryAccessibleInterface(picker())->text(t)
                                                  : QAccessibleWidget::text(t);
    }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(picker()); }
    int childCount() const override { return picker() ? int(picker()->shownEntries().size()) : 0; }
    QAccessibleInterface *child(int index) const override
    {
        if (!picker() || index < 0 || index >= childCount())
            return nullptr;
        const int entry = picker()->shownEntries()[size_t(index)];
        auto known = m_entries.find(entry);
        if (known == m_entries.end())
            known = m_entries.emplace(entry, QAccessible::registerAccessibleInterface(
                                                 new ColourEntryAccessible(widget(), entry))).first;
        return QAccessible::accessibleInterface(known->second);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (this->child(i) == child)
                return i;
        return -1;
    }
    QAccessibleInterface *focusChild() const override
    {
        const std::vector<int> shown = picker() ? picker()->shownEntries() : std::vector<int>{};
        for (size_t i = 0; i < shown.size(); ++i)
            if (shown[i] == picker()->highlightedEntry())
                return child(int(i));
        return nullptr;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (child(i)->rect().contains(x, y))
                return child(i);
        return nullptr;
    }

private:
    ColourPicker *picker() const { return qobject_cast<ColourPicker *>(widget()->parentWidget()); }

    mutable std::map<int, QAccessible::Id> m_entries;
};

// The view's text as a screen reader reads it: its lines joined by LF, a tab wherever the layout
// left a gap between two runs, and where each character lies in the view's inner area.
struct ViewText {
    QString text;
    QList<QRect> boxes;
};

ViewText viewText(const HtmlLayout &layout)
{
    ViewText out;
    int line = 0;
    int lineEnd = 0; // where the text so far ends on the current line
    auto box = [&](int left, int right) {
        const LineBox &l = layout.lines.value(line);
        return QRect(left, l.top, std::max(0, right - left), l.height);
    };
    for (const TextRun &run : layout.runs) {
        for (; line < run.line; ++line, lineEnd = 0) {
            out.text += QLatin1Char('\n');
            out.boxes += box(lineEnd, lineEnd);
        }
        if (run.x > lineEnd && lineEnd > 0) {
            out.text += QLatin1Char('\t');
            out.boxes += box(lineEnd, run.x);
        }
        const QFontMetrics metrics(run.font);
        int x = run.x;
        for (qsizetype i = 0; i < run.text.size(); ++i) {
            const int right = run.x + metrics.horizontalAdvance(run.text.left(i + 1));
            out.text += run.text[i];
            out.boxes += box(x, right);
            x = right;
        }
        lineEnd = x;
    }
    return out;
}

class HtmlViewAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit HtmlViewAccessible(HtmlView *view) : QAccessibleWidget(view, QAccessible::StaticText) {}

    void *interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        state.multiLine = true;
        return state;
    }

    // Nothing can be selected and there is no caret: the view only shows.
    void selection(int, int *startOffset, int *endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}

    QString text(int startOffset, int endOffset) const override
    {
        return viewText(view()->textLayout()).text.mid(startOffset, endOffset - startOffset);
    }
    using QAccessibleWidget::text;

    int characterCount() const override { return int(viewText(view()->textLayout()).text.size()); }

    QRect characterRect(int offset) const override
    {
        const ViewText t = viewText(view()->textLayout());
        if (offset < 0 || offset >= t.boxes.size())
            return {};
        return t.boxes[offset].translated(view()->mapToGlobal(view()->innerRect().topLeft()));
    }

    int offsetAtPoint(const QPoint &point) const override
    {
        const QPoint local = point - view()->mapToGlobal(view()->innerRect().topLeft());
        const ViewText t = viewText(view()->textLayout());
        for (qsizetype i = 0; i < t.boxes.size(); ++i)
            if (t.boxes[i].contains(local))
                return int(i);
        return -1;
    }

    QString attributes(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    HtmlView *view() const { return static_cast<HtmlView *>(widget()); }
};

QAccessibleInterface *accessibleWidget(const QString &className, QObject *object)
{
    if (className == QLatin1String("ColourPicker"))
        return new ColourPickerAccessible(static_cast<ColourPicker *>(object));
    if (className == QLatin1String("ColourPickerPopup"))
        return new ColourPickerPopupAccessible(static_cast<QWidget *>(object));
    if (className == QLatin1String("HtmlView"))
        return new HtmlViewAccessible(static_cast<HtmlView *>(object));
    return nullptr;
}

}

void installAccessibleWidgets()
{
    static const bool installed = (QAccessible::installFactory(accessibleWidget), true);
    Q_UNUSED(installed);
}

QString colourName(Colour colour)
{
    if (colour.isDefault())
        return QStringLiteral("透明");
    for (const PaletteEntry &entry : PickerPalette)
        if (entry.colour == colour)
            return QString::fromUtf16(entry.name);
    return QStringLiteral("自定义颜色 #%1%2%3")
        .arg(colour.red(), 2, 16, QLatin1Char('0'))
        .arg(colour.green(), 2, 16, QLatin1Char('0'))
        .arg(colour.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}
