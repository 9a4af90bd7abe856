// Lays out arbitrary content under an arbitrary style sheet, as the HTML view does, with a simple
// stand-in for a font, and checks that the layout stays inside its limits and holds together.
//
// Input: an optional first line "#limits EXTENT LINECHARS TOTALCHARS DPI" (missing numbers keep the
// defaults), then the style sheet, a form feed, and the content; without a form feed the same text is
// both. The text is UTF-8, or raw UTF-16LE (lone surrogates and all) when it starts with FF FE.
#include "widgets/html_layout.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_html_layout: %s\n", what);
    std::abort(); // libFuzzer keeps the input as a crash-* file for replaying
}

void check(bool ok, const char *what)
{
    if (!ok)
        fail(what);
}

// Half the pixel size for ASCII, the full size for anything else, nothing for control characters;
// counts every character it is asked to measure.
class SimpleMeasure : public FontMeasure {
public:
    static int size(const QFont &font) { return font.pixelSize() > 0 ? font.pixelSize() : 12; }
    int ascent(const QFont &font) const override { return size(font) * 4 / 5; }
    int height(const QFont &font) const override { return size(font); }
    int advance(const QFont &font, const QString &text) const override
    {
        m_measured += text.size();
        int width = 0;
        for (const QChar c : text)
            width += c.unicode() < 0x20 ? 0 : c.unicode() < 0x80 ? size(font) / 2 : size(font);
        return width;
    }
    qsizetype measured() const { return m_measured; }

private:
    mutable qsizetype m_measured = 0;
};

struct Input {
    LayoutLimits limits;
    int dpiY = 96;
    QString styleSheet;
    QString content;
};

Input parse(QByteArray bytes)
{
    Input input;
    if (bytes.startsWith("#limits")) {
        const qsizetype eol = bytes.indexOf('\n');
        const QList<QByteArray> numbers = bytes.mid(7, eol < 0 ? -1 : eol - 7).simplified().split(' ');
        int *const fields[] = {&input.limits.maxExtent, &input.limits.maxLineChars, &input.limits.maxTotalChars,
                               &input.dpiY};
        const int most[] = {1 << 20, 1 << 20, 1 << 20, 10000};
        for (qsizetype i = 0; i < std::min<qsizetype>(numbers.size(), 4); ++i) {
            bool ok = false;
            const int value = numbers[i].toInt(&ok);
            if (ok)
                *fields[i] = std::clamp(value, i == 3 ? -100 : 0, most[i]);
        }
        bytes.remove(0, eol < 0 ? bytes.size() : eol + 1);
    }
    QString text;
    if (bytes.startsWith("\xff\xfe"))
        text = QString(reinterpret_cast<const QChar *>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    else
        text = QString::fromUtf8(bytes);
    const qsizetype formFeed = text.indexOf(u'\f');
    input.styleSheet = formFeed < 0 ? text : text.left(formFeed);
    input.content = formFeed < 0 ? text : text.mid(formFeed + 1);
    return input;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const Input input = parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const LayoutLimits &limits = input.limits;

    const BodyStyle style = parseBodyStyle(input.styleSheet, input.dpiY);
    check(style.pixelSize >= 0 && style.pixelSize <= 512, "the body font size is out of range");
    QFont base;
    base.setPixelSize(12);
    const QFont font = bodyFont(style, base);
    const QColor colour = bodyColour(style);
    check(colour.isValid(), "no valid text colour");

    SimpleMeasure measure;
    const HtmlLayout layout = layoutHtml(input.content, font, colour, measure, limits);

    const int height = measure.height(font), ascent = measure.ascent(font);
    check((limits.maxExtent > textTopMargin) == !layout.lines.isEmpty(), "lines laid out when none fit, or none");
    for (qsizetype i = 0; i < layout.lines.size(); ++i) {
        const LineBox &line = layout.lines[i];
        check(line.top == textTopMargin + int(i) * height, "lines are not stacked one below the other");
        check(line.top < limits.maxExtent, "a line starts below the extent");
        check(line.height == height && line.baseline == line.top + ascent, "a line's height or baseline is wrong");
        check(line.width >= 0, "a line has a negative width");
    }

    // Runs stay on their lines, left to right, inside the extent, and together hold no more characters
    // than the limits allow, all of them measured once.
    QList<qsizetype> lineChars(layout.lines.size());
    qsizetype totalChars = 0;
    int previousLine = -1, previousEnd = 0;
    for (const TextRun &run : layout.runs) {
        check(run.line >= 0 && run.line < layout.lines.size(), "a run is on a line that does not exist");
        const LineBox &line = layout.lines[run.line];
        check(!run.text.isEmpty(), "an empty run");
        check(run.line >= previousLine, "runs go back to an earlier line");
        check(run.x - textLeftMargin >= (run.line == previousLine ? previousEnd : 0), "runs overlap");
        check(run.x - textLeftMargin < limits.maxExtent, "a run starts right of the extent");
        check(run.x - textLeftMargin + run.width <= line.width, "a run ends past its line's width");
        check(run.baseline == line.baseline, "a run is off its line's baseline");
        check(run.width == SimpleMeasure().advance(font, run.text), "a run's width is not its text's advance");
        check(run.font == font && run.colour == colour, "a run has another font or colour");
        lineChars[run.line] += run.text.size();
        totalChars += run.text.size();
        previousLine = run.line;
        previousEnd = run.x - textLeftMargin + run.width;
    }
    for (const qsizetype chars : lineChars)
        check(chars <= limits.maxLineChars, "a line holds more characters than its limit");
    check(totalChars <= limits.maxTotalChars, "more characters laid out than the total limit");
    check(measure.measured() == totalChars, "characters were measured that were not laid out");
    return 0;
}
