#include "widgets/html_layout.h"

#include <QFontMetrics>
#include <QtMath>

#include <algorithm>
#include <optional>

namespace {

// Font sizes outside this range come only from broken or hostile style sheets.
constexpr int maxPixelSize = 512;

QStringView withoutComments(QStringView css, QString &buffer)
{
    if (!css.contains(u"/*"))
        return css;
    buffer.reserve(css.size());
    qsizetype i = 0;
    while (i < css.size()) {
        const qsizetype open = css.indexOf(u"/*", i);
        if (open < 0) {
            buffer += css.mid(i);
            break;
        }
        buffer += css.mid(i, open - i);
        const qsizetype close = css.indexOf(u"*/", open + 2);
        if (close < 0)
            break; // an unterminated comment runs to the end
        buffer += u' ';
        i = close + 2;
    }
    return buffer;
}

bool selectsBody(QStringView selectors)
{
    for (QStringView selector : selectors.tokenize(u','))
        if (selector.trimmed().compare(u"body", Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString firstFamily(QStringView value)
{
    value = value.trimmed();
    if (!value.isEmpty() && (value.front() == u'"' || value.front() == u'\'')) {
        const qsizetype close = value.indexOf(value.front(), 1);
        return (close < 0 ? value.mid(1) : value.mid(1, close - 1)).trimmed().toString();
    }
    const qsizetype comma = value.indexOf(u',');
    return (comma < 0 ? value : value.left(comma)).trimmed().toString();
}

int pixelSizeOf(QStringView value, int dpiY)
{
    value = value.trimmed();
    qsizetype numberEnd = 0;
    while (numberEnd < value.size() && (value[numberEnd].isDigit() || value[numberEnd] == u'.'))
        ++numberEnd;
    bool ok = false;
    const double number = value.left(numberEnd).toDouble(&ok);
    if (!ok || number <= 0)
        return 0;
    const QStringView unit = value.mid(numberEnd).trimmed();
    double pixels = 0;
    if (unit.compare(u"pt", Qt::CaseInsensitive) == 0)
        pixels = number * dpiY / 72.0;
    else if (unit.compare(u"px", Qt::CaseInsensitive) == 0)
        pixels = number;
    else
        return 0; // relative sizes and other units have nothing to be relative to here
    // The small epsilon keeps exact products such as 9 * 96 / 72 from falling just short of a whole pixel.
    return std::clamp(int(qFloor(std::min(pixels, double(maxPixelSize)) + 1e-9)), 0, maxPixelSize);
}

void applyDeclarations(QStringView block, int dpiY, BodyStyle &style)
{
    for (QStringView declaration : block.tokenize(u';')) {
        const qsizetype colon = declaration.indexOf(u':');
        if (colon < 0)
            continue;
        const QStringView name = declaration.left(colon).trimmed();
        QStringView value = declaration.mid(colon + 1).trimmed();
        if (value.endsWith(u"!important", Qt::CaseInsensitive))
            value = value.chopped(10).trimmed();
        if (name.compare(u"font-family", Qt::CaseInsensitive) == 0) {
            if (QString family = firstFamily(value); !family.isEmpty())
                style.family = family;
        } else if (name.compare(u"font-size", Qt::CaseInsensitive) == 0) {
            if (const int size = pixelSizeOf(value, dpiY); size > 0)
                style.pixelSize = size;
        } else if (name.compare(u"color", Qt::CaseInsensitive) == 0) {
            if (const QColor colour = QColor::fromString(value); colour.isValid())
                style.colour = colour;
        }
    }
}

// The character an entity such as "&lt;" or "&#x41;" stands for, with the entity's length; at `at` is "&".
struct Entity {
    QString text;
    qsizetype length;
};

std::optional<Entity> entityAt(QStringView content, qsizetype at)
{
    constexpr qsizetype longestEntity = 10; // "&#x10FFFF;"
    const qsizetype semicolon = content.mid(at, longestEntity + 1).indexOf(u';');
    if (semicolon < 2)
        return std::nullopt;
    const QStringView name = content.mid(at + 1, semicolon - 1);
    const qsizetype length = semicolon + 1;

    static constexpr struct {
        const char16_t *name;
        char16_t character;
    } namedEntities[] = {
        {u"lt", u'<'}, {u"gt", u'>'}, {u"amp", u'&'}, {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", u'\u00a0'},
    };
    for (const auto &entity : namedEntities)
        if (name == QStringView(entity.name))
            return Entity{QString(QChar(entity.character)), length};

    if (name.front() != u'#' || name.size() < 2)
        return std::nullopt;
    const bool hex = name[1] == u'x' || name[1] == u'X';
    const QStringView digits = name.mid(hex ? 2 : 1);
    if (digits.isEmpty() || digits.size() > (hex ? 6 : 7))
        return std::nullopt;
    bool ok = false;
    const uint code = digits.toUInt(&ok, hex ? 16 : 10);
    if (!ok)
        return std::nullopt;
    const bool valid = code != 0 && code <= 0x10ffff && !QChar::isSurrogate(code);
    const char32_t character = valid ? char32_t(code) : char32_t(QChar::ReplacementCharacter);
    return Entity{QString::fromUcs4(&character, 1), length};
}

// Builds the runs and lines of one layout, one character at a time.
class LineBuilder {
public:
    LineBuilder(const QFont &font, const QColor &colour, const FontMeasure &measure, const LayoutLimits &limits)
        : m_font(font), m_colour(colour), m_measure(measure), m_limits(limits),
          m_ascent(measure.ascent(font)), m_height(std::max(1, measure.height(font)))
    {
    }

    bool full() const { return m_top >= m_limits.maxExtent || m_totalChars >= m_limits.maxTotalChars; }
    // The rest of the current line is past the limits: only a line break or a tag can still matter.
    bool lineFull() const { return m_lineFull; }

    void addText(QStringView text)
    {
        if (m_lineFull)
            return;
        if (m_totalChars + text.size() > m_limits.maxTotalChars) {
            m_totalChars = m_limits.maxTotalChars;
            return;
        }
        if (m_lineChars + text.size() > m_limits.maxLineChars) {
            m_lineFull = true;
            return;
        }
        m_pending += text;
        m_lineChars += text.size();
        m_totalChars += text.size();
    }

    void tab()
    {
        flush();
        if (m_lineFull)
            return;
        m_x = (m_x / tabStopWidth + 1) * tabStopWidth;
        m_lineFull = m_x >= m_limits.maxExtent;
    }

    void endLine()
    {
        flush();
        if (m_top >= m_limits.maxExtent)
            return;
        m_layout.lines.append({m_top, m_height, m_top + m_ascent, m_x});
        m_top += m_height;
        m_x = 0;
        m_lineChars = 0;
        m_lineFull = false;
    }

    HtmlLayout take() { return std::move(m_layout); }

private:
    // Places the pending text as one run, or, when it is long, as runs of a bounded length each, so that
    // measuring stops soon after the text has left every view.
    void flush()
    {
        constexpr qsizetype chunk = 256;
        qsizetype from = 0;
        while (from < m_pending.size() && m_x < m_limits.maxExtent) {
            qsizetype count = std::min(chunk, m_pending.size() - from);
            if (from + count < m_pending.size() && m_pending[from + count - 1].isHighSurrogate())
                ++count;
            TextRun run;
            run.text = m_pending.mid(from, count);
            run.line = int(m_layout.lines.size());
            run.x = textLeftMargin + m_x;
            run.baseline = m_top + m_ascent;
            run.width = m_measure.advance(m_font, run.text);
            run.font = m_font;
            run.colour = m_colour;
            m_x += run.width;
            m_layout.runs.append(std::move(run));
            from += count;
        }
        m_pending.clear();
        m_lineFull = m_lineFull || m_x >= m_limits.maxExtent;
    }

    const QFont m_font;
    const QColor m_colour;
    const FontMeasure &m_measure;
    const LayoutLimits m_limits;
    const int m_ascent;
    const int m_height;

    HtmlLayout m_layout;
    QString m_pending;
    int m_top = textTopMargin;
    int m_x = 0; // from the text's left edge
    qsizetype m_lineChars = 0;
    qsizetype m_totalChars = 0;
    bool m_lineFull = false; // the rest of the line is past the limits
};

}

BodyStyle parseBodyStyle(QStringView styleSheet, int dpiY)
{
    if (dpiY <= 0)
        dpiY = 96;
    QString buffer;
    const QStringView css = withoutComments(styleSheet, buffer);
    BodyStyle style;
    qsizetype i = 0;
    while (i < css.size()) {
        const qsizetype open = css.indexOf(u'{', i);
        if (open < 0)
            break;
        qsizetype close = css.indexOf(u'}', open + 1);
        if (close < 0)
            close = css.size();
        if (selectsBody(css.mid(i, open - i)))
            applyDeclarations(css.mid(open + 1, close - open - 1), dpiY, style); // later rules win
        i = close + 1;
    }
    return style;
}

QFont bodyFont(const BodyStyle &style, const QFont &base)
{
    QFont font = base;
    if (!style.family.isEmpty())
        font.setFamilies({style.family});
    if (style.pixelSize > 0)
        font.setPixelSize(style.pixelSize);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QColor bodyColour(const BodyStyle &style)
{
    return style.colour.isValid() ? style.colour : QColor(Qt::black);
}

int QtFontMeasure::ascent(const QFont &font) const
{
    return QFontMetrics(font).ascent();
}

int QtFontMeasure::height(const QFont &font) const
{
    return QFontMetrics(font).height();
}

int QtFontMeasure::advance(const QFont &font, const QString &text) const
{
    return QFontMetrics(font).horizontalAdvance(text);
}

HtmlLayout layoutHtml(QStringView content, const QFont &font, const QColor &colour, const FontMeasure &measure,
                      const LayoutLimits &limits)
{
    LineBuilder builder(font, colour, measure, limits);
    const qsizetype size = content.size();
    for (qsizetype i = 0; i < size && !builder.full(); ++i) {
        if (builder.lineFull()) {
            while (i < size && content[i] != u'\n' && content[i] != u'<')
                ++i;
            if (i == size)
                break;
        }
        const QChar c = content[i];
        if (c == u'\n') {
            builder.endLine();
        } else if (c == u'\r') {
            // shows nothing
        } else if (c == u'\t') {
            builder.tab();
        } else if (c == u'<') {
            if (i + 1 < size && content[i + 1] == u'<') {
                builder.addText(u"<");
                ++i;
            } else {
                const qsizetype close = content.indexOf(u'>', i + 1);
                i = close < 0 ? size : close; // the tag itself shows nothing
            }
        } else if (c == u'&') {
            if (const auto entity = entityAt(content, i)) {
                builder.addText(entity->text);
                i += entity->length - 1;
            } else {
                builder.addText(u"&");
            }
        } else {
            builder.addText(content.sliced(i, 1));
        }
    }
    builder.endLine();
    return builder.take();
}
