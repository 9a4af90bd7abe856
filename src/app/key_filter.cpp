#include "app/key_filter.h"

#include "app/live_window.h"
#include "app/shell.h"

#include <QKeyEvent>

KeyFilter::KeyFilter(Shell &shell) : QObject(&shell), m_shell(shell) {}

bool KeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto *window = qobject_cast<LiveWindow *>(static_cast<QWidget *>(watched)->window());
    if (!window || !m_shell.isLive(window->def().id) || m_shell.liveWindow(window->def().id) != window)
        return false;
    // A window disabled behind a modal one takes no keys, even when the window manager activates it.
    if (!window->isEnabled())
        return true;
    const auto *key = static_cast<QKeyEvent *>(event);
    const Qt::KeyboardModifiers mods = key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    switch (key->key()) {
    case Qt::Key_Escape:
        if (!window->def().escCloses || mods != Qt::NoModifier)
            return false;
        m_shell.titleBarClose(window->def().id);
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        window->moveFocus(key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier));
        return true;
    default:
        return false;
    }
}
