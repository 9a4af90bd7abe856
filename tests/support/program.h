#pragma once
// A test's program: a shell with every command bound, as start-up makes it, whose fatal errors are
// recorded instead of shown in a box.
#include "app/live_window.h"
#include "app/shell.h"
#include "app/start_up.h"
#include "guide/guide_commands.h"
#include "notepad/notepad_commands.h"
#include "shot_table/shot_table_commands.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <memory>

struct Program {
    std::unique_ptr<Shell> shell = std::make_unique<Shell>();
    QStringList fatalErrors;

    Program()
    {
        shell->setFatalReporter([this](const QString &what) { fatalErrors << what; });
        shot_table::bindCommands(*shell);
        guide::bindCommands(*shell);
        notepad::bindCommands(*shell);
    }

    Shell &operator*() { return *shell; }
    Shell *operator->() { return shell.get(); }

    QWidget *window(WindowId id) const { return shell->liveWindow(id); }

    template <class W = QWidget> W *control(WindowId id, QStringView name) const
    {
        return qobject_cast<W *>(shell->control(id, name));
    }

    // A left click in the middle of a control, as the player makes it.
    void click(WindowId id, QStringView name) const
    {
        QWidget *w = shell->control(id, name);
        QVERIFY2(w, qPrintable(QStringLiteral("no control %1").arg(name)));
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
    }

    // Lets queued destroy requests and deferred deletions run.
    static void settle()
    {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }
};

// Runs fn as soon as the event loop (the nested loop of a modal load, say) takes its next round.
inline void whenIdle(std::function<void()> fn)
{
    QTimer::singleShot(0, qApp, std::move(fn));
}

// The offscreen platform cannot raise windows and says so on every load; that line is noise here.
inline void prepareTestApplication()
{
    static const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.contains(QLatin1String("does not support raise()")))
                previous(type, context, message);
        });
    prepareApplication(*qApp);
}

// Chooses a drop-down entry of a live window's colour picker with the mouse, as the player does:
// a click on the picker opens the drop-down, a click on the entry confirms it.
#include "widgets/colour_picker.h"
#include "widgets/picker_palette.h"

inline void chooseInPicker(QWidget *window, ColourPicker *picker, int entry)
{
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, picker->mapTo(window, picker->rect().center()));
    QVERIFY(picker->popup());
    const QPoint at = picker->entryRect(entry).center();
    QTest::mouseMove(picker->popup()->windowHandle(), at);
    QTest::mouseClick(picker->popup()->windowHandle(), Qt::LeftButton, {}, at);
    QVERIFY(!picker->popup());
}

// The palette entry of the named colour.
inline int paletteEntry(QStringView name)
{
    for (size_t i = 0; i < PickerPalette.size(); ++i)
        if (QStringView(PickerPalette[i].name) == name)
            return int(i);
    return ColourPicker::noEntry;
}
