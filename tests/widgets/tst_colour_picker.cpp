// The colour picker driven as a user drives it: mouse and keys on the picker and its drop-down,
// and the real colour chooser answered once it has opened.
#include "widgets/colour_picker.h"
#include "widgets/picker_palette.h"

#include <QApplication>
#include <QColorDialog>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include <functional>
#include <memory>

Q_DECLARE_METATYPE(Colour)

namespace {
const Colour white = colours::white;
const Colour transparent = Colour::defaultColour();
const Colour custom = Colour::rgb(12, 34, 56); // in no palette cell
}

class TestColourPicker : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWhiteWithTransparentOffered();
    void onlyAMouseReleaseOverThePickerOpensIt();
    void marksTheEntryOfItsColour_data();
    void marksTheEntryOfItsColour();
    void keysMoveTheHighlight_data();
    void keysMoveTheHighlight();
    void hoverMovesTheHighlightWithoutFiring();
    void confirmGivesTheEntrysColour_data();
    void confirmGivesTheEntrysColour();
    void handlerSeesTheNewColourBeforeTheDropDownCloses();
    void theSameColourTwiceFiresTwice();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void chooserColourIsAppliedAndMarksOtherColours();
    void chooserPreselectsThePickersColour_data();
    void chooserPreselectsThePickersColour();
    void chooserCancelIsACancel();
    void cellsNameTheirColourInATooltip_data();
    void cellsNameTheirColourInATooltip();
    void dropDownStaysOnTheScreen_data();
    void dropDownStaysOnTheScreen();
    void swatchShowsTheColour_data();
    void swatchShowsTheColour();

private:
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {});
    void clickPicker();
    void pointAt(QPoint inPopup);
    void clickAt(QPoint inPopup);
    QWidget *open();
    void clickEntry(int entry);
    void answerChooser(std::function<void(QColorDialog *)> answer);

    std::unique_ptr<QWidget> m_window;
    ColourPicker *m_picker = nullptr;
    std::unique_ptr<QSignalSpy> m_chosen;
};

void TestColourPicker::initTestCase()
{
    QApplication::setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 9));
}

// A small window with the picker where the table window has it.
void TestColourPicker::init()
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(220, 260);
    m_window->move(100, 100);
    m_picker = new ColourPicker(m_window.get());
    m_picker->setGeometry(160, 216, 40, 18);
    m_chosen = std::make_unique<QSignalSpy>(m_picker, &ColourPicker::colourChosen);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestColourPicker::cleanup()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    m_chosen.reset();
    m_window.reset();
}

// Mouse events go through the windows, as the window system sends them, so that Qt routes them
// to the open drop-down wherever they land.
void TestColourPicker::clickPicker()
{
    QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, m_picker->mapTo(m_window.get(), QPoint(10, 9)));
}

void TestColourPicker::pointAt(QPoint inPopup)
{
    QTest::mouseMove(m_picker->popup()->windowHandle(), inPopup);
}

void TestColourPicker::clickAt(QPoint inPopup)
{
    QTest::mouseClick(m_picker->popup()->windowHandle(), Qt::LeftButton, {}, inPopup);
}

// Keys go to the window that has the focus; Qt hands them to the open drop-down.
void TestColourPicker::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(m_window->windowHandle(), key, modifiers);
}

QWidget *TestColourPicker::open()
{
    clickPicker();
    return m_picker->popup();
}

void TestColourPicker::clickEntry(int entry)
{
    QVERIFY(m_picker->popup());
    const QRect r = m_picker->entryRect(entry);
    QVERIFY(!r.isEmpty());
    pointAt(r.center());
    clickAt(r.center());
}

// Waits for the modal colour chooser and hands it to answer, which must close it.
void TestColourPicker::answerChooser(std::function<void(QColorDialog *)> answer)
{
    auto *timer = new QTimer(m_window.get());
    timer->setInterval(10);
    connect(timer, &QTimer::timeout, timer, [timer, answer] {
        if (auto *dialog = qobject_cast<QColorDialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            answer(dialog);
        }
    });
    timer->start();
}

void TestColourPicker::startsWhiteWithTransparentOffered()
{
    ColourPicker picker;
    QCOMPARE(picker.colour(), white);
    QVERIFY(picker.allowTransparent());
    QVERIFY(picker.focusPolicy() & Qt::TabFocus);
    QVERIFY(!picker.popup());
}

