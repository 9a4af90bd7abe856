#include "app/start_up.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>

void enterProgramFolder()
{
    QDir::setCurrent(QCoreApplication::applicationDirPath());
}

void prepareApplication(QApplication &app)
{
    // The platform's default interface font for Chinese text.
    QFont ui(QStringLiteral("WenQuanYi Micro Hei"));
    ui.setPointSize(9);
    QApplication::setFont(ui);

    // 宋体 is not installed on Linux; the Song face of AR PL UMing stands in for it.
    QFont::insertSubstitutions(QStringLiteral("宋体"), {QStringLiteral("AR PL UMing CN"), QStringLiteral("AR PL UMing TW")});
    QFont::insertSubstitutions(QStringLiteral("SimSun"), {QStringLiteral("AR PL UMing CN")});

    QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvane.png")));
    // Wayland desktops find the menu entry, and with it the icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.korvane.Companion"));

    auto *translator = new QTranslator(&app);
    if (translator->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(translator);
}
