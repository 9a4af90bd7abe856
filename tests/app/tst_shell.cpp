// The window lifecycle: load, modal load, deferred destroy, title-bar close, owned windows and the end
// of the program.
#include "../support/program.h"

#include <QLineEdit>
#include <QSignalSpy>

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { prepareTestApplication(); }
    void cleanup() { Program::settle(); }

    void loadOfLiveWindowOnlyActivatesIt()
    {
        Program p;
        QVERIFY(p->load(WindowId::ShotTable));
        QWidget *first = p.window(WindowId::ShotTable);
        p.control<QLineEdit>(WindowId::ShotTable, u"编辑框1")->setText(QStringLiteral("typed"));
        first->move(5, 5);

        QVERIFY(p->load(WindowId::ShotTable, std::nullopt, true)); // modal flag has no effect: returns at once
        QCOMPARE(p.window(WindowId::ShotTable), first);
        QCOMPARE(p.control<QLineEdit>(WindowId::ShotTable, u"编辑框1")->text(), QStringLiteral("typed"));
        QCOMPARE(first->pos(), QPoint(5, 5));
        QVERIFY(first->isEnabled());
        QVERIFY(!p->isModal(WindowId::ShotTable));
    }

    void loadWithOwnerThatIsNotLiveFails()
    {
        Program p;
        QVERIFY(!p->load(WindowId::AngleGuide, WindowId::ShotTable));
        QVERIFY(!p->isLive(WindowId::AngleGuide));

        QVERIFY(p->load(WindowId::NotepadHelp));
        QVERIFY(!p->load(WindowId::NotepadHelp, WindowId::ShotTable)); // even for a live window
        QVERIFY(p.fatalErrors.isEmpty());
    }

    void modalLoadDisablesUnownedWindowsOnly()
    {
        Program p;
        p->load(WindowId::ShotTable);
        p->load(WindowId::AngleGuide, WindowId::ShotTable);
        QWidget *table = p.window(WindowId::ShotTable);
        QWidget *guide = p.window(WindowId::AngleGuide);
        bool returned = false;
        whenIdle([&] {
            QVERIFY(p->isModal(WindowId::Notepad));
            QVERIFY(!table->isEnabled());
            QVERIFY(guide->isEnabled());
            // The owned guide still works: its "确定" closes it and leaves the table disabled.
            p.click(WindowId::AngleGuide, u"按钮1");
            Program::settle();
            QVERIFY(!p->isLive(WindowId::AngleGuide));
            QVERIFY(!table->isEnabled());
            QVERIFY(!returned);
            p->titleBarClose(WindowId::Notepad);
        });
        p.click(WindowId::ShotTable, u"按钮22"); // "记事本": returns only when the notepad is gone
        returned = true;
        QVERIFY(!p->isLive(WindowId::Notepad));
        QVERIFY(table->isEnabled());
    }

    void modalLoadReturnsAfterItsWindowIsDestroyed_data()
    {
        QTest::addColumn<QString>("route");
        QTest::newRow("title-bar close") << "close";
        QTest::newRow("Esc") << "esc";
        QTest::newRow("destroy by 查看帮助") << "help";
    }
    void modalLoadReturnsAfterItsWindowIsDestroyed()
    {
        QFETCH(QString, route);
        Program p;
        p->load(WindowId::ShotTable);
        bool stillWaiting = false;
        whenIdle([&] {
            stillWaiting = true;
            QWidget *notepad = p.window(WindowId::Notepad);
            if (route == "close")
                notepad->close();
            else if (route == "esc")
                QTest::keyClick(p.control(WindowId::Notepad, u"编辑框1"), Qt::Key_Escape);
            else
                p->dispatch(WindowId::Notepad, {Command::NoteShowHelp});
        });
        QVERIFY(p->load(WindowId::Notepad, std::nullopt, true));
        QVERIFY(stillWaiting);
        QVERIFY(!p->isLive(WindowId::Notepad));
        QVERIFY(p.window(WindowId::ShotTable)->isEnabled());
        QCOMPARE(p->isLive(WindowId::NotepadHelp), route == "help");
    }

    void modalLoadsNest()
    {
        Program p;
        p->load(WindowId::ShotTable);
        QWidget *table = p.window(WindowId::ShotTable);
        QStringList order;
        whenIdle([&] {
            QWidget *notepad = p.window(WindowId::Notepad);
            whenIdle([&] {
                QVERIFY(!notepad->isEnabled());
                QVERIFY(!table->isEnabled());
                p->titleBarClose(WindowId::NotepadHelp);
            });
            p->load(WindowId::NotepadHelp, std::nullopt, true);
            order << "inner returned";
            QVERIFY(notepad->isEnabled());
            QVERIFY(!table->isEnabled()); // still behind the notepad
            p->titleBarClose(WindowId::Notepad);
        });
        p->load(WindowId::Notepad, std::nullopt, true);
        order << "outer returned";
        QCOMPARE(order, QStringList({"inner returned", "outer returned"}));
        QVERIFY(table->isEnabled());
    }

    void destroyIsDeferredUntilTheHandlerHasReturned()
    {
        Program p;
        p->load(WindowId::ShotTable);
        p->load(WindowId::AngleGuide, WindowId::ShotTable);
        QWidget *guide = p.window(WindowId::AngleGuide);
        p->destroy(WindowId::AngleGuide);
        QVERIFY(p->isDestroyPending(WindowId::AngleGuide));
        QCOMPARE(p.window(WindowId::AngleGuide), guide);
        QVERIFY(guide->isVisible());
        Program::settle();
        QVERIFY(!p->isLive(WindowId::AngleGuide));

        // A load of a window whose destroy is pending carries the destruction out and creates it afresh.
        p->load(WindowId::AngleGuide, WindowId::ShotTable);
        QWidget *old = p.window(WindowId::AngleGuide);
        p->destroy(WindowId::AngleGuide);
        p->load(WindowId::AngleGuide, WindowId::ShotTable);
        QVERIFY(p.window(WindowId::AngleGuide) != old);
        Program::settle(); // the old request finds its window gone and leaves the new one alone
        QVERIFY(p->isLive(WindowId::AngleGuide));
    }

    void destroyOfWindowThatIsNotLiveIsFatal()
    {
        Program p;
        p->load(WindowId::ShotTable);
        p->destroy(WindowId::AngleGuideTrad);
        QCOMPARE(p.fatalErrors.size(), 1);
        QVERIFY(p.fatalErrors.first().contains("AngleGuideTradWindow"));
        QCOMPARE(p->exitCode(), -1);
        QVERIFY(p->hasEnded());
        QVERIFY(!p->load(WindowId::AngleGuide, WindowId::ShotTable));
    }

    void closingTheTableClosesOwnedWindowsFirstAndEndsWithZero()
    {
        Program p;
        QStringList hidden;
        struct HideRecorder : QObject {
            QStringList *log;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (e->type() == QEvent::Hide && o->isWidgetType() && static_cast<QWidget *>(o)->isWindow())
                    *log << o->objectName();
                return false;
            }
        } recorder;
        recorder.log = &hidden;
        int code = 42;
        whenIdle([&] {
            p.click(WindowId::ShotTable, u"按钮21"); // 角度
            p.click(WindowId::AngleGuide, u"按钮2"); // to the traditional guide
            Program::settle();
            p->load(WindowId::AngleGuide, WindowId::ShotTable);
            p->load(WindowId::NotepadHelp, WindowId::ShotTable);
            for (WindowId id : allWindows)
                if (QWidget *w = p.window(id))
                    w->installEventFilter(&recorder);
            p.window(WindowId::ShotTable)->close();
        });
        code = p->run();
        QCOMPARE(code, 0);
        for (WindowId id : allWindows)
            QVERIFY(!p->isLive(id));
        QCOMPARE(hidden.size(), 4);
        QCOMPARE(hidden.last(), QStringLiteral("ShotTableWindow"));
    }

    void theProgramEndsWhenTheLastWindowGoesInsideANestedLoop()
    {
        Program p;
        whenIdle([&] {
            whenIdle([&] {
                p->titleBarClose(WindowId::ShotTable); // the shell's own close, past the disabled frame
                QVERIFY(!p->hasEnded());               // the notepad is still there
                p->titleBarClose(WindowId::Notepad);
            });
            p.click(WindowId::ShotTable, u"按钮22");
        });
        QCOMPARE(p->run(), 0);
        QVERIFY(p->hasEnded());
    }

    void aDisabledWindowCannotBeClosed()
    {
        Program p;
        p->load(WindowId::ShotTable);
        whenIdle([&] {
            p.window(WindowId::ShotTable)->close();
            QVERIFY(p->isLive(WindowId::ShotTable));
            p->titleBarClose(WindowId::Notepad);
        });
        p.click(WindowId::ShotTable, u"按钮22");
        QVERIFY(p->isLive(WindowId::ShotTable));
    }

    void navigationBetweenNotepadAndHelp()
    {
        Program p;
        p->load(WindowId::ShotTable);
        QWidget *table = p.window(WindowId::ShotTable);
        whenIdle([&] {
            p->dispatch(WindowId::Notepad, {Command::NoteShowHelp}); // 帮助 → 查看帮助
        });
        p.click(WindowId::ShotTable, u"按钮22");
        // 查看帮助 ended the modal notepad: the handler returned and the table is usable again.
        Program::settle();
        QVERIFY(table->isEnabled());
        QVERIFY(p->isLive(WindowId::NotepadHelp));
        QCOMPARE(p->ownerOf(WindowId::NotepadHelp), WindowId::ShotTable);

        p.click(WindowId::NotepadHelp, u"按钮1"); // "确定": a fresh, modeless notepad owned by the table
        Program::settle();
        QVERIFY(!p->isLive(WindowId::NotepadHelp));
        QVERIFY(p->isLive(WindowId::Notepad));
        QVERIFY(!p->isModal(WindowId::Notepad));
        QCOMPARE(p->ownerOf(WindowId::Notepad), WindowId::ShotTable);
        QVERIFY(table->isEnabled());

        // "记事本" now only brings that notepad forward and returns at once.
        QWidget *notepad = p.window(WindowId::Notepad);
        p.click(WindowId::ShotTable, u"按钮22");
        QCOMPARE(p.window(WindowId::Notepad), notepad);
        QVERIFY(table->isEnabled());
    }

    void ownedWindowsHideWhileTheirOwnerIsMinimised()
    {
        Program p;
        p->load(WindowId::ShotTable);
        p->load(WindowId::AngleGuide, WindowId::ShotTable);
        QWidget *table = p.window(WindowId::ShotTable);
        QWidget *guide = p.window(WindowId::AngleGuide);
        table->showMinimized();
        QTRY_VERIFY(!guide->isVisible());
        QVERIFY(p->isLive(WindowId::AngleGuide));
        // Loading the minimised table window restores it, and its guide comes back with it.
        QVERIFY(p->load(WindowId::ShotTable, std::nullopt, true));
        QTRY_VERIFY(!table->isMinimized());
        QTRY_VERIFY(guide->isVisible());
        QVERIFY(table->isEnabled());
    }

    void guideNavigation()
    {
        Program p;
        p->load(WindowId::ShotTable);
        p.click(WindowId::ShotTable, u"按钮21");
        QCOMPARE(p->ownerOf(WindowId::AngleGuide), WindowId::ShotTable);

        p.click(WindowId::AngleGuide, u"按钮2"); // 简繁转换
        Program::settle();
        QVERIFY(!p->isLive(WindowId::AngleGuide));
        QVERIFY(p->isLive(WindowId::AngleGuideTrad));

        // "角度" while only the traditional guide is open gives both guides.
        p.click(WindowId::ShotTable, u"按钮21");
        QVERIFY(p->isLive(WindowId::AngleGuide));
        QVERIFY(p->isLive(WindowId::AngleGuideTrad));

        QWidget *table = p.window(WindowId::ShotTable);
        p.click(WindowId::AngleGuideTrad, u"按钮1"); // 確定
        p.click(WindowId::AngleGuide, u"按钮1");     // 确定
        Program::settle();
        QVERIFY(!p->isLive(WindowId::AngleGuide));
        QVERIFY(!p->isLive(WindowId::AngleGuideTrad));
        QCOMPARE(p.window(WindowId::ShotTable), table);
        QVERIFY(table->isEnabled());
        QVERIFY(p.fatalErrors.isEmpty());
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
