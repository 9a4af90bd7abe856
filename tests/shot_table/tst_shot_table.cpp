// The distance buttons fill the six power boxes from the table and put a colon after the captions.
#include "../support/program.h"
#include "shot_table/shot_power_table.h"

#include <QLabel>
#include <QLineEdit>

namespace {
// 20°, 30°, 45°, 50°, 55° and 65°, in that order.
const std::array<QStringView, 6> captionsAfterClick = {u"20度：", u"30度：", u"45度：", u"50度：", u"55度：", u"65度："};
}

class TestShotTable : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { prepareTestApplication(); }
    void cleanup() { Program::settle(); }

    void distanceButtonShowsItsRow_data()
    {
        QTest::addColumn<int>("distance");
        QTest::addColumn<QStringList>("powers"); // 20°, 30°, 45°, 50°, 55°, 65°
        QTest::newRow("1屏: the 45-degree box shows one character") << 1 << QStringList{"10", "14", "8", "14", "14", "13"};
        QTest::newRow("3屏: 45 at 45 degrees") << 3 << QStringList{"25", "25", "45", "25", "25", "26"};
        QTest::newRow("5屏: 30/50/55 differ") << 5 << QStringList{"36", "32", "30", "33", "33", "37"};
        QTest::newRow("7屏: 20 and 65 equal") << 7 << QStringList{"44", "39", "35", "39", "39", "44"};
        QTest::newRow("17屏") << 17 << QStringList{"74", "66", "62", "66", "65", "76"};
        QTest::newRow("20屏: 73 at 50 degrees") << 20 << QStringList{"80", "72", "70", "73", "72", "85"};
    }
    void distanceButtonShowsItsRow()
    {
        QFETCH(int, distance);
        QFETCH(QStringList, powers);
        Program p;
        p->load(WindowId::ShotTable);
        p.click(WindowId::ShotTable, QStringLiteral("按钮%1").arg(distance));
        for (size_t i = 0; i < AngleColumns.size(); ++i) {
            auto *caption = p.control<QLabel>(WindowId::ShotTable, AngleColumns[i].caption);
            auto *box = p.control<QLineEdit>(WindowId::ShotTable, AngleColumns[i].box);
            QCOMPARE(caption->text(), captionsAfterClick[i].toString());
            QCOMPARE(box->text(), powers[int(i)]);
            // Each box stands directly under its own caption.
            QCOMPARE(box->x(), caption->x());
            QCOMPARE(box->y(), caption->geometry().bottom() + 1);
        }
    }

    void everyButtonCaptionNamesItsRow()
    {
        Program p;
        p->load(WindowId::ShotTable);
        for (int n = 1; n <= 20; ++n) {
            auto *button = p.control<QPushButton>(WindowId::ShotTable, QStringLiteral("按钮%1").arg(n));
            QCOMPARE(button->text(), QStringLiteral("%1屏").arg(n));
            button->click();
            QCOMPARE(p.control<QLineEdit>(WindowId::ShotTable, u"编辑框4")->text(),
                     QString::number(ShotPowerTable[size_t(n - 1)][5]));
        }
    }

    void captionsStartWithoutColonAndBoxesEmpty()
    {
        Program p;
        p->load(WindowId::ShotTable);
        const QStringList initial = {"20度", "30度", "45度", "50度", "55度", "65度"};
        for (size_t i = 0; i < AngleColumns.size(); ++i) {
            auto *caption = p.control<QLabel>(WindowId::ShotTable, AngleColumns[i].caption);
            QCOMPARE(caption->text(), initial[int(i)]);
            QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(255, 0, 0));
            QVERIFY(caption->font().bold());
            QCOMPARE(caption->font().pixelSize(), 12);
            QVERIFY(p.control<QLineEdit>(WindowId::ShotTable, AngleColumns[i].box)->text().isEmpty());
        }
    }

    void secondClickLeavesTheWindowAsItWas()
    {
        Program p;
        p->load(WindowId::ShotTable);
        auto snapshot = [&] {
            QStringList s;
            for (const AngleColumn &c : AngleColumns)
                s << p.control<QLabel>(WindowId::ShotTable, c.caption)->text()
                  << p.control<QLineEdit>(WindowId::ShotTable, c.box)->text();
            return s;
        };
        p.click(WindowId::ShotTable, u"按钮12");
        const QStringList once = snapshot();
        p.click(WindowId::ShotTable, u"按钮12");
        QCOMPARE(snapshot(), once);
    }

    void typedTextIsReplacedByTheNextClick()
    {
        Program p;
        p->load(WindowId::ShotTable);
        auto *box = p.control<QLineEdit>(WindowId::ShotTable, u"编辑框5");
        box->setFocus();
        QTest::keyClicks(box, "999x");
        QCOMPARE(box->text(), QStringLiteral("999x"));
        p.click(WindowId::ShotTable, u"按钮3");
        QCOMPARE(box->text(), QStringLiteral("45"));
    }
};

QTEST_MAIN(TestShotTable)
#include "tst_shot_table.moc"