void TestColourPicker::onlyAMouseReleaseOverThePickerOpensIt()
{
    m_picker->setFocus();
    for (int key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Down, Qt::Key_F4})
        press(Qt::Key(key));
    press(Qt::Key_Down, Qt::AltModifier);
    QVERIFY(!m_picker->popup());

    const QPoint onPicker = m_picker->mapTo(m_window.get(), QPoint(10, 9));
    QTest::mousePress(m_window->windowHandle(), Qt::LeftButton, {}, onPicker);
    QVERIFY(!m_picker->popup());
    QTest::mouseRelease(m_window->windowHandle(), Qt::LeftButton, {}, onPicker);
    QWidget *popup = m_picker->popup();
    QVERIFY(popup);
    QVERIFY(popup->isVisible());
    QCOMPARE(popup->objectName(), QStringLiteral("colourPickerPopup"));
    QCOMPARE(QApplication::activePopupWidget(), popup);
    QCOMPARE(popup->pos(), m_picker->mapToGlobal(QPoint(0, m_picker->height())));
    QCOMPARE(m_chosen->count(), 0); // the opening release confirms nothing
    QCOMPARE(m_picker->colour(), white);
}

void TestColourPicker::marksTheEntryOfItsColour_data()
{
    QTest::addColumn<Colour>("colour");
    QTest::addColumn<bool>("allowTransparent");
    QTest::addColumn<int>("marked");

    QTest::newRow("white at creation") << white << true << 15;
    QTest::newRow("first palette colour") << Colour::rgb(0, 0, 0) << true << 0;
    QTest::newRow("last palette colour") << Colour::rgb(96, 96, 96) << true << 31;
    QTest::newRow("transparent") << transparent << true << ColourPicker::transparentEntry;
    QTest::newRow("not in the palette") << custom << true << ColourPicker::otherColoursEntry;
    QTest::newRow("near a palette colour") << Colour::rgb(255, 80, 129) << true << ColourPicker::otherColoursEntry;
    QTest::newRow("transparent not offered") << transparent << false << ColourPicker::otherColoursEntry;
}

void TestColourPicker::marksTheEntryOfItsColour()
{
    QFETCH(Colour, colour);
    QFETCH(bool, allowTransparent);
    QFETCH(int, marked);

    m_picker->setColour(colour);
    m_picker->setAllowTransparent(allowTransparent);
    QVERIFY(open());
    QCOMPARE(m_picker->highlightedEntry(), marked);
    QCOMPARE(m_picker->entryRect(ColourPicker::transparentEntry).isEmpty(), !allowTransparent);
}

void TestColourPicker::keysMoveTheHighlight_data()
{
    QTest::addColumn<Colour>("colour");
    QTest::addColumn<bool>("allowTransparent");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("highlighted");

    const int other = ColourPicker::otherColoursEntry;
    const int none = ColourPicker::transparentEntry;
    const Colour black = Colour::rgb(0, 0, 0);
    const Colour darkGrey = Colour::rgb(96, 96, 96);
    // within the grid
    QTest::newRow("right") << white << true << QList<int>{Qt::Key_Right} << 16;
    QTest::newRow("left") << white << true << QList<int>{Qt::Key_Left} << 14;
    QTest::newRow("down a row") << white << true << QList<int>{Qt::Key_Down} << 22;
    QTest::newRow("up a row") << white << true << QList<int>{Qt::Key_Up} << 8;
    QTest::newRow("right wraps to the next row") << Colour::rgb(128, 128, 0) << true << QList<int>{Qt::Key_Right} << 7;
    // to and from the rows of text
    QTest::newRow("up from the top row") << black << true << QList<int>{Qt::Key_Up} << none;
    QTest::newRow("left from the first cell") << black << true << QList<int>{Qt::Key_Left} << none;
    QTest::newRow("down from 透明") << transparent << true << QList<int>{Qt::Key_Down} << 0;
    QTest::newRow("down keeps the column")
        << Colour::rgb(128, 0, 0) << true << QList<int>{Qt::Key_Up, Qt::Key_Down} << 4;
    QTest::newRow("down below a short row") << Colour::rgb(0, 136, 255) << true << QList<int>{Qt::Key_Down} << other;
    QTest::newRow("right from the last cell") << darkGrey << true << QList<int>{Qt::Key_Right} << other;
    QTest::newRow("up from other colours") << custom << true << QList<int>{Qt::Key_Up} << 28;
    QTest::newRow("home and end") << white << true << QList<int>{Qt::Key_End} << other;
    QTest::newRow("home") << white << true << QList<int>{Qt::Key_Home} << none;
    // at the ends
    QTest::newRow("up from 透明 stays") << transparent << true << QList<int>{Qt::Key_Up} << none;
    QTest::newRow("down from other colours stays") << custom << true << QList<int>{Qt::Key_Down} << other;
    QTest::newRow("up without 透明 stays") << black << false << QList<int>{Qt::Key_Up} << 0;
}

