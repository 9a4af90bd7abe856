// The guide windows as the player uses them: the guide text in the view, the picker recolouring the
// view only, and switching scripts giving a fresh window.
#include "../support/program.h"
#include "guide/guide_texts.h"
#include "widgets/html_view.h"
#include "widgets/qt_colour.h"

class TestGuideWindows : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { prepareTestApplication(); }
    void cleanup() { Program::settle(); }

    void viewsShowTheirScript_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("border");
        QTest::newRow("simplified") << int(WindowId::AngleGuide) << AngleGuideText << int(Border::ThinSunken);
        QTest::newRow("traditional") << int(WindowId::AngleGuideTrad) << AngleGuideTradText << int(Border::None);
    }
    void viewsShowTheirScript()
    {
        QFETCH(int, window);
        QFETCH(QString, content);
        QFETCH(int, border);
        Program p;
        p->load(WindowId::ShotTable);
        p->load(WindowId(window), WindowId::ShotTable);
        auto *view = p.control<HtmlView>(WindowId(window), u"简单超文本框1");
        QCOMPARE(view->content(), content);
        QCOMPARE(view->styleSheetText(), GuideStyleSheet);
        QCOMPARE(int(view->border()), border);
        QCOMPARE(view->backgroundColour(), colours::white);
        QCOMPARE(view->textLayout().lines.size(), 22); // 21 lines and the empty one after the last CR LF
    }

    void pickerRecoloursTheViewOnly()
    {
        Program p;
        p->load(WindowId::ShotTable);
        p.click(WindowId::ShotTable, u"按钮21");
        QWidget *guide = p.window(WindowId::AngleGuide);
        auto *picker = p.control<ColourPicker>(WindowId::AngleGuide, u"颜色选择器1");
        auto *view = p.control<HtmlView>(WindowId::AngleGuide, u"简单超文本框1");
        const QColor buttonFace = p.control(WindowId::AngleGuide, u"按钮1")->palette().color(QPalette::Button);

        const QPoint inside = view->innerRect().topLeft() + QPoint(290, 200); // right of every line, above the buttons
        const struct {
            int entry;
            QColor shown;
        } steps[] = {{paletteEntry(u"嫩黄"), QColor(216, 216, 0)},
                     {ColourPicker::transparentEntry, faceColour()},
                     {paletteEntry(u"白色"), QColor(255, 255, 255)}};
        for (const auto &step : steps) {
            chooseInPicker(guide, picker, step.entry);
            QCOMPARE(view->grab().toImage().pixelColor(inside), step.shown);
            for (const TextRun &run : view->textLayout().runs)
                QCOMPARE(run.colour, QColor(Qt::black));
        }
        QCOMPARE(p.control(WindowId::AngleGuide, u"按钮1")->palette().color(QPalette::Button), buttonFace);
        // The table window keeps its own colours: the pickers are independent.
        QCOMPARE(p->get<Colour>(WindowId::ShotTable, u"", Property::background_colour), Colour::defaultColour());
    }

    void switchingScriptsGivesAFreshWindow()
    {
        Program p;
        p->load(WindowId::ShotTable);
        p.click(WindowId::ShotTable, u"按钮21");
        chooseInPicker(p.window(WindowId::AngleGuide), p.control<ColourPicker>(WindowId::AngleGuide, u"颜色选择器1"),
                       paletteEntry(u"紫色"));
        QCOMPARE(p->get<Colour>(WindowId::AngleGuide, u"简单超文本框1", Property::background_colour),
                 Colour::rgb(144, 0, 255));

        p.click(WindowId::AngleGuide, u"按钮2"); // 简繁转换
        Program::settle();
        chooseInPicker(p.window(WindowId::AngleGuideTrad),
                       p.control<ColourPicker>(WindowId::AngleGuideTrad, u"颜色选择器1"), paletteEntry(u"灰绿"));
        p.click(WindowId::AngleGuideTrad, u"按钮2"); // 簡繁轉換
        Program::settle();

        QVERIFY(!p->isLive(WindowId::AngleGuideTrad));
        QCOMPARE(p->get<Colour>(WindowId::AngleGuide, u"简单超文本框1", Property::background_colour), colours::white);
        QCOMPARE(p->get<Colour>(WindowId::AngleGuide, u"颜色选择器1", Property::colour), colours::white);
    }
};

QTEST_MAIN(TestGuideWindows)
#include "tst_guide_windows.moc"
