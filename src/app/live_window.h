#pragma once
// A live window built from its definition: a parentless top-level with the defined title, frame buttons,
// fixed client size, menu bar and controls. The shell owns its lifetime; the window only reports the
// title-bar close and its minimising to the shell.
#include "forms/windows.h"

#include <QWidget>
#include <vector>

class Shell;
class QMenuBar;

class LiveWindow : public QWidget {
    Q_OBJECT
public:
    LiveWindow(const WindowDef &def, Shell &shell);

    const WindowDef &def() const { return m_def; }
    QWidget *client() const { return m_client; }
    QMenuBar *menuBar() const { return m_menuBar; }

    // The control of that name (the file dialog is an object without a place on screen).
    QObject *control(QStringView name) const;
    const ControlDef *controlDef(QStringView name) const;

    Colour backgroundColour() const { return m_background; }
    void setBackgroundColour(Colour colour);

    // Tab and Shift+Tab: the next or previous control of the focus order, wrapping around.
    void moveFocus(bool backward);
    void giveFirstFocus();
    const std::vector<QWidget *> &focusChain() const { return m_focusChain; }

signals:
    void minimisedChanged(bool minimised);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    const WindowDef &m_def;
    Shell &m_shell;
    QWidget *m_client = nullptr;
    QMenuBar *m_menuBar = nullptr;
    Colour m_background;
    std::vector<std::pair<const ControlDef *, QObject *>> m_controls;
    std::vector<QWidget *> m_focusChain;
};
