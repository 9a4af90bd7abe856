#pragma once
// The shell: one slot per window definition, the two window operations load and destroy, the title-bar
// close, the end of the program, fatal errors, event dispatch to the bound commands, and property access
// on live controls by window name, control name and property name.
#include "app/control_texts.h"
#include "forms/windows.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <variant>

class LiveWindow;
class QEventLoop;
class QWidget;

// The property names that commands read and set.
enum class Property {
    caption,
    text,
    background_colour,
    text_colour,
    colour,
    allow_transparent,
    content,
    style_sheet,
    mode,
    file_name,
};
using PropertyValue = std::variant<QString, Colour, int, bool>;

class Shell : public QObject {
    Q_OBJECT
public:
    explicit Shell(QObject *parent = nullptr);
    ~Shell() override;

    // Binds a command to the function that carries it out. A ShowRow handler gets the binding's row.
    void bind(Command command, std::function<void()> handler);
    void bindRows(Command command, std::function<void(int row)> handler);

    // The guide texts and style sheet that HTML views show when they are built.
    void setControlTexts(ControlTexts texts) { m_texts = std::move(texts); }
    const ControlTexts &controlTexts() const { return m_texts; }

    // Start-up from the first load of the table window to the end of the program; gives the exit code.
    int run();

    bool load(WindowId window, std::optional<WindowId> owner = std::nullopt, bool modal = false);
    void destroy(WindowId window);

    bool isLive(WindowId window) const;
    bool isDestroyPending(WindowId window) const;
    bool isModal(WindowId window) const;
    std::optional<WindowId> ownerOf(WindowId window) const;
    QWidget *liveWindow(WindowId window) const;
    QWidget *control(WindowId window, QStringView name) const;
    bool hasEnded() const { return m_ending; }
    int exitCode() const { return m_exitCode; }

    // An empty control name addresses the window itself (its background colour).
    void set(WindowId window, QStringView control, Property property, const PropertyValue &value);
    PropertyValue get(WindowId window, QStringView control, Property property) const;
    template <class T> T get(WindowId window, QStringView control, Property property) const
    {
        return std::get<T>(get(window, control, property));
    }

    // Shows a live window's file dialog control; true when the user confirmed a name.
    bool showFileDialog(WindowId window, QStringView control);

    // Tells the user of a failure in an error message box over the window, and waits until it is closed.
    void tellError(WindowId window, const QString &message);

    // A fatal error: the message is shown in an error box, then the program ends with exit code -1.
    // Tests put their own reporter here so that no box waits for a human.
    void setFatalReporter(std::function<void(const QString &)> reporter) { m_reportFatal = std::move(reporter); }
    void fatal(const QString &what);

    // Called by the live windows and the key filter.
    void titleBarClose(WindowId window);
    void dispatch(WindowId window, const Binding &binding);

private:
    struct Instance {
        QPointer<LiveWindow> window;
        bool destroyPending = false;
        bool modal = false;
        std::optional<WindowId> owner;
        std::vector<std::pair<QPointer<QWidget>, bool>> disabled; // what a modal window disabled
        QEventLoop *waiting = nullptr;                              // the nested loop of its modal load
    };
    struct Slot {
        const WindowDef *def = nullptr;
        std::optional<Instance> live;
    };

    Slot &slot(WindowId id) { return m_slots.at(id); }
    const Slot &slot(WindowId id) const { return m_slots.at(id); }
    void carryOutDestroy(WindowId id, QPointer<LiveWindow> which);
    void restoreDisabled(Instance &instance);
    void destroyWindow(WindowId id);
    void ownerMinimised(WindowId owner, bool minimised);

    std::map<WindowId, Slot> m_slots;
    std::map<Command, std::function<void(int)>> m_handlers;
    std::function<void(const QString &)> m_reportFatal;
    ControlTexts m_texts;
    bool m_started = false;
    bool m_ending = false;
    int m_exitCode = 0;
};
