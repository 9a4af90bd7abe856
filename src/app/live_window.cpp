#include "app/live_window.h"

#include "app/controls.h"
#include "app/screen_reader_names.h"
#include "app/shell.h"
#include "widgets/qt_colour.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>

namespace {

Qt::WindowFlags flagsFor(const WindowDef &def)
{
    // CustomizeWindowHint: only the buttons asked for below; never a maximise button.
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
    if (def.hasTitleBar())
        flags |= Qt::WindowTitleHint;
    if (def.controlBox)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (def.minimiseButton)
        flags |= Qt::WindowMinimizeButtonHint;
    if (def.alwaysOnTop)
        flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

}

LiveWindow::LiveWindow(const WindowDef &def, Shell &shell)
    : QWidget(nullptr, flagsFor(def)), m_def(def), m_shell(shell)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setObjectName(QString::fromLatin1(def.name));
    setWindowTitle(def.titleString());

    const QSize client = clientSize(def);
    int menuHeight = 0;
    if (!def.menu.empty()) {
        m_menuBar = buildMenuBar(def, this, [this](const Binding &b) { m_shell.dispatch(m_def.id, b); });
        menuHeight = decorations::menuBar;
        m_menuBar->setGeometry(0, 0, client.width(), menuHeight);
    }
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    m_client->setGeometry(0, menuHeight, client.width(), client.height());
    m_client->setAutoFillBackground(true);
    setFixedSize(client.width(), client.height() + menuHeight);
    setBackgroundColour(def.background);

    // Created in list order, each below the ones before it, so the first-listed lies on top.
    for (const ControlDef &cd : def.controls) {
        QObject *object = createControl(
            cd, m_client, this, [this](const Binding &b) { m_shell.dispatch(m_def.id, b); }, m_shell.controlTexts());
        if (auto *w = qobject_cast<QWidget *>(object))
            w->lower();
        m_controls.emplace_back(&cd, object);
    }
    for (int index : focusOrder(def))
        m_focusChain.push_back(qobject_cast<QWidget *>(m_controls[size_t(index)].second));
    nameForScreenReaders(*this);

    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    move(screen.topLeft() + centredPosition(def, screen.size()));
}

QObject *LiveWindow::control(QStringView name) const
{
    for (const auto &[cd, object] : m_controls)
        if (QStringView(cd->name) == name)
            return object;
    return nullptr;
}

const ControlDef *LiveWindow::controlDef(QStringView name) const
{
    for (const auto &[cd, object] : m_controls)
        if (QStringView(cd->name) == name)
            return cd;
    return nullptr;
}

void LiveWindow::setBackgroundColour(Colour colour)
{
    m_background = colour;
    QPalette pal = m_client->palette();
    pal.setColor(QPalette::Window, toQColor(colour));
    m_client->setPalette(pal);
}

void LiveWindow::moveFocus(bool backward)
{
    const int n = int(m_focusChain.size());
    if (n == 0)
        return;
    int current = -1;
    for (QWidget *w = focusWidget(); w && current < 0 && w != this; w = w->parentWidget())
        for (int i = 0; i < n; ++i)
            if (m_focusChain[size_t(i)] == w)
                current = i;
    int next;
    if (current < 0)
        next = backward ? n - 1 : 0;
    else
        next = backward ? (current + n - 1) % n : (current + 1) % n;
    m_focusChain[size_t(next)]->setFocus(backward ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

void LiveWindow::giveFirstFocus()
{
    if (!m_focusChain.empty())
        m_focusChain.front()->setFocus(Qt::OtherFocusReason);
}

void LiveWindow::closeEvent(QCloseEvent *event)
{
    // The shell destroys the window itself; a disabled window (behind a modal one) cannot be closed.
    event->ignore();
    if (isEnabled())
        m_shell.titleBarClose(m_def.id);
}

void LiveWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::WindowStateChange)
        emit minimisedChanged(isMinimized());
    QWidget::changeEvent(event);
}
