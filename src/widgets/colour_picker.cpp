#include "widgets/colour_picker.h"

#include "widgets/accessible_widgets.h"
#include "widgets/picker_palette.h"
#include "widgets/qt_colour.h"

#include <QAccessible>
#include <QColorDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QToolTip>
#include <qdrawutil.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

constexpr int paletteSize = int(PickerPalette.size());
constexpr int columns = 7;
constexpr int lastRow = (paletteSize - 1) / columns;

const QString transparentText = QStringLiteral("透明");
const QString otherColoursText = QStringLiteral("其它颜色...");

// The drop-down arrow, a small solid triangle pointing down, centred in the given rectangle.
void drawArrow(QPainter &p, const QRect &area, const QColor &colour)
{
    const int w = 5;
    const int left = area.left() + (area.width() - w) / 2;
    const int top = area.top() + (area.height() - 3) / 2;
    p.setPen(colour);
    for (int row = 0; row < 3; ++row)
        p.drawLine(left + row, top + row, left + w - 1 - row, top + row);
}

// A one-pixel frame just inside the rectangle, drawn as strips: a one-pixel pen straddles the edge on a
// high-DPI screen, and half of it would fall outside the rectangle and outlive its repaint.
void drawFrame(QPainter &p, const QRect &r, const QColor &colour)
{
    p.fillRect(r.left(), r.top(), r.width(), 1, colour);
    p.fillRect(r.left(), r.bottom(), r.width(), 1, colour);
    p.fillRect(r.left(), r.top(), 1, r.height(), colour);
    p.fillRect(r.right(), r.top(), 1, r.height(), colour);
}

}

// The picker's drop-down: "透明", the palette as a grid of cells and "其它颜色...", with a highlight
// moved by the pointer and the arrow keys. It reports the entry of a confirmation through
// m_confirm and simply closes (and deletes itself) on a cancel.
class ColourPickerPopup : public QWidget {
    Q_OBJECT
public:
    ColourPickerPopup(QWidget *picker, bool withTransparent, int marked, std::function<void(int)> confirm)
        : QWidget(picker, Qt::Popup | Qt::FramelessWindowHint)
        , m_withTransparent(withTransparent)
        , m_highlight(marked)
        , m_confirm(std::move(confirm))
    {
        setObjectName(QStringLiteral("colourPickerPopup"));
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_WindowPropagation); // the picker's font and palette
        setMouseTracking(true);
        if (isCell(marked))
            m_column = marked % columns;
        layOut();
        connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
            if (state != Qt::ApplicationActive && isVisible())
                close();
        });
    }

    int highlighted() const { return m_highlight; }

    // The entries in the order Left and Right walk through them.
    std::vector<int> entries() const
    {
        std::vector<int> list;
        if (m_withTransparent)
            list.push_back(ColourPicker::transparentEntry);
        for (int i = 0; i < paletteSize; ++i)
            list.push_back(i);
        list.push_back(ColourPicker::otherColoursEntry);
        return list;
    }

    // Highlights the entry and confirms it, as a click on it does.
    void choose(int entry)
    {
        setHighlight(entry);
        finish();
    }

    QRect entryRect(int entry) const
    {
        if (isCell(entry))
            return QRect(m_grid.left() + entry % columns * cellSize, m_grid.top() + entry / columns * cellSize,
                         cellSize, cellSize);
        if (entry == ColourPicker::transparentEntry)
            return m_transparentRow;
        if (entry == ColourPicker::otherColoursEntry)
            return m_otherRow;
        return {};
    }

