#include "app/shell.h"

#include "app/controls.h"
#include "app/file_dialog.h"
#include "app/key_filter.h"
#include "app/live_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QWindow>

Shell::Shell(QObject *parent) : QObject(parent)
{
    for (WindowId id : allWindows)
        m_slots[id].def = &windowDef(id);
    m_reportFatal = [](const QString &what) {
        QMessageBox::critical(nullptr, QStringLiteral("Korvane公式计算器"), what);
    };
    QApplication::setQuitOnLastWindowClosed(false);
    qApp->installEventFilter(new KeyFilter(*this));
}

Shell::~Shell()
{
    for (auto &[id, s] : m_slots)
        if (s.live && s.live->window)
            delete s.live->window.data();
}

void Shell::bind(Command command, std::function<void()> handler)
{
    m_handlers[command] = [handler = std::move(handler)](int) { handler(); };
}

void Shell::bindRows(Command command, std::function<void(int)> handler)
{
    m_handlers[command] = std::move(handler);
}

int Shell::run()
{
    if (!load(WindowId::ShotTable)) {
        fatal(QStringLiteral("无法创建窗口 ShotTableWindow。"));
        return m_exitCode;
    }
    m_started = true;
    const bool anyLive = std::any_of(m_slots.begin(), m_slots.end(), [](const auto &e) { return e.second.live.has_value(); });
    if (anyLive && !m_ending)
        QApplication::exec();
    return m_exitCode;
}

bool Shell::load(WindowId id, std::optional<WindowId> owner, bool modal)
{
    if (m_ending)
        return false;
    if (owner && !isLive(*owner))
        return false;
    Slot &s = slot(id);
    if (s.live && !s.live->destroyPending) {
        LiveWindow *w = s.live->window;
        if (w->isMinimized()) {
            w->showNormal();
        } else {
            w->raise();
            w->activateWindow();
        }
        return true;
    }
    if (s.live) {
        restoreDisabled(*s.live);
        destroyWindow(id);
        if (m_ending)
            return false;
    }
    if (modal)
        owner.reset();

    auto *window = new LiveWindow(*s.def, *this);
    s.live = Instance{window, false, modal, owner, {}, nullptr};
    if (owner) {
        LiveWindow *ownerWindow = slot(*owner).live->window;
        // An owned window stays in front of its owner, also when the owner stays above other programs.
        if (ownerWindow->windowFlags() & Qt::WindowStaysOnTopHint)
            window->setWindowFlag(Qt::WindowStaysOnTopHint);
        window->winId();
        ownerWindow->winId();
        window->windowHandle()->setTransientParent(ownerWindow->windowHandle());
        connect(ownerWindow, &LiveWindow::minimisedChanged, window,
                [this, o = *owner](bool minimised) { ownerMinimised(o, minimised); });
    }
    if (s.def->created.isBound())
        dispatch(id, s.def->created);
    window->show();
    window->raise();
    window->activateWindow();
    window->giveFirstFocus();

    if (modal) {
        for (auto &[otherId, other] : m_slots) {
            if (otherId == id || !other.live || other.live->owner || !other.live->window)
                continue;
            QWidget *w = other.live->window;
            s.live->disabled.emplace_back(w, w->isEnabled());
            w->setEnabled(false);
        }
        QEventLoop loop;
        s.live->waiting = &loop;
        loop.exec();
        // The window is gone now (or the program is ending): nothing of it may be touched any more.
    }
    return true;
}

void Shell::destroy(WindowId id)
{
    if (m_ending)
        return;
    Slot &s = slot(id);
    if (!s.live) {
        fatal(QStringLiteral("关闭窗口 %1 失败：该窗口没有打开。").arg(QString::fromLatin1(s.def->name)));
        return;
    }
    s.live->destroyPending = true;
    QMetaObject::invokeMethod(this, [this, id, which = s.live->window] { carryOutDestroy(id, which); },
                              Qt::QueuedConnection);
}

void Shell::carryOutDestroy(WindowId id, QPointer<LiveWindow> which)
{
    Slot &s = slot(id);
    if (!which || !s.live || s.live->window != which)
        return;
    s.live->destroyPending = false;
    restoreDisabled(*s.live);
    destroyWindow(id);
}

void Shell::titleBarClose(WindowId id)
{
    Slot &s = slot(id);
    if (!s.live)
        return;
    restoreDisabled(*s.live);
    destroyWindow(id);
}

