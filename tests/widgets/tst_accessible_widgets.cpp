// What screen readers get from the colour picker and the HTML view: the picker named by its colour and
// opened by its press action, the view's text with the place of every character.
#include "widgets/accessible_widgets.h"
#include "widgets/colour_picker.h"
#include "widgets/html_view.h"
#include "widgets/picker_palette.h"

#include <QAccessible>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

class AccessibleWidgetsTest : public QObject {
    Q_OBJECT

private slots:
    void colourNames_data()
    {
        QTest::addColumn<Colour>("colour");
        QTest::addColumn<QString>("name");
        QTest::newRow("first of the palette") << PickerPalette.front().colour << u"黑色"_s;
        QTest::newRow("white") << colours::white << u"白色"_s;
        QTest::newRow("last of the palette") << PickerPalette.back().colour << u"深灰"_s;
        QTest::newRow("default colour") << Colour::defaultColour() << u"透明"_s;
        QTest::newRow("custom, hex digits upper case") << Colour::rgb(10, 171, 255) << u"自定义颜色 #0AABFF"_s;
        QTest::newRow("custom, next to white") << Colour::rgb(255, 255, 254) << u"自定义颜色 #FFFFFE"_s;
    }

    void colourNames()
    {
        QFETCH(Colour, colour);
        QFETCH(QString, name);
        QCOMPARE(colourName(colour), name);
    }

    void pickerIsAComboBoxNamedByItsColour()
    {
        QWidget window;
        auto *picker = new ColourPicker(&window);
        picker->setGeometry(10, 10, 40, 18);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(picker);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::ComboBox);
        QCOMPARE(iface->text(QAccessible::Name), u"白色"_s);
        picker->setColour(Colour::defaultColour());
        QCOMPARE(iface->text(QAccessible::Name), u"透明"_s);
        QVERIFY(iface->state().hasPopup);
        QVERIFY(iface->state().collapsed);

        QAccessibleActionInterface *actions = iface->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        actions->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(picker->popup() && picker->popup()->isVisible());
        QVERIFY(iface->state().expanded);
        picker->popup()->close();
    }

    // The open drop-down is a list of its entries by name, the highlighted one focused; pressing an entry
    // chooses its colour as a click does.
    void dropDownEntriesArePressable()
    {
        QWidget window;
        auto *picker = new ColourPicker(&window);
        picker->setGeometry(10, 10, 40, 18);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        int chosen = 0;
        connect(picker, &ColourPicker::colourChosen, this, [&] { ++chosen; });

        QAccessibleInterface *pickerIface = QAccessible::queryAccessibleInterface(picker);
        pickerIface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(picker->popup());
        QAccessibleInterface *list = QAccessible::queryAccessibleInterface(picker->popup());
        QVERIFY(list);
        QCOMPARE(list->role(), QAccessible::List);
        QCOMPARE(pickerIface->childCount(), 1);
        QCOMPARE(pickerIface->child(0), list);
        QCOMPARE(list->parent(), pickerIface);
        QCOMPARE(list->childCount(), 34);
        QStringList names;
        for (int i = 0; i < list->childCount(); ++i) {
            QAccessibleInterface *entry = list->child(i);
            QCOMPARE(entry->role(), QAccessible::ListItem);
            QCOMPARE(list->indexOfChild(entry), i);
            QCOMPARE(entry->parent(), list);
            names << entry->text(QAccessible::Name);
        }
        QCOMPARE(names.first(), u"透明"_s);
        QCOMPARE(names[1], u"黑色"_s);
        QCOMPARE(names.last(), u"其它颜色..."_s);
        QVERIFY(list->focusChild());
        QCOMPARE(list->focusChild()->text(QAccessible::Name), u"白色"_s);
        QVERIFY(list->focusChild()->state().focused);

        QAccessibleInterface *red = list->child(int(names.indexOf(u"红色"_s)));
        QVERIFY(picker->popup()->rect().contains(picker->popup()->mapFromGlobal(red->rect().center())));
        QCOMPARE(list->childAt(red->rect().center().x(), red->rect().center().y()), red);
        red->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(chosen, 1);
        QCOMPARE(picker->colour(), Colour::rgb(255, 0, 0));
        QCOMPARE(pickerIface->text(QAccessible::Name), u"红色"_s);
        QTRY_VERIFY(!picker->popup());
        QCOMPARE(pickerIface->childCount(), 0);
    }

    // The lines of the content, with a tab where the layout leaves a gap, and every character where it is drawn.
    void viewTextIsReadable()
    {
        HtmlView view;
        view.setBorder(Border::Sunken);
        view.setContent(u"甲\t乙<b>丙</b>\r\nline two\r\n"_s);
        view.resize(200, 80);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&view);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::StaticText);
        QVERIFY(iface->state().readOnly);
        QAccessibleTextInterface *text = iface->textInterface();
        QVERIFY(text);
        const QString expected = u"甲\t乙丙\nline two"_s;
        QCOMPARE(text->characterCount(), int(expected.size()));
        QCOMPARE(text->text(0, text->characterCount()), expected);

        for (int offset = 0; offset < int(expected.size()); ++offset) {
            if (expected[offset] == u'\n')
                continue;
            const QRect box = text->characterRect(offset);
            QVERIFY2(!box.isEmpty(), qPrintable(u"character %1"_s.arg(offset)));
            QCOMPARE(text->offsetAtPoint(box.center()), offset);
        }
        const QRect first = text->characterRect(0);
        const QRect tab = text->characterRect(1);
        const QRect secondLine = text->characterRect(int(expected.indexOf(u'l')));
        QCOMPARE(first.topLeft(), view.mapToGlobal(view.innerRect().topLeft() + QPoint(1, 1)));
        QCOMPARE(tab.left(), first.right() + 1);
        QCOMPARE(text->characterRect(2).left(), first.left() + 32); // the next tab stop
        QCOMPARE(secondLine.top(), first.bottom() + 1);
        QCOMPARE(text->offsetAtPoint(view.mapToGlobal(QPoint(190, 70))), -1);
    }
};

QTEST_MAIN(AccessibleWidgetsTest)
#include "tst_accessible_widgets.moc"
