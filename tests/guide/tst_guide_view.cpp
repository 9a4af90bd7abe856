// The guide as its windows show it: 21 lines of 宋体 in 12-pixel bands from the view's inner top left,
// on a background that the colour picker sets.
#include "guide/guide_texts.h"
#include "widgets/fonts.h"
#include "widgets/html_view.h"
#include "widgets/qt_colour.h"

#include <QTest>

using namespace Qt::Literals::StringLiterals;

class GuideViewTest : public QObject {
    Q_OBJECT

    static std::unique_ptr<HtmlView> guideView(const QString &text, Border border)
    {
        auto view = std::make_unique<HtmlView>();
        view->setGeometry(0, 0, 315, 296);
        view->setContent(text);
        view->setStyleSheetText(GuideStyleSheet);
        view->setBorder(border);
        return view;
    }

    // Rows of the inner area, from its top, that hold any pixel other than the background.
    static QList<bool> inkedRows(HtmlView &view, QRgb background)
    {
        const QImage image = view.grab().toImage();
        const QRect inner = view.innerRect();
        QList<bool> rows;
        for (int y = inner.top(); y <= inner.bottom(); ++y) {
            bool ink = false;
            for (int x = inner.left(); x <= inner.right() && !ink; ++x)
                ink = image.pixel(x, y) != background;
            rows.append(ink);
        }
        return rows;
    }

private slots:
    void initTestCase()
    {
        installFontSubstitutions();
        QCOMPARE(QWidget().logicalDpiY(), 96); // 9 points are 12 pixels only at 96 dpi
    }

    void twentyOneLineBands_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Border>("border");
        QTest::newRow("simplified, thin sunken edge") << AngleGuideText << Border::ThinSunken;
        QTest::newRow("traditional, no edge") << AngleGuideTradText << Border::None;
    }

    void twentyOneLineBands()
    {
        QFETCH(QString, text);
        QFETCH(Border, border);
        const auto view = guideView(text, border);

        const QList<bool> rows = inkedRows(*view, qRgb(255, 255, 255));
        QVERIFY(!rows[0]);
        for (int line = 0; line < 21; ++line) {
            bool ink = false;
            for (int y = 1 + 12 * line; y < 13 + 12 * line; ++y)
                ink = ink || rows[y];
            QVERIFY2(ink, qPrintable(u"line %1 shows nothing"_s.arg(line + 1)));
        }
        for (int y = 253; y < rows.size(); ++y)
            QVERIFY2(!rows[y], qPrintable(u"ink %1 px below the inner top"_s.arg(y)));

        // The final CR LF opens an empty 22nd line and nothing else.
        QCOMPARE(view->textLayout().lines.size(), 22);
        QCOMPARE(view->textLayout().lines[20].top + view->textLayout().lines[20].height, 253);
        QCOMPARE(view->textLayout().lines[21].width, 0);
    }

    void backgroundColour()
    {
        const auto view = guideView(AngleGuideText, Border::ThinSunken);
        QCOMPARE(view->backgroundColour(), colours::white);
        QVERIFY(faceColour() != QColor(Qt::white)); // else the default colour could not be told from white

        const struct {
            Colour colour;
            QColor painted;
        } steps[] = {
            {Colour::rgb(255, 128, 192), QColor(255, 128, 192)}, // a palette colour, painted unchanged
            {Colour::defaultColour(), faceColour()},             // "透明" paints the button face
            {Colour::defaultColour(), faceColour()},             // the same colour again
            {colours::white, QColor(Qt::white)},                 // and back to the first look
        };
        for (const auto &step : steps) {
            view->setBackgroundColour(step.colour);
            QCOMPARE(view->backgroundColour(), step.colour);
            const QImage image = view->grab().toImage();
            QCOMPARE(image.pixel(300, 280), step.painted.rgb()); // below the text
            QCOMPARE(image.pixel(1, 1), step.painted.rgb());    // the inner corner
            QCOMPARE(image.pixel(0, 0), view->palette().color(QPalette::Dark).rgb()); // the edge keeps its look

            // The text stays black on any background: its strokes' cores are near black whatever lies below.
            int darkest = 255;
            for (int x = 1; x < 314; ++x)
                for (int y = 14; y < 26; ++y) {
                    const QColor c = image.pixelColor(x, y);
                    darkest = std::min(darkest, std::max({c.red(), c.green(), c.blue()}));
                }
            QVERIFY2(darkest < 0x40, qPrintable(QString::number(darkest)));
        }
    }
};

QTEST_MAIN(GuideViewTest)
#include "tst_guide_view.moc"