protected:
    void showEvent(QShowEvent *event) override
    {
        QWidget::showEvent(event);
        tellHighlight();
    }

    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::ToolTip) {
            const auto *help = static_cast<QHelpEvent *>(event);
            const int entry = entryAt(help->pos());
            if (isCell(entry))
                QToolTip::showText(help->globalPos(), QString::fromUtf16(PickerPalette[entry].name), this,
                                   entryRect(entry));
            else
                QToolTip::hideText();
            return true;
        }
        return QWidget::event(event);
    }

    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QPalette &pal = palette();
        qDrawWinPanel(&p, rect(), pal, false, &pal.brush(QPalette::Button));

        if (m_withTransparent) {
            paintTextRow(p, ColourPicker::transparentEntry, transparentText);
            paintSeparator(p, m_transparentRow.bottom() + 1 + separatorHeight / 2 - 1);
        }
        for (int i = 0; i < paletteSize; ++i)
            paintCell(p, i);
        paintSeparator(p, m_grid.bottom() + 1 + separatorHeight / 2 - 1);
        paintTextRow(p, ColourPicker::otherColoursEntry, otherColoursText);
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        const QPoint pos = event->position().toPoint();
        setHighlight(rect().contains(pos) ? entryAt(pos) : ColourPicker::noEntry);
    }

    // A press outside does not close the drop-down: the release that follows decides.
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        const QPoint pos = event->position().toPoint();
        if (!rect().contains(pos)) {
            close();
            return;
        }
        setHighlight(entryAt(pos));
        finish();
    }

    void keyPressEvent(QKeyEvent *event) override
    {
        switch (event->key()) {
        case Qt::Key_Escape:
            close();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            finish();
            break;
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
            setHighlight(step(event->key()));
            break;
        default:
            break; // a drop-down swallows every other key while it is open
        }
        event->accept();
    }

private:
    static constexpr int edge = 3;            // the raised edge and one pixel of face inside it
    static constexpr int cellSize = 18;       // a palette cell, swatch and its highlight ring
    static constexpr int swatchInset = 3;     // from a cell's edge to its swatch
    static constexpr int separatorHeight = 5; // between the rows of text and the grid

    static bool isCell(int entry) { return entry >= 0 && entry < paletteSize; }

    void layOut()
    {
        const int width = columns * cellSize;
        const int rowHeight = std::max(fontMetrics().height() + 6, 20);
        int y = edge;
        if (m_withTransparent) {
            m_transparentRow = QRect(edge, y, width, rowHeight);
            y += rowHeight + separatorHeight;
        }
        m_grid = QRect(edge, y, width, (lastRow + 1) * cellSize);
        y += m_grid.height() + separatorHeight;
        m_otherRow = QRect(edge, y, width, rowHeight);
        y += rowHeight + edge;
        setFixedSize(width + 2 * edge, y);
    }

    int entryAt(QPoint pos) const
    {
        for (int entry : entries())
            if (entryRect(entry).contains(pos))
                return entry;
        return ColourPicker::noEntry;
    }

    // Where a key moves the highlight: Left and Right step through the entries in order, Up and Down
    // move a row, keeping the column within the grid. With nothing highlighted any move starts at the
    // first entry.
    int step(int key) const
    {
        const std::vector<int> list = entries();
        const auto at = std::find(list.begin(), list.end(), m_highlight);
        if (at == list.end())
            return list.front();
        const int first = list.front();
        switch (key) {
        case Qt::Key_Home:
            return first;
        case Qt::Key_End:
            return list.back();
        case Qt::Key_Left:
            return at == list.begin() ? *at : *(at - 1);
        case Qt::Key_Right:
            return at + 1 == list.end() ? *at : *(at + 1);
        case Qt::Key_Up:
            if (m_highlight == ColourPicker::otherColoursEntry)
                return std::min(lastRow * columns + m_column, paletteSize - 1);
            if (isCell(m_highlight))
                return m_highlight >= columns ? m_highlight - columns : first;
            return m_highlight;
        case Qt::Key_Down:
            if (m_highlight == ColourPicker::transparentEntry)
                return m_column;
            if (isCell(m_highlight))
                return m_highlight + columns < paletteSize ? m_highlight + columns : ColourPicker::otherColoursEntry;
            return m_highlight;
        }
        return m_highlight;
    }

    void setHighlight(int entry)
    {
        if (entry == m_highlight)
            return;
        update(entryRect(m_highlight));
        m_highlight = entry;
        if (isCell(entry))
            m_column = entry % columns;
        update(entryRect(m_highlight));
        tellHighlight();
    }

    // Screen readers follow the highlight as the focus within the drop-down.
    void tellHighlight()
    {
        const std::vector<int> list = entries();
        const auto at = std::find(list.begin(), list.end(), m_highlight);
        if (at == list.end() || !isVisible())
            return;
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(int(at - list.begin()));
        QAccessible::updateAccessibility(&event);
    }

    // Confirms the highlighted entry once; input that arrives while the picker handles it is ignored.
    void finish()
    {
        if (m_finished)
            return;
        m_finished = true;
        m_confirm(m_highlight);
    }

    void paintHighlight(QPainter &p, const QRect &r) const
    {
        QColor tint = palette().color(QPalette::Highlight);
        tint.setAlpha(48);
        p.fillRect(r.adjusted(1, 1, -1, -1), tint);
        drawFrame(p, r, palette().color(QPalette::Highlight));
    }

    void paintTextRow(QPainter &p, int entry, const QString &text) const
    {
        const QRect r = entryRect(entry);
        if (entry == m_highlight)
            paintHighlight(p, r);
        p.setPen(palette().color(QPalette::ButtonText));
        p.drawText(r, Qt::AlignCenter, text);
    }

    void paintCell(QPainter &p, int entry) const
    {
        const QRect r = entryRect(entry);
        if (entry == m_highlight)
            paintHighlight(p, r);
        const QRect swatch = r.adjusted(swatchInset, swatchInset, -swatchInset, -swatchInset);
        p.fillRect(swatch, toQColor(PickerPalette[entry].colour));
        drawFrame(p, swatch, palette().color(QPalette::Dark));
    }

    void paintSeparator(QPainter &p, int y) const
    {
        p.setPen(palette().color(QPalette::Dark));
        p.drawLine(edge + 1, y, width() - edge - 2, y);
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(edge + 1, y + 1, width() - edge - 2, y + 1);
    }

    bool m_withTransparent;
    int m_highlight;
    int m_column = 0; // the grid column Up and Down return to from the rows of text
    bool m_finished = false;
    std::function<void(int)> m_confirm;
    QRect m_transparentRow;
    QRect m_grid;
    QRect m_otherRow;
};

