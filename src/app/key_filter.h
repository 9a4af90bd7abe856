#pragma once
// Keys of a live window are handled here before the focused control sees them: Esc closes where the
// definition says so, Tab and Shift+Tab walk the focus order. Enter and everything else go on.
#include <QObject>

class Shell;

class KeyFilter : public QObject {
    Q_OBJECT
public:
    explicit KeyFilter(Shell &shell);
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Shell &m_shell;
};
