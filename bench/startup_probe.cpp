// One start of either the real program or the baseline, ending as soon as its window has painted its
// first frame. `startup_probe program` starts as the program's own main does; `startup_probe baseline`
// shows one plain Qt window with the same 35 widgets and captions, with the same interface font.
#include "app/shell.h"
#include "app/start_up.h"
#include "guide/guide_commands.h"
#include "notepad/notepad_commands.h"
#include "shot_table/shot_table_commands.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <cstring>

namespace {

// Ends the process right after the first paint of a top-level window named `window`.
class FirstPaint : public QObject {
public:
    explicit FirstPaint(QString window) : m_window(std::move(window)) {}
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && o->isWidgetType()
            && static_cast<QWidget *>(o)->window()->objectName() == m_window)
            QTimer::singleShot(0, [] { std::_Exit(0); });
        return false;
    }

private:
    QString m_window;
};

int baseline()
{
    QWidget window;
    window.setObjectName(QStringLiteral("baseline"));
    window.setWindowTitle(QStringLiteral("Korvane公式计算器"));
    window.setFixedSize(208, 244);
    QFont bold = QApplication::font();
    bold.setPixelSize(12);
    bold.setBold(true);
    for (int n = 1; n <= 20; ++n) {
        auto *b = new QPushButton(QStringLiteral("%1屏").arg(n), &window);
        b->setFont(bold);
        b->setGeometry(8 + 48 * ((n - 1) % 4), 8 + 24 * ((n - 1) / 4), 48, 24);
    }
    const char16_t *captions[] = {u"20度", u"30度", u"45度", u"50度", u"55度", u"65度"};
    for (int i = 0; i < 6; ++i) {
        auto *l = new QLabel(QString::fromUtf16(captions[i]), &window);
        l->setFont(bold);
        l->setGeometry(8 + 48 * (i % 4), 136 + 48 * (i / 4), 40, 24);
        auto *e = new QLineEdit(&window);
        e->setGeometry(8 + 48 * (i % 4), 160 + 48 * (i / 4), 40, 24);
    }
    (new QPushButton(QStringLiteral("角度"), &window))->setGeometry(160, 192, 40, 20);
    (new QPushButton(QStringLiteral("记事本"), &window))->setGeometry(112, 216, 45, 20);
    auto *picker = new QFrame(&window);
    picker->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picker->setGeometry(160, 216, 40, 18);
    window.show();
    return QApplication::exec();
}

}

int main(int argc, char **argv)
{
    const bool program = argc > 1 && std::strcmp(argv[1], "program") == 0;
    QApplication app(argc, argv);
    app.installEventFilter(new FirstPaint(program ? QStringLiteral("ShotTableWindow") : QStringLiteral("baseline")));
    if (!program) {
        QFont ui(QStringLiteral("WenQuanYi Micro Hei"));
        ui.setPointSize(9);
        QApplication::setFont(ui);
        return baseline();
    }
    enterProgramFolder();
    prepareApplication(app);
    Shell shell;
    shot_table::bindCommands(shell);
    guide::bindCommands(shell);
    notepad::bindCommands(shell);
    return shell.run();
}
