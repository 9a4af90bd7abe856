// Where the HTML view puts its text, measured with a fixed-pitch stand-in for a font: every character is
// 1 px wide, lines are 12 px high with a 10 px ascent.
#include "widgets/html_layout.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

class FixedPitch : public FontMeasure {
public:
    int ascent(const QFont &) const override { return 10; }
    int height(const QFont &) const override { return 12; }
    int advance(const QFont &, const QString &text) const override { return int(text.size()); }
};

HtmlLayout layOut(const QString &content, const LayoutLimits &limits = {})
{
    return layoutHtml(content, QFont(), Qt::black, FixedPitch(), limits);
}

// One entry per line: "x:text" for each stretch of adjoining runs, separated by "|".
QStringList describe(const HtmlLayout &layout)
{
    QStringList lines(layout.lines.size());
    int previousEnd = -1;
    int previousLine = -1;
    for (const TextRun &run : layout.runs) {
        int line = 0;
        while (line + 1 < layout.lines.size() && layout.lines[line + 1].top <= run.baseline - 10)
            ++line;
        if (line == previousLine && run.x == previousEnd)
            lines[line] += run.text;
        else
            lines[line] += (lines[line].isEmpty() ? u""_s : u"|"_s) + QString::number(run.x) + u':' + run.text;
        previousEnd = run.x + run.width;
        previousLine = line;
    }
    return lines;
}

}

class HtmlLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void characters_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QStringList>("lines");

        const QString a31(31, u'a'), a32(32, u'a'), wide(1000, u'm');
        // line breaks
        QTest::newRow("CR dropped") << u"ab\r\ncd"_s << QStringList{u"1:ab"_s, u"1:cd"_s};
        QTest::newRow("lone CR shows nothing") << u"a\rb"_s << QStringList{u"1:ab"_s};
        QTest::newRow("LF, empty line") << u"a\n\nb"_s << QStringList{u"1:a"_s, u""_s, u"1:b"_s};
        QTest::newRow("final CR LF opens an empty line") << u"a\r\n"_s << QStringList{u"1:a"_s, u""_s};
        QTest::newRow("empty content") << u""_s << QStringList{u""_s};
        // tabs, from the text's left edge, which is 1 px into the view
        QTest::newRow("tab at 0 px") << u"\tx"_s << QStringList{u"33:x"_s};
        QTest::newRow("tab at 31 px") << a31 + u"\tx"_s << QStringList{u"1:"_s + a31 + u"|33:x"_s};
        QTest::newRow("tab at 32 px") << a32 + u"\tx"_s << QStringList{u"1:"_s + a32 + u"|65:x"_s};
        QTest::newRow("two tabs") << u"\t\tx"_s << QStringList{u"65:x"_s};
        QTest::newRow("tab on a new line") << u"abc\n\tx"_s << QStringList{u"1:abc"_s, u"33:x"_s};
        // markup
        QTest::newRow("tags skipped") << u"a<b>c</b>d"_s << QStringList{u"1:acd"_s};
        QTest::newRow("tag across a line break") << u"a<br\n>b"_s << QStringList{u"1:ab"_s};
        QTest::newRow("unterminated tag") << u"a<b c\nd"_s << QStringList{u"1:a"_s};
        QTest::newRow("<< is <") << u"a<<b"_s << QStringList{u"1:a<b"_s};
        QTest::newRow("<< then a tag") << u"<<<i>x"_s << QStringList{u"1:<x"_s};
        QTest::newRow("> alone is text") << u"a>b"_s << QStringList{u"1:a>b"_s};
        QTest::newRow("named entities") << u"&lt;&gt;&amp;&quot;&apos;&nbsp;."_s
                                        << QStringList{u"1:<>&\"'\u00a0."_s};
        QTest::newRow("numeric entities") << u"&#65;&#x42;&#X43;&#x4e2d;&#x1F600;"_s
                                          << QStringList{u"1:ABC中\U0001F600"_s};
        QTest::newRow("entity for <") << u"&lt;b&gt;"_s << QStringList{u"1:<b>"_s};
        QTest::newRow("not entities") << u"& &; &foo; &lt &#; &#x; &#12a;"_s
                                      << QStringList{u"1:& &; &foo; &lt &#; &#x; &#12a;"_s};
        QTest::newRow("invalid code points") << u"&#0;&#xD800;&#1114112;"_s << QStringList{u"1:\uFFFD\uFFFD\uFFFD"_s};
        // spacing
        QTest::newRow("run of spaces kept") << u"a   b "_s << QStringList{u"1:a   b "_s};
        QTest::newRow("over-long line not wrapped") << wide + u"\nx"_s << QStringList{u"1:"_s + wide, u"1:x"_s};
    }

    void characters()
    {
        QFETCH(QString, content);
        QFETCH(QStringList, lines);
        QCOMPARE(describe(layOut(content)), lines);
    }

    void lineBoxes()
    {
        const HtmlLayout layout = layOut(u"ab\r\n\r\n\tc\r\n"_s);
        QCOMPARE(layout.lines.size(), 4);
        const int tops[] = {1, 13, 25, 37};
        const int widths[] = {2, 0, 33, 0};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(layout.lines[i].top, tops[i]);
            QCOMPARE(layout.lines[i].height, 12);
            QCOMPARE(layout.lines[i].baseline, tops[i] + 10);
            QCOMPARE(layout.lines[i].width, widths[i]);
        }
        QCOMPARE(layout.runs.size(), 2);
        QCOMPARE(layout.runs[1].baseline, 35);
    }

    // Whatever the content, the layout stays within its limits, and so does the work done for it.
    void hostileContentStaysBounded_data()
    {
        QTest::addColumn<QString>("content");
        const int n = 200000;
        QTest::newRow("one huge line") << QString(n, u'a');
        QTest::newRow("only line feeds") << QString(n, u'\n');
        QTest::newRow("only tabs") << QString(n, u'\t');
        QTest::newRow("only <<") << QString(n, u'<');
        QTest::newRow("open tags") << QString(u"<a "_s).repeated(n / 3);
        QTest::newRow("ampersands") << QString(n, u'&');
        QTest::newRow("entities") << u"&nbsp;"_s.repeated(n / 6);
        QTest::newRow("huge numbers") << u"&#99999999999;&#xFFFFFFFFF;"_s.repeated(n / 27);
        QTest::newRow("short lines") << u"ab\r\n"_s.repeated(n / 4);
        QTest::newRow("lone surrogates") << QString(n, QChar(0xd800));
    }

    void hostileContentStaysBounded()
    {
        QFETCH(QString, content);
        LayoutLimits limits;
        limits.maxExtent = 600;
        limits.maxLineChars = 300;
        limits.maxTotalChars = 2000;
        const HtmlLayout layout = layOut(content, limits);

        QVERIFY(!layout.lines.isEmpty());
        QVERIFY(layout.lines.size() <= limits.maxExtent / 12 + 1);
        QVERIFY(layout.lines.last().top < limits.maxExtent);
        qsizetype total = 0;
        for (const TextRun &run : layout.runs) {
            QVERIFY(run.x < limits.maxExtent + textLeftMargin);
            total += run.text.size();
        }
        QVERIFY(total <= limits.maxTotalChars);
    }

    // The limits cut late, never early: everything up to them is laid out as usual.
    void limitsKeepWhatComesBefore()
    {
        const QString line(1000, u'a');
        LayoutLimits limits;
        limits.maxLineChars = 300;
        QCOMPARE(describe(layOut(line + u"\nb"_s, limits)), (QStringList{u"1:"_s + line.left(300), u"1:b"_s}));

        limits = {};
        limits.maxExtent = 600;
        const QStringList lines = describe(layOut(line, limits));
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].size() >= 2 + 600);
        QVERIFY(line.startsWith(lines[0].mid(2)));

        limits = {};
        limits.maxTotalChars = 7;
        QCOMPARE(describe(layOut(u"abc\ndef\nghi\n"_s, limits)), (QStringList{u"1:abc"_s, u"1:def"_s, u"1:g"_s}));
    }

    void bodyRule_data()
    {
        QTest::addColumn<QString>("css");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pixelSize");
        QTest::addColumn<QColor>("colour");

        const QString guideBody = uR"(body {font-size: 9pt; color:black; font-family:"宋体",Verdana})"_s;
        const QString pRule = uR"(p  {font-size: 20pt; color:red; font-family:"Other"})"_s;
        // valid
        QTest::newRow("guide body at 96 dpi") << guideBody << 96 << u"宋体"_s << 12 << QColor(Qt::black);
        QTest::newRow("guide body at 120 dpi") << guideBody << 120 << u"宋体"_s << 15 << QColor(Qt::black);
        QTest::newRow("guide body at 144 dpi") << guideBody << 144 << u"宋体"_s << 18 << QColor(Qt::black);
        QTest::newRow("pt rounded down") << u"body{font-size:10.5pt}"_s << 96 << u""_s << 14 << QColor();
        QTest::newRow("px") << u"body{font-size:16px}"_s << 96 << u""_s << 16 << QColor();
        QTest::newRow("single quotes") << u"body{font-family:'Noto Sans', serif}"_s << 96 << u"Noto Sans"_s << 0
                                       << QColor();
        QTest::newRow("unquoted list") << u"body{font-family: Verdana , Arial}"_s << 96 << u"Verdana"_s << 0
                                       << QColor();
        QTest::newRow("#rgb") << u"BODY { color : #f90 }"_s << 96 << u""_s << 0 << QColor(0xff, 0x99, 0x00);
        QTest::newRow("#rrggbb") << u"body{color:#626262}"_s << 96 << u""_s << 0 << QColor(0x62, 0x62, 0x62);
        QTest::newRow("named colour") << u"body{color:green}"_s << 96 << u""_s << 0 << QColor(0, 128, 0);
        // which rule counts
        QTest::newRow("other rules ignored") << pRule + u"\r\n"_s + guideBody << 96 << u"宋体"_s << 12
                                             << QColor(Qt::black);
        QTest::newRow("no body rule") << pRule << 96 << u""_s << 0 << QColor();
        QTest::newRow("selector list") << u"h1, body {color:red}"_s << 96 << u""_s << 0 << QColor(Qt::red);
        QTest::newRow("later rule wins") << u"body{color:red} body{color:blue}"_s << 96 << u""_s << 0
                                         << QColor(Qt::blue);
        QTest::newRow("commented out") << u"/* body{color:red} */ body{color:blue}"_s << 96 << u""_s << 0
                                       << QColor(Qt::blue);
        QTest::newRow("not a body selector") << u"tbody{color:red} body.x{color:red}"_s << 96 << u""_s << 0
                                             << QColor();
        // invalid
        QTest::newRow("relative size") << u"body{font-size:65%; color:nocolour; font-family:}"_s << 96 << u""_s
                                       << 0 << QColor();
        QTest::newRow("huge size capped") << u"body{font-size:99999999pt}"_s << 96 << u""_s << 512 << QColor();
        QTest::newRow("unterminated rule") << u"body{color:red"_s << 96 << u""_s << 0 << QColor(Qt::red);
        QTest::newRow("unterminated comment") << u"body{color:red}/* body{color:blue}"_s << 96 << u""_s << 0
                                              << QColor(Qt::red);
        QTest::newRow("no dpi") << guideBody << 0 << u"宋体"_s << 12 << QColor(Qt::black);
    }

    void bodyRule()
    {
        QFETCH(QString, css);
        QFETCH(int, dpi);
        QFETCH(QString, family);
        QFETCH(int, pixelSize);
        QFETCH(QColor, colour);

        const BodyStyle style = parseBodyStyle(css, dpi);
        QCOMPARE(style.family, family);
        QCOMPARE(style.pixelSize, pixelSize);
        QCOMPARE(style.colour, colour);
    }

    // What the body rule leaves out comes from the view's font and black; weight and slant are always plain.
    void bodyStyleCompletion()
    {
        QFont base(u"DejaVu Sans"_s);
        base.setPixelSize(17);
        base.setBold(true);
        base.setItalic(true);

        const QFont plain = bodyFont(BodyStyle{}, base);
        QCOMPARE(plain.family(), u"DejaVu Sans"_s);
        QCOMPARE(plain.pixelSize(), 17);
        QCOMPARE(plain.weight(), QFont::Normal);
        QVERIFY(!plain.italic());
        QCOMPARE(bodyColour(BodyStyle{}), QColor(Qt::black));

        const BodyStyle guide{u"宋体"_s, 12, QColor(Qt::blue)};
        const QFont song = bodyFont(guide, base);
        QCOMPARE(song.family(), u"宋体"_s);
        QCOMPARE(song.pixelSize(), 12);
        QCOMPARE(bodyColour(guide), QColor(Qt::blue));
    }
};

QTEST_MAIN(HtmlLayoutTest)
#include "tst_html_layout.moc"