void Shell::restoreDisabled(Instance &instance)
{
    for (auto &[w, enabled] : instance.disabled)
        if (w)
            w->setEnabled(enabled);
    instance.disabled.clear();
}

void Shell::destroyWindow(WindowId id)
{
    for (auto &[otherId, other] : m_slots)
        if (other.live && other.live->owner == id)
            destroyWindow(otherId);

    Slot &s = slot(id);
    if (!s.live)
        return;
    Instance gone = std::move(*s.live);
    s.live.reset();
    if (gone.window) {
        gone.window->hide();
        gone.window->deleteLater();
    }
    if (gone.waiting)
        gone.waiting->quit();

    const bool anyLive = std::any_of(m_slots.begin(), m_slots.end(), [](const auto &e) { return e.second.live.has_value(); });
    if (m_started && !anyLive && !m_ending) {
        m_ending = true;
        m_exitCode = 0;
        QCoreApplication::exit(0);
    }
}

void Shell::ownerMinimised(WindowId owner, bool minimised)
{
    for (auto &[id, s] : m_slots) {
        if (!s.live || s.live->owner != owner || !s.live->window)
            continue;
        if (minimised)
            s.live->window->hide();
        else
            s.live->window->show();
    }
}

void Shell::fatal(const QString &what)
{
    if (m_ending)
        return;
    m_ending = true;
    m_exitCode = -1;
    m_reportFatal(what);
    QCoreApplication::exit(-1);
}

void Shell::dispatch(WindowId id, const Binding &binding)
{
    const Slot &s = slot(id);
    if (m_ending || !s.live || s.live->destroyPending)
        return;
    const auto handler = m_handlers.find(binding.command);
    if (handler != m_handlers.end())
        handler->second(binding.row);
}

bool Shell::isLive(WindowId id) const { return slot(id).live.has_value(); }
bool Shell::isDestroyPending(WindowId id) const { return isLive(id) && slot(id).live->destroyPending; }
bool Shell::isModal(WindowId id) const { return isLive(id) && slot(id).live->modal; }

std::optional<WindowId> Shell::ownerOf(WindowId id) const
{
    return isLive(id) ? slot(id).live->owner : std::nullopt;
}

QWidget *Shell::liveWindow(WindowId id) const
{
    return isLive(id) ? slot(id).live->window.data() : nullptr;
}

QWidget *Shell::control(WindowId id, QStringView name) const
{
    const auto *window = static_cast<LiveWindow *>(liveWindow(id));
    return window ? qobject_cast<QWidget *>(window->control(name)) : nullptr;
}

void Shell::set(WindowId id, QStringView name, Property property, const PropertyValue &value)
{
    auto *window = static_cast<LiveWindow *>(liveWindow(id));
    if (window && name.isEmpty() && property == Property::background_colour && std::holds_alternative<Colour>(value)) {
        window->setBackgroundColour(std::get<Colour>(value));
        return;
    }
    const ControlDef *def = window ? window->controlDef(name) : nullptr;
    if (!def || !setControlProperty(*def, window->control(name), property, value))
        fatal(QStringLiteral("无法设置 %1 的控件“%2”的属性。").arg(QString::fromLatin1(slot(id).def->name), name));
}

PropertyValue Shell::get(WindowId id, QStringView name, Property property) const
{
    const auto *window = static_cast<LiveWindow *>(liveWindow(id));
    if (window && name.isEmpty() && property == Property::background_colour)
        return window->backgroundColour();
    const ControlDef *def = window ? window->controlDef(name) : nullptr;
    if (def)
        if (auto value = controlProperty(*def, window->control(name), property))
            return *value;
    const_cast<Shell *>(this)->fatal(
        QStringLiteral("无法读取 %1 的控件“%2”的属性。").arg(QString::fromLatin1(slot(id).def->name), name));
    return {};
}

bool Shell::showFileDialog(WindowId id, QStringView name)
{
    const auto *window = static_cast<LiveWindow *>(liveWindow(id));
    auto *dialog = window ? qobject_cast<FileDialogControl *>(window->control(name)) : nullptr;
    if (!dialog) {
        fatal(QStringLiteral("%1 没有文件对话框“%2”。").arg(QString::fromLatin1(slot(id).def->name), name));
        return false;
    }
    return dialog->show();
}

void Shell::tellError(WindowId id, const QString &message)
{
    QWidget *window = liveWindow(id);
    QMessageBox::critical(window, window ? window->windowTitle() : QString(), message);
}
