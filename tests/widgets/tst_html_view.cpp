// The HTML view as a widget: its font face, its edge, where it cuts its text off, and when it lays out again.
#include "widgets/fonts.h"
#include "widgets/html_view.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString songBody = uR"(body {font-size: 9pt; color:black; font-family:"宋体",Verdana})"_s;

bool rowHasInk(const QImage &image, int y, int fromX, int toX, QRgb background)
{
    for (int x = fromX; x < toX; ++x)
        if (image.pixel(x, y) != background)
            return true;
    return false;
}

}

class HtmlViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installFontSubstitutions(); }

    void songFaceIsSubstituted_data()
    {
        QTest::addColumn<QString>("face");
        QTest::newRow("宋体") << u"宋体"_s;
        QTest::newRow("SimSun") << u"SimSun"_s;
    }

    void songFaceIsSubstituted()
    {
        QFETCH(QString, face);
        QFont font(face);
        font.setPixelSize(12);
        QCOMPARE(QFontInfo(font).family(), u"AR PL UMing CN"_s);
        QCOMPARE(QFontMetrics(font).height(), 12); // the guide's 21 lines need 12-pixel lines
    }

    void thinSunkenEdge()
    {
        HtmlView view;
        view.resize(50, 30);
        view.setBackgroundColour(Colour::rgb(10, 200, 30));
        view.setBorder(Border::ThinSunken);
        QCOMPARE(view.innerRect(), QRect(1, 1, 48, 28));
        const QImage image = view.grab().toImage();
        const QRgb dark = view.palette().color(QPalette::Dark).rgb();
        const QRgb light = view.palette().color(QPalette::Light).rgb();
        QCOMPARE(image.pixel(0, 0), dark);
        QCOMPARE(image.pixel(25, 0), dark);
        QCOMPARE(image.pixel(0, 15), dark);
        QCOMPARE(image.pixel(49, 15), light);
        QCOMPARE(image.pixel(25, 29), light);
        QCOMPARE(image.pixel(1, 1), qRgb(10, 200, 30));
        QCOMPARE(image.pixel(48, 28), qRgb(10, 200, 30));

        view.setBorder(Border::None);
        QCOMPARE(view.grab().toImage().pixel(0, 0), qRgb(10, 200, 30));
    }

    // A line wider than the view runs to its right edge and is cut there; nothing goes onto a second line.
    void longLineIsCutNotWrapped()
    {
        HtmlView view;
        view.resize(60, 40);
        view.setStyleSheetText(songBody);
        view.setContent(QString(200, u'中'));
        const QImage image = view.grab().toImage();
        const QRgb white = qRgb(255, 255, 255);

        bool inkAtRightEdge = false;
        for (int y = 1; y < 13; ++y)
            inkAtRightEdge = inkAtRightEdge || rowHasInk(image, y, 56, 60, white);
        QVERIFY(inkAtRightEdge);
        for (int y = 13; y < 40; ++y)
            QVERIFY2(!rowHasInk(image, y, 0, 60, white), qPrintable(u"ink in row %1"_s.arg(y)));
    }

    void fontChangeLaysOutAgain()
    {
        HtmlView view;
        view.setContent(u"abc\r\ndef"_s);
        QFont big(u"DejaVu Sans"_s);
        big.setPixelSize(30);
        view.setFont(big);
        QCOMPARE(view.textLayout().lines.size(), 2);
        QCOMPARE(view.textLayout().lines[1].top, 1 + QFontMetrics(big).height());

        // A size from the style sheet outranks the view's font.
        view.setStyleSheetText(u"body{font-size:12px}"_s);
        QCOMPARE(view.textLayout().runs[0].font.pixelSize(), 12);
        view.setFont(QFont(u"DejaVu Sans"_s, 40));
        QCOMPARE(view.textLayout().runs[0].font.pixelSize(), 12);
        QCOMPARE(view.textLayout().runs[0].font.family(), u"DejaVu Sans"_s);
    }
};

QTEST_MAIN(HtmlViewTest)
#include "tst_html_view.moc"