void TestColourPicker::keysMoveTheHighlight()
{
    QFETCH(Colour, colour);
    QFETCH(bool, allowTransparent);
    QFETCH(QList<int>, keys);
    QFETCH(int, highlighted);

    m_picker->setColour(colour);
    m_picker->setAllowTransparent(allowTransparent);
    QWidget *popup = open();
    QVERIFY(popup);
    for (int key : keys)
        press(Qt::Key(key));
    QCOMPARE(m_picker->highlightedEntry(), highlighted);
    QCOMPARE(m_chosen->count(), 0);
    QVERIFY(popup->isVisible());
}

void TestColourPicker::hoverMovesTheHighlightWithoutFiring()
{
    QWidget *popup = open();
    QVERIFY(popup);
    for (int entry : {3, 20, ColourPicker::transparentEntry, ColourPicker::otherColoursEntry}) {
        pointAt(m_picker->entryRect(entry).center());
        QCOMPARE(m_picker->highlightedEntry(), entry);
    }
    pointAt(QPoint(1, 1)); // the edge, between no entries
    QCOMPARE(m_picker->highlightedEntry(), ColourPicker::noEntry);
    QCOMPARE(m_chosen->count(), 0);
    QCOMPARE(m_picker->colour(), white);
}

void TestColourPicker::confirmGivesTheEntrysColour_data()
{
    QTest::addColumn<Colour>("before");
    QTest::addColumn<int>("entry");   // released on, or noEntry
    QTest::addColumn<QList<int>>("keys"); // pressed when nothing is released on
    QTest::addColumn<Colour>("after");

    const QList<int> noKeys;
    const int none = ColourPicker::noEntry;
    QTest::newRow("release on 黑色") << white << 0 << noKeys << Colour::rgb(0, 0, 0);
    QTest::newRow("release on 藏蓝") << white << 17 << noKeys << Colour::rgb(88, 48, 224);
    QTest::newRow("release on 深灰") << white << 31 << noKeys << Colour::rgb(96, 96, 96);
    QTest::newRow("release on 透明") << white << int(ColourPicker::transparentEntry) << noKeys << transparent;
    QTest::newRow("release on 白色 from 透明") << transparent << 15 << noKeys << white;
    QTest::newRow("Enter on the marked cell") << Colour::rgb(255, 80, 128) << none << QList<int>{Qt::Key_Return} << Colour::rgb(255, 80, 128);
    QTest::newRow("keypad Enter after a move") << white << none << QList<int>{Qt::Key_Right, Qt::Key_Enter} << Colour::rgb(128, 128, 255);
    QTest::newRow("Space after moves") << white << none << QList<int>{Qt::Key_Down, Qt::Key_Left, Qt::Key_Space} << Colour::rgb(255, 168, 255);
    QTest::newRow("Enter on 透明") << Colour::rgb(0, 0, 0) << none << QList<int>{Qt::Key_Up, Qt::Key_Return} << transparent;
}

void TestColourPicker::confirmGivesTheEntrysColour()
{
    QFETCH(Colour, before);
    QFETCH(int, entry);
    QFETCH(QList<int>, keys);
    QFETCH(Colour, after);

    m_picker->setColour(before);
    QWidget *popup = open();
    QVERIFY(popup);
    if (entry != ColourPicker::noEntry)
        clickEntry(entry);
    for (int key : keys)
        press(Qt::Key(key));
    QCOMPARE(m_chosen->count(), 1);
    QCOMPARE(m_picker->colour(), after);
    QVERIFY(!QApplication::activePopupWidget());
    QTRY_VERIFY(!m_picker->popup());
}

// A release inside the drop-down with nothing highlighted is still a confirmed choice: the picker's colour.
void TestColourPicker::handlerSeesTheNewColourBeforeTheDropDownCloses()
{
    m_picker->setColour(Colour::rgb(0, 0, 128));
    QList<Colour> seen;
    bool openDuringHandler = false;
    connect(m_picker, &ColourPicker::colourChosen, this, [&] {
        seen.append(m_picker->colour());
        openDuringHandler = m_picker->popup() && m_picker->popup()->isVisible();
    });

    QVERIFY(open());
    clickEntry(12);
    QCOMPARE(seen, QList<Colour>{Colour::rgb(255, 0, 0)});
    QVERIFY(openDuringHandler);
    QVERIFY(!QApplication::activePopupWidget());

    QWidget *popup = open();
    QVERIFY(popup);
    pointAt(QPoint(1, 1));
    clickAt(QPoint(1, 1));
    QCOMPARE(seen, (QList<Colour>{Colour::rgb(255, 0, 0), Colour::rgb(255, 0, 0)}));
}

