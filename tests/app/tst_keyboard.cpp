// Keys before the focused control: Tab and Shift+Tab in the defined focus order, Esc where it closes,
// Enter pressing no button.
#include "../support/program.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>

namespace {

QStringList focusNames(Program &p, WindowId id, int steps, bool backward)
{
    QStringList names;
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), backward ? Qt::Key_Backtab : Qt::Key_Tab,
                        backward ? Qt::ShiftModifier : Qt::NoModifier);
        names << QApplication::focusWidget()->objectName();
    }
    Q_UNUSED(p);
    Q_UNUSED(id);
    return names;
}

}

class TestKeyboard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { prepareTestApplication(); }
    void cleanup() { Program::settle(); }

    void tabFollowsTheTableWindowsFocusOrderAndWraps()
    {
        Program p;
        p->load(WindowId::ShotTable);
        QWidget *table = p.window(WindowId::ShotTable);
        QApplication::setActiveWindow(table);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("按钮1"));

        QStringList expected;
        for (int n = 2; n <= 20; ++n)
            expected << QStringLiteral("按钮%1").arg(n);
        expected << "编辑框1" << "编辑框2" << "编辑框3" << "编辑框4" << "编辑框5" << "颜色选择器1" << "按钮21"
                 << "编辑框6" << "按钮22" << "按钮1";
        QCOMPARE(focusNames(p, WindowId::ShotTable, int(expected.size()), false), expected);

        // Shift+Tab walks back the same way: from 按钮1 to 按钮22, 编辑框6, ...
        QStringList back;
        for (int i = int(expected.size()) - 2; i >= 0; --i)
            back << expected[i];
        back << "按钮1";
        QCOMPARE(focusNames(p, WindowId::ShotTable, int(back.size()), true), back);
    }

    void focusOrderOfTheOtherWindows_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QStringList>("order"); // first focus, then each Tab
        QTest::newRow("guide") << int(WindowId::AngleGuide)
                               << QStringList{"简单超文本框1", "按钮1", "颜色选择器1", "按钮2", "简单超文本框1"};
        QTest::newRow("help") << int(WindowId::NotepadHelp) << QStringList{"编辑框1", "按钮1", "编辑框1"};
        QTest::newRow("notepad") << int(WindowId::Notepad) << QStringList{"编辑框1", "编辑框1"};
    }
    void focusOrderOfTheOtherWindows()
    {
        QFETCH(int, window);
        QFETCH(QStringList, order);
        Program p;
        p->load(WindowId::ShotTable);
        const auto id = WindowId(window);
        p->load(id, WindowId::ShotTable);
        QApplication::setActiveWindow(p.window(id));
        QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
        QCOMPARE(focusNames(p, id, int(order.size()) - 1, false), order.mid(1));
    }

    void tabNeverReachesABox()
    {
        Program p;
        p->load(WindowId::ShotTable);
        p->load(WindowId::NotepadHelp, WindowId::ShotTable);
        QApplication::setActiveWindow(p.window(WindowId::NotepadHelp));
        auto *box = p.control<QPlainTextEdit>(WindowId::NotepadHelp, u"编辑框1");
        const QString before = box->toPlainText();
        QTest::keyClick(box, Qt::Key_Tab);
        QVERIFY(!box->toPlainText().contains('\t'));
        QCOMPARE(box->toPlainText(), before);
    }

    void escClosesWhereDefined_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<bool>("closes");
        QTest::newRow("ShotTableWindow") << int(WindowId::ShotTable) << true;
        QTest::newRow("NotepadWindow") << int(WindowId::Notepad) << true;
        QTest::newRow("NotepadHelpWindow") << int(WindowId::NotepadHelp) << true;
        QTest::newRow("AngleGuideWindow") << int(WindowId::AngleGuide) << false;
        QTest::newRow("AngleGuideTradWindow") << int(WindowId::AngleGuideTrad) << false;
    }
    void escClosesWhereDefined()
    {
        QFETCH(int, window);
        QFETCH(bool, closes);
        Program p;
        p->load(WindowId::ShotTable);
        const auto id = WindowId(window);
        if (id != WindowId::ShotTable)
            p->load(id, WindowId::ShotTable);
        QApplication::setActiveWindow(p.window(id));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        Program::settle();
        QCOMPARE(p->isLive(id), !closes);
    }

    void escInTheTableEndsTheProgramWithZero()
    {
        Program p;
        whenIdle([&] {
            p.click(WindowId::ShotTable, u"按钮21");
            QApplication::setActiveWindow(p.window(WindowId::ShotTable));
            QTest::keyClick(p.control(WindowId::ShotTable, u"编辑框3"), Qt::Key_Escape);
        });
        QCOMPARE(p->run(), 0);
        QVERIFY(!p->isLive(WindowId::AngleGuide));
    }

    void enterPressesNoButton()
    {
        Program p;
        p->load(WindowId::ShotTable);
        p->load(WindowId::NotepadHelp, WindowId::ShotTable);
        QApplication::setActiveWindow(p.window(WindowId::ShotTable));
        auto *button = p.control<QPushButton>(WindowId::ShotTable, u"按钮5");
        button->setFocus();
        QSignalSpy clicked(button, &QPushButton::clicked);
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(p.control(WindowId::ShotTable, u"编辑框1"), Qt::Key_Enter);
        QCOMPARE(clicked.count(), 0);
        QVERIFY(p.control<QLineEdit>(WindowId::ShotTable, u"编辑框1")->text().isEmpty());

        // In the help window Enter is a line break in the box, never a press of "确定".
        QApplication::setActiveWindow(p.window(WindowId::NotepadHelp));
        auto *box = p.control<QPlainTextEdit>(WindowId::NotepadHelp, u"编辑框1");
        const int lines = box->blockCount();
        QTest::keyClick(box, Qt::Key_Return);
        Program::settle();
        QCOMPARE(box->blockCount(), lines + 1);
        QVERIFY(p->isLive(WindowId::NotepadHelp));
        QVERIFY(!p->isLive(WindowId::Notepad));
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