ColourPicker::ColourPicker(QWidget *parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    installAccessibleWidgets();
}

ColourPicker::~ColourPicker() = default;

// Screen readers name the picker by its colour.
static void tellNameChanged(ColourPicker *picker)
{
    QAccessibleEvent event(picker, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void ColourPicker::setColour(Colour colour)
{
    m_colour = colour;
    update();
    tellNameChanged(this);
}

void ColourPicker::setAllowTransparent(bool allow)
{
    m_allowTransparent = allow;
}

QWidget *ColourPicker::popup() const
{
    return m_popup;
}

QRect ColourPicker::entryRect(int entry) const
{
    return m_popup ? m_popup->entryRect(entry) : QRect();
}

int ColourPicker::highlightedEntry() const
{
    return m_popup ? m_popup->highlighted() : noEntry;
}

std::vector<int> ColourPicker::shownEntries() const
{
    return m_popup ? m_popup->entries() : std::vector<int>{};
}

QString ColourPicker::entryName(int entry)
{
    if (entry >= 0 && entry < paletteSize)
        return QString::fromUtf16(PickerPalette[entry].name);
    if (entry == transparentEntry)
        return transparentText;
    if (entry == otherColoursEntry)
        return otherColoursText;
    return {};
}

void ColourPicker::chooseEntry(int entry)
{
    if (m_popup && m_popup->isVisible())
        m_popup->choose(entry);
}

QSize ColourPicker::sizeHint() const
{
    return QSize(40, 20);
}

QSize ColourPicker::minimumSizeHint() const
{
    return QSize(24, 12);
}

// The entry marked when the drop-down opens.
int ColourPicker::matchingEntry() const
{
    for (int i = 0; i < paletteSize; ++i)
        if (PickerPalette[i].colour == m_colour)
            return i;
    if (m_colour.isDefault() && m_allowTransparent)
        return transparentEntry;
    return otherColoursEntry;
}

void ColourPicker::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QPalette &pal = palette();
    const QBrush white(Qt::white);
    qDrawWinPanel(&p, rect(), pal, true, &white);

    // Inside the sunken edge: the swatch on the left with a pixel of white around it, the arrow on the right.
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    const int arrowWidth = 9;
    const QRect arrow(inner.right() - arrowWidth + 1, inner.top(), arrowWidth, inner.height());
    const QRect swatch(inner.left() + 1, inner.top() + 1, inner.width() - arrowWidth - 2, inner.height() - 2);

    if (hasFocus())
        p.fillRect(QRect(inner.topLeft(), QPoint(arrow.left() - 1, inner.bottom())), pal.color(QPalette::Highlight));
    if (m_colour.isDefault()) {
        // A white swatch on the white box: the word alone shows it, in the widget's font, made smaller
        // only where the swatch is too small for it.
        p.fillRect(swatch, Qt::white);
        QFont font = p.font();
        for (int px = QFontInfo(font).pixelSize(); px > 6; --px) {
            font.setPixelSize(px);
            if (QFontMetrics(font).horizontalAdvance(transparentText) <= swatch.width() && px <= swatch.height())
                break;
        }
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(swatch, Qt::AlignCenter, transparentText);
    } else {
        p.fillRect(swatch, toQColor(m_colour));
        drawFrame(p, swatch, pal.color(QPalette::Dark));
    }

    drawArrow(p, arrow, isEnabled() ? pal.color(QPalette::ButtonText) : pal.color(QPalette::Dark));
}

void ColourPicker::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = true;
    event->accept();
}