void TestColourPicker::theSameColourTwiceFiresTwice()
{
    for (int round = 1; round <= 2; ++round) {
        QVERIFY(open());
        clickEntry(15);
        QCOMPARE(m_chosen->count(), round);
        QCOMPARE(m_picker->colour(), white);
    }
    QVERIFY(open());
    clickEntry(ColourPicker::transparentEntry);
    QVERIFY(open());
    clickEntry(ColourPicker::transparentEntry);
    QCOMPARE(m_chosen->count(), 4);
    QCOMPARE(m_picker->colour(), transparent);
}

void TestColourPicker::cancelChangesNothing_data()
{
    QTest::addColumn<QString>("route");
    QTest::newRow("Esc") << "esc";
    QTest::newRow("release outside") << "outside";
    QTest::newRow("click on the picker again") << "picker";
    QTest::newRow("another application activated") << "inactive";
}

void TestColourPicker::cancelChangesNothing()
{
    QFETCH(QString, route);

    m_picker->setColour(Colour::rgb(0, 128, 0));
    QWidget *popup = open();
    QVERIFY(popup);
    pointAt(m_picker->entryRect(12).center());
    if (route == "esc") {
        press(Qt::Key_Escape);
    } else if (route == "outside") {
        const QPoint elsewhere(5, 5); // in the picker's window, away from the drop-down
        QTest::mousePress(m_window->windowHandle(), Qt::LeftButton, {}, elsewhere);
        QVERIFY(popup->isVisible()); // the release decides, not the press
        QTest::mouseRelease(m_window->windowHandle(), Qt::LeftButton, {}, elsewhere);
    } else if (route == "picker") {
        clickPicker();
    } else {
        emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
    }
    QVERIFY(!QApplication::activePopupWidget());
    QTRY_VERIFY(!m_picker->popup());
    QCOMPARE(m_chosen->count(), 0);
    QCOMPARE(m_picker->colour(), Colour::rgb(0, 128, 0));
}

void TestColourPicker::chooserColourIsAppliedAndMarksOtherColours()
{
    bool dropDownHidden = false;
    bool nonNative = false;
    answerChooser([&](QColorDialog *dialog) {
        dropDownHidden = !QApplication::activePopupWidget();
        nonNative = dialog->testOption(QColorDialog::DontUseNativeDialog);
        dialog->setCurrentColor(QColor(12, 34, 56));
        dialog->accept();
    });
    QVERIFY(open());
    clickEntry(ColourPicker::otherColoursEntry);
    QVERIFY(dropDownHidden);
    QVERIFY(nonNative);
    QCOMPARE(m_chosen->count(), 1);
    QCOMPARE(m_picker->colour(), custom);
    QTRY_VERIFY(!m_picker->popup());

    QWidget *popup = open();
    QVERIFY(popup);
    QCOMPARE(m_picker->highlightedEntry(), ColourPicker::otherColoursEntry);
    press(Qt::Key_Escape);
}

void TestColourPicker::chooserPreselectsThePickersColour_data()
{
    QTest::addColumn<Colour>("colour");
    QTest::addColumn<QColor>("preselected");
    QTest::newRow("palette colour") << Colour::rgb(0, 128, 128) << QColor(0, 128, 128);
    QTest::newRow("own colour") << custom << QColor(12, 34, 56);
    QTest::newRow("transparent") << transparent << QColor(Qt::white);
}

// Reached by Enter, and answered with OK unchanged: the preselected colour is the result.
void TestColourPicker::chooserPreselectsThePickersColour()
{
    QFETCH(Colour, colour);
    QFETCH(QColor, preselected);

    m_picker->setColour(colour);
    QColor shown;
    answerChooser([&](QColorDialog *dialog) {
        shown = dialog->currentColor();
        dialog->accept();
    });
    QWidget *popup = open();
    QVERIFY(popup);
    press(Qt::Key_End);
    press(Qt::Key_Return);
    QCOMPARE(shown, preselected);
    QCOMPARE(m_chosen->count(), 1);
    QCOMPARE(m_picker->colour(), Colour::rgb(preselected.red(), preselected.green(), preselected.blue()));
}

void TestColourPicker::chooserCancelIsACancel()
{
    answerChooser([](QColorDialog *dialog) {
        dialog->setCurrentColor(QColor(12, 34, 56));
        dialog->reject();
    });
    QVERIFY(open());
    clickEntry(ColourPicker::otherColoursEntry);
    QCOMPARE(m_chosen->count(), 0);
    QCOMPARE(m_picker->colour(), white);
    QVERIFY(!QApplication::activePopupWidget());
    QTRY_VERIFY(!m_picker->popup());
}

