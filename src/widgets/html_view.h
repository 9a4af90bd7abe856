#pragma once
// The HTML view: shows its content laid out under a style sheet on a background colour, inside an optional
// sunken edge. It only shows: no scrolling, no links, nothing done with the mouse or the keys.
#include "forms/colour.h"
#include "forms/definition.h"
#include "widgets/html_layout.h"

#include <QImage>
#include <QWidget>

class HtmlView : public QWidget {
    Q_OBJECT
public:
    explicit HtmlView(QWidget *parent = nullptr);

    void setContent(const QString &content);
    QString content() const { return m_content; }

    // The view's CSS, kept apart from QWidget's own style sheet.
    void setStyleSheetText(const QString &styleSheet);
    QString styleSheetText() const { return m_styleSheet; }

    void setBackgroundColour(Colour colour);
    Colour backgroundColour() const { return m_background; }

    void setBorder(Border border);
    Border border() const { return m_border; }

    // Where the content is drawn: the view less its edge.
    QRect innerRect() const;
    const HtmlLayout &textLayout() const { return m_layout; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void relayout();
    int borderWidth() const;

    QString m_content;
    QString m_styleSheet;
    Colour m_background = colours::white;
    Border m_border = Border::None;
    HtmlLayout m_layout;
    QImage m_buffer; // kept between paints so that a repaint only draws
};
