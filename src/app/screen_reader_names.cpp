#include "app/screen_reader_names.h"

#include "app/live_window.h"

#include <QAccessibleWidget>
#include <QMenu>
#include <QMenuBar>

namespace {

struct ScreenReaderName {
    WindowId window;
    const char16_t *control; // empty: the window itself
    const char16_t *name;
};

constexpr ScreenReaderName screenReaderNames[] = {
    // each power box by the angle caption above it
    {WindowId::ShotTable, u"编辑框1", u"20度 力度"},
    {WindowId::ShotTable, u"编辑框2", u"30度 力度"},
    {WindowId::ShotTable, u"编辑框5", u"45度 力度"},
    {WindowId::ShotTable, u"编辑框3", u"50度 力度"},
    {WindowId::ShotTable, u"编辑框6", u"55度 力度"},
    {WindowId::ShotTable, u"编辑框4", u"65度 力度"},
    {WindowId::AngleGuide, u"简单超文本框1", u"角度说明"},
    {WindowId::AngleGuideTrad, u"简单超文本框1", u"角度說明"},
    {WindowId::Notepad, u"编辑框1", u"记事本内容"},
    {WindowId::NotepadHelp, u"", u"记事本帮助"},
    {WindowId::NotepadHelp, u"编辑框1", u"帮助内容"},
};

// A live window is a top-level window to screen readers, not a plain pane.
QAccessibleInterface *liveWindowAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("LiveWindow"))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

}

void nameForScreenReaders(LiveWindow &window)
{
    static const bool installed = (QAccessible::installFactory(liveWindowAccessible), true);
    Q_UNUSED(installed);
    for (const ScreenReaderName &entry : screenReaderNames) {
        if (entry.window != window.def().id)
            continue;
        const QString name = QString::fromUtf16(entry.name);
        if (entry.control[0] == u'\0')
            window.setAccessibleName(name);
        else if (auto *control = qobject_cast<QWidget *>(window.control(entry.control)))
            control->setAccessibleName(name);
    }
    // A drop-down menu is read by the caption of its entry in the menu bar.
    if (QMenuBar *bar = window.menuBar())
        for (QAction *entry : bar->actions())
            if (QMenu *menu = entry->menu())
                menu->setAccessibleName(entry->text());
}