void TestColourPicker::cellsNameTheirColourInATooltip_data()
{
    QTest::addColumn<int>("entry");
    QTest::newRow("first") << 0;
    QTest::newRow("middle") << 17;
    QTest::newRow("last") << 31;
}

void TestColourPicker::cellsNameTheirColourInATooltip()
{
    QFETCH(int, entry);

    QWidget *popup = open();
    QVERIFY(popup);
    const QPoint at = m_picker->entryRect(entry).center();
    pointAt(at + QPoint(1, 0));
    pointAt(at); // resting the pointer on the cell brings the tooltip up
    QTRY_COMPARE(QToolTip::text(), QString::fromUtf16(PickerPalette[entry].name));
    QToolTip::hideText();
}

void TestColourPicker::dropDownStaysOnTheScreen_data()
{
    QTest::addColumn<bool>("atBottom");
    QTest::addColumn<bool>("atRight");
    QTest::newRow("room below") << false << false;
    QTest::newRow("at the bottom edge") << true << false;
    QTest::newRow("at the right edge") << false << true;
    QTest::newRow("in the bottom right corner") << true << true;
}

// The picker lies 2 pixels from the screen's edge; the drop-down moves just far enough to fit.
void TestColourPicker::dropDownStaysOnTheScreen()
{
    QFETCH(bool, atBottom);
    QFETCH(bool, atRight);

    const QRect screen = m_window->screen()->geometry();
    const QRect picker = m_picker->geometry();
    m_window->move(atRight ? screen.right() - picker.right() - 2 : screen.left() + 100,
                   atBottom ? screen.bottom() - picker.bottom() - 2 : screen.top() + 100);
    QVERIFY(screen.contains(QRect(m_picker->mapToGlobal(QPoint(0, 0)), m_picker->size())));

    QWidget *popup = open();
    QVERIFY(popup);
    const QPoint anchor = m_picker->mapToGlobal(QPoint(0, m_picker->height()));
    const QRect placed = popup->geometry();
    QVERIFY(screen.contains(placed));
    QCOMPARE(placed.left(), atRight ? screen.right() + 1 - placed.width() : anchor.x());
    QCOMPARE(placed.top(), atBottom ? screen.bottom() + 1 - placed.height() : anchor.y());
    if (atBottom)
        QVERIFY(placed.top() < m_picker->mapToGlobal(QPoint(0, 0)).y()); // opens upwards
}

void TestColourPicker::swatchShowsTheColour_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<Colour>("colour");
    for (QSize size : {QSize(40, 18), QSize(40, 20)}) {
        const QByteArray at = QByteArray::number(size.height());
        QTest::newRow(("white " + at).constData()) << size << white;
        QTest::newRow(("桃红 " + at).constData()) << size << Colour::rgb(255, 80, 128);
        QTest::newRow(("透明 " + at).constData()) << size << transparent;
    }
}

// The box is white inside a sunken edge; the swatch shows the colour, or "透明" on white.
void TestColourPicker::swatchShowsTheColour()
{
    QFETCH(QSize, size);
    QFETCH(Colour, colour);

    m_picker->resize(size);
    m_picker->setColour(colour);
    m_picker->clearFocus();
    const QImage image = m_picker->grab().toImage();
    QCOMPARE(image.size(), size);
    QVERIFY(image.pixelColor(0, 0) != QColor(Qt::white));
    QCOMPARE(image.pixelColor(2, size.height() / 2), QColor(Qt::white));

    const QRect swatch(4, 4, 20, size.height() - 8); // well inside the swatch
    int dark = 0;
    int other = 0;
    const QColor fill = colour.isDefault() ? QColor(Qt::white) : QColor(colour.red(), colour.green(), colour.blue());
    for (int y = swatch.top(); y <= swatch.bottom(); ++y)
        for (int x = swatch.left(); x <= swatch.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c == fill)
                continue;
            ++other;
            if (c.lightness() < 128)
                ++dark;
        }
    if (colour.isDefault())
        QVERIFY2(dark > 10, "the word 透明 is drawn in the swatch");
    else
        QCOMPARE(other, 0);

    int arrow = 0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = size.width() - 11; x < size.width() - 2; ++x)
            arrow += image.pixelColor(x, y) == QColor(Qt::black);
    QVERIFY2(arrow >= 6, "the drop-down arrow is drawn at the right end");
}

QTEST_MAIN(TestColourPicker)
#include "tst_colour_picker.moc"