// The drop-down opens on the release, so the release that opens it confirms nothing.
void ColourPicker::mouseReleaseEvent(QMouseEvent *event)
{
    const bool opens = event->button() == Qt::LeftButton && m_pressed && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    event->accept();
    if (opens)
        openPopup();
}

void ColourPicker::openPopup()
{
    if (m_popup && m_popup->isVisible())
        return;
    // A drop-down closed a moment ago may still wait for its deletion; it is left to that.
    m_popup = new ColourPickerPopup(this, m_allowTransparent, matchingEntry(), [this](int entry) { confirm(entry); });
    m_popup->move(popupPosition(m_popup->size()));
    m_popup->show();
}

// Below the picker's bottom-left corner, moved as little as needed to lie wholly on the screen.
QPoint ColourPicker::popupPosition(QSize popupSize) const
{
    const QPoint anchor = mapToGlobal(QPoint(0, height()));
    QScreen *screen = QGuiApplication::screenAt(anchor);
    if (!screen)
        screen = this->screen();
    const QRect area = screen->geometry();
    const int x = std::max(area.left(), std::min(anchor.x(), area.right() + 1 - popupSize.width()));
    const int y = std::max(area.top(), std::min(anchor.y(), area.bottom() + 1 - popupSize.height()));
    return QPoint(x, y);
}

// Takes the colour of a confirmed entry, repaints, tells the handler, and only then closes the drop-down.
// The colour chooser's Cancel turns the choice into a cancel.
void ColourPicker::confirm(int entry)
{
    const QPointer<ColourPicker> alive(this);
    std::optional<Colour> chosen;
    if (entry >= 0 && entry < paletteSize)
        chosen = PickerPalette[entry].colour;
    else if (entry == transparentEntry)
        chosen = Colour::defaultColour();
    else if (entry == otherColoursEntry) {
        if (m_popup)
            m_popup->hide(); // the drop-down would hold the mouse and keys from the chooser
        chosen = askChooser();
        if (!alive)
            return;
    } else
        chosen = m_colour;

    if (chosen) {
        m_colour = *chosen;
        repaint();
        tellNameChanged(this);
        emit colourChosen();
        if (!alive)
            return;
    }
    if (m_popup)
        m_popup->close();
}

std::optional<Colour> ColourPicker::askChooser()
{
    const QColor initial = m_colour.isDefault() ? QColor(Qt::white) : toQColor(m_colour);
    QPointer<QColorDialog> dialog = new QColorDialog(initial, window());
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    const int result = dialog->exec();
    if (!dialog)
        return std::nullopt;
    const QColor picked = dialog->selectedColor();
    delete dialog;
    if (result != QDialog::Accepted)
        return std::nullopt;
    return fromQColor(picked);
}

#include "colour_picker.moc"
