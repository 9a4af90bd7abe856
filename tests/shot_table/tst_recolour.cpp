// The table window's colour picker recolours the window and its six angle captions, and nothing else.
#include "../support/program.h"
#include "shot_table/shot_power_table.h"
#include "widgets/qt_colour.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

namespace {

// What the player sees of the seven recoloured parts, and of a power box and a button that keep theirs.
struct Looks {
    QList<QColor> captions;
    QColor window, box, button;
};

Looks looksOf(Program &p)
{
    auto *table = static_cast<LiveWindow *>(p.window(WindowId::ShotTable));
    const QImage image = table->grab().toImage();
    Looks looks;
    for (const AngleColumn &c : AngleColumns) {
        auto *caption = p.control<QLabel>(WindowId::ShotTable, c.caption);
        // The caption's right end holds no text: only its background.
        looks.captions << image.pixelColor(table->client()->mapTo(table, caption->geometry().topRight() + QPoint(-1, 1)));
    }
    looks.window = image.pixelColor(table->client()->mapTo(table, QPoint(4, 236)));
    looks.box = p.control(WindowId::ShotTable, u"编辑框1")->palette().color(QPalette::Base);
    looks.button = p.control(WindowId::ShotTable, u"按钮1")->palette().color(QPalette::Button);
    return looks;
}

}

class TestRecolour : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { prepareTestApplication(); }
    void cleanup() { Program::settle(); }

    void choiceRecoloursWindowAndCaptions_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QColor>("expected");
        QTest::newRow("白色") << paletteEntry(u"白色") << QColor(255, 255, 255);
        QTest::newRow("天蓝") << paletteEntry(u"天蓝") << QColor(0, 136, 255);
        QTest::newRow("透明 after 黄色 is the face colour") << int(ColourPicker::transparentEntry) << faceColour();
    }
    void choiceRecoloursWindowAndCaptions()
    {
        QFETCH(int, entry);
        QFETCH(QColor, expected);
        Program p;
        p->load(WindowId::ShotTable);
        QWidget *table = p.window(WindowId::ShotTable);
        auto *picker = p.control<ColourPicker>(WindowId::ShotTable, u"颜色选择器1");
        const Looks before = looksOf(p);
        QCOMPARE(before.window, faceColour());

        chooseInPicker(table, picker, paletteEntry(u"黄色"));
        chooseInPicker(table, picker, entry);

        const Looks after = looksOf(p);
        for (const QColor &c : after.captions)
            QCOMPARE(c, expected);
        QCOMPARE(after.window, expected);
        QCOMPARE(after.box, before.box);
        QCOMPARE(after.button, before.button);
        QCOMPARE(p->get<Colour>(WindowId::ShotTable, u"", Property::background_colour),
                 entry == ColourPicker::transparentEntry ? Colour::defaultColour() : fromQColor(expected));
        for (const AngleColumn &c : AngleColumns) {
            auto *caption = p.control<QLabel>(WindowId::ShotTable, c.caption);
            QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(255, 0, 0)); // the red text stays
        }
    }

    void theSameColourAgainRunsTheHandlerAgain()
    {
        Program p;
        p->load(WindowId::ShotTable);
        auto *picker = p.control<ColourPicker>(WindowId::ShotTable, u"颜色选择器1");
        QSignalSpy chosen(picker, &ColourPicker::colourChosen);
        chooseInPicker(p.window(WindowId::ShotTable), picker, paletteEntry(u"白色"));
        // Someone paints a caption over; the next choice of the same colour writes all seven colours again.
        p->set(WindowId::ShotTable, u"标签4", Property::background_colour, Colour::rgb(1, 2, 3));
        chooseInPicker(p.window(WindowId::ShotTable), picker, paletteEntry(u"白色"));
        QCOMPARE(chosen.count(), 2);
        QCOMPARE(p->get<Colour>(WindowId::ShotTable, u"标签4", Property::background_colour), colours::white);
    }

    void distanceClickLeavesTheColours()
    {
        Program p;
        p->load(WindowId::ShotTable);
        chooseInPicker(p.window(WindowId::ShotTable), p.control<ColourPicker>(WindowId::ShotTable, u"颜色选择器1"),
                       paletteEntry(u"粉红"));
        const Looks chosen = looksOf(p);
        p.click(WindowId::ShotTable, u"按钮9");
        QCOMPARE(p.control<QLabel>(WindowId::ShotTable, u"标签1")->text(), QStringLiteral("20度："));
        const Looks after = looksOf(p);
        QCOMPARE(after.captions, chosen.captions);
        QCOMPARE(after.window, QColor(255, 168, 255));
    }
};

QTEST_MAIN(TestRecolour)
#include "tst_recolour.moc"
