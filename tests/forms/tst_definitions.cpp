// Windows built from their definitions: centred, fixed-size, never maximisable, every control at its
// defined place inside the client area, and the stacking of the guide windows.
#include "../support/program.h"
#include "forms/windows.h"

#include <QScreen>

class TestDefinitions : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { prepareTestApplication(); }
    void cleanup() { Program::settle(); }

    void windowsAreBuiltAsDefined_data()
    {
        QTest::addColumn<int>("window");
        for (WindowId id : allWindows)
            QTest::newRow(windowDef(id).name) << int(id);
    }
    void windowsAreBuiltAsDefined()
    {
        QFETCH(int, window);
        const auto id = WindowId(window);
        const WindowDef &def = windowDef(id);
        Program p;
        p->load(WindowId::ShotTable);
        if (id != WindowId::ShotTable)
            p->load(id, WindowId::ShotTable);
        auto *w = static_cast<LiveWindow *>(p.window(id));

        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QCOMPARE(w->pos(), QPoint((screen.width() - def.outerSize.width()) / 2,
                                  (screen.height() - def.outerSize.height()) / 2));
        QCOMPARE(w->windowTitle(), def.titleString());
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
        // Owned by the table window, which stays on top, every other window stays in front of it.
        QCOMPARE(bool(w->windowFlags() & Qt::WindowStaysOnTopHint), def.alwaysOnTop || id != WindowId::ShotTable);
        QCOMPARE(bool(w->windowFlags() & Qt::WindowTitleHint), def.hasTitleBar());
        QCOMPARE(w->client()->size(), clientSize(def));

        for (const ControlDef &cd : def.controls) {
            QObject *control = w->control(cd.name);
            QVERIFY(control);
            if (cd.kind == ControlKind::FileDialog) {
                QVERIFY(!control->isWidgetType());
                continue;
            }
            auto *widget = static_cast<QWidget *>(control);
            QCOMPARE(widget->parentWidget(), w->client());
            QCOMPARE(widget->geometry(), QRect(cd.left, cd.top, cd.width, cd.height));
            QCOMPARE(widget->focusPolicy() != Qt::NoFocus, cd.focusable());
            // Every control lies in the client area, but for the guides' view, which the window clips.
            if (cd.kind != ControlKind::HtmlView)
                QVERIFY(QRect(QPoint(), clientSize(def)).contains(widget->geometry()));
        }
    }

    void clientAreasHoldTheBoxesThatFillThem()
    {
        // The notepad's box and the help window's box fill their client areas; the guides' views are
        // exactly as tall as theirs.
        QCOMPARE(clientSize(notepadWindow).height(), 300);
        QVERIFY(clientSize(notepadWindow).width() - 380 <= 2);
        QCOMPARE(clientSize(notepadHelpWindow).width(), 300);
        QVERIFY(clientSize(notepadHelpWindow).height() - 80 <= 1);
        QCOMPARE(clientSize(angleGuideWindow).height(), 296);
        QCOMPARE(clientSize(angleGuideTradWindow).height(), 296);
    }

    void guideButtonsLieAboveTheViewAndTakeTheClicks_data()
    {
        QTest::addColumn<int>("window");
        QTest::newRow("simplified") << int(WindowId::AngleGuide);
        QTest::newRow("traditional") << int(WindowId::AngleGuideTrad);
    }
    void guideButtonsLieAboveTheViewAndTakeTheClicks()
    {
        QFETCH(int, window);
        const auto id = WindowId(window);
        Program p;
        p->load(WindowId::ShotTable);
        p->load(id, WindowId::ShotTable);
        auto *w = static_cast<LiveWindow *>(p.window(id));
        for (QStringView name : {u"按钮1", u"按钮2", u"颜色选择器1"}) {
            QWidget *control = p.control(id, name);
            QVERIFY(p.control(id, u"简单超文本框1")->geometry().intersects(control->geometry()));
            QCOMPARE(w->client()->childAt(control->geometry().center()), control);
        }
        // A click where "确定" overlaps the view reaches the button.
        const QPoint where = w->client()->mapTo(w, p.control(id, u"按钮1")->geometry().center());
        QTest::mouseClick(w->windowHandle(), Qt::LeftButton, {}, where);
        Program::settle();
        QVERIFY(!p->isLive(id));
    }

    void aWindowIsCentredAgainWhenBuiltAfresh()
    {
        Program p;
        p->load(WindowId::ShotTable);
        p->load(WindowId::AngleGuide, WindowId::ShotTable);
        const QPoint centred = p.window(WindowId::AngleGuide)->pos();
        p.window(WindowId::AngleGuide)->move(3, 4);
        p->titleBarClose(WindowId::AngleGuide);
        p->load(WindowId::AngleGuide, WindowId::ShotTable);
        QCOMPARE(p.window(WindowId::AngleGuide)->pos(), centred);
    }
};

QTEST_MAIN(TestDefinitions)
#include "tst_definitions.moc"
