#include "widgets/html_view.h"

#include "widgets/accessible_widgets.h"
#include "widgets/qt_colour.h"

#include <QEvent>
#include <QPainter>
#include <qdrawutil.h>

HtmlView::HtmlView(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_OpaquePaintEvent); // every pixel is painted, so Qt need not clear first
    installAccessibleWidgets();
    relayout();
}

void HtmlView::setContent(const QString &content)
{
    m_content = content;
    relayout();
}

void HtmlView::setStyleSheetText(const QString &styleSheet)
{
    m_styleSheet = styleSheet;
    relayout();
}

void HtmlView::setBackgroundColour(Colour colour)
{
    m_background = colour;
    update();
}

void HtmlView::setBorder(Border border)
{
    m_border = border;
    update();
}

int HtmlView::borderWidth() const
{
    switch (m_border) {
    case Border::None:
        return 0;
    case Border::ThinSunken:
        return 1;
    case Border::Sunken:
        return 2;
    }
    return 0;
}

QRect HtmlView::innerRect() const
{
    const int edge = borderWidth();
    return rect().adjusted(edge, edge, -edge, -edge);
}

void HtmlView::relayout()
{
    const BodyStyle style = parseBodyStyle(m_styleSheet, logicalDpiY());
    m_layout = layoutHtml(m_content, bodyFont(style, font()), bodyColour(style), QtFontMeasure());
    update();
}

void HtmlView::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        relayout();
    QWidget::changeEvent(event);
}

void HtmlView::paintEvent(QPaintEvent *)
{
    const QRect inner = innerRect();
    QPainter painter(this);
    if (m_border == Border::ThinSunken)
        qDrawShadePanel(&painter, rect(), palette(), true, 1);
    else if (m_border == Border::Sunken)
        qDrawWinPanel(&painter, rect(), palette(), true);
    if (inner.isEmpty())
        return;

    // The whole inner area is drawn afresh off screen and copied in one step, so a repaint never flickers.
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = inner.size() * ratio;
    if (m_buffer.size() != pixels || m_buffer.devicePixelRatio() != ratio) {
        m_buffer = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        m_buffer.setDevicePixelRatio(ratio);
    }
    m_buffer.fill(toQColor(m_background));
    {
        // Each line's glyphs stay within its line box, as in a font's character cells: an outline face's
        // anti-aliased fringes would otherwise reach a pixel into the next line or below the last one.
        QPainter image(&m_buffer);
        int clippedLine = -1;
        for (const TextRun &run : m_layout.runs) {
            const LineBox &line = m_layout.lines[run.line];
            if (line.top >= inner.height())
                break; // lines lie top to bottom
            if (run.x >= inner.width())
                continue; // runs of a line lie left to right, but lines differ in length
            if (run.line != clippedLine) {
                image.setClipRect(0, line.top, inner.width(), line.height);
                clippedLine = run.line;
            }
            if (run.font != image.font())
                image.setFont(run.font);
            if (run.colour != image.pen().color())
                image.setPen(run.colour);
            image.drawText(QPoint(run.x, run.baseline), run.text);
        }
    }
    painter.drawImage(inner.topLeft(), m_buffer);
}
