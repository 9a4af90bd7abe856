#pragma once
// Lays out the HTML view's content as positioned text runs and line boxes, apart from any painting, so that
// where every piece of text goes can be checked without pixels.
//
// The content is shown as plain lines: LF ends a line, CR shows nothing, a tab moves to the next multiple of
// 32 px from the text's left edge, tags are skipped ("<<" is a literal "<"), character entities are replaced,
// spaces are kept as they are and nothing wraps. All text takes the style of the style sheet's `body` rule.
#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringView>

// The style that the style sheet's `body` rule gives the text; what the rule leaves out stays unset.
struct BodyStyle {
    QString family;      // the first name of font-family, quotes stripped; empty when not given
    int pixelSize = 0;   // the font-size turned into whole pixels; 0 when not given or not understood
    QColor colour;       // invalid when not given or not understood
};

// Reads the `body` rule(s) of a CSS style sheet; dpiY turns points into pixels, rounding down.
BodyStyle parseBodyStyle(QStringView styleSheet, int dpiY);

// The font and colour the text is drawn in: the body style completed by the view's own font and black.
QFont bodyFont(const BodyStyle &style, const QFont &base);
QColor bodyColour(const BodyStyle &style);

// What the layout needs to know of a font.
class FontMeasure {
public:
    virtual ~FontMeasure() = default;
    virtual int ascent(const QFont &font) const = 0;
    virtual int height(const QFont &font) const = 0;
    virtual int advance(const QFont &font, const QString &text) const = 0;
};

// Measures with Qt's font metrics.
class QtFontMeasure : public FontMeasure {
public:
    int ascent(const QFont &font) const override;
    int height(const QFont &font) const override;
    int advance(const QFont &font, const QString &text) const override;
};

struct TextRun {
    QString text;
    int line = 0;     // index into HtmlLayout::lines
    int x = 0;        // left edge, relative to the view's inner area
    int baseline = 0; // relative to the view's inner area
    int width = 0;
    QFont font;
    QColor colour;
};

struct LineBox {
    int top = 0;
    int height = 0;
    int baseline = 0;
    int width = 0; // from the text's left edge to the end of the line's last run or tab
};

struct HtmlLayout {
    QList<TextRun> runs;
    QList<LineBox> lines;
};

// Bounds that keep hostile content cheap. Nothing that lies beyond them could be seen in a view anyway.
struct LayoutLimits {
    int maxExtent = 8192;         // px: text right of or below this is not laid out
    int maxLineChars = 4096;      // characters laid out per line
    int maxTotalChars = 1 << 16;  // characters laid out in all
};

inline constexpr int textLeftMargin = 1; // the first line starts 1 px right of and below the inner area's corner
inline constexpr int textTopMargin = 1;
inline constexpr int tabStopWidth = 32;

HtmlLayout layoutHtml(QStringView content, const QFont &font, const QColor &colour, const FontMeasure &measure,
                      const LayoutLimits &limits = {});
