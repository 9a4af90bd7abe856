// Random walks through the window lifecycle. A seeded walk plays what a player can do (the navigation
// buttons of every window, 帮助 → 查看帮助, distance buttons, colour choices, typing into the notepad,
// Esc and the title-bar close of any live window) against the real program, and after every step
// compares it with a small model of the lifecycle rules kept here on its own: which windows are live,
// which are enabled, who owns whom, which are modal, which "记事本" loads still wait, whether each live
// window is the one an earlier load made or a fresh one, and when the program ends with which code.
//
// Steps run from queued calls, so that each one runs in the innermost event loop: while the modal
// notepad waits inside the "记事本" click, the walk goes on inside that click's nested loop.
//
// A failure names the seed and the step, then shrinks the steps to a short list that still fails and
// prints it ready to be replayed.
//
// Environment (all optional):
//   KORVANE_WALK_SEEDS=n       number of seeds walked (default 8)
//   KORVANE_WALK_FIRST_SEED=s  the first seed; the others follow it (default 1)
//   KORVANE_WALK_STEPS=n       steps per seed (default 2500)
//   KORVANE_WALK_REPLAY="…"    replays a step list that a failure printed, instead of the seeds
//   KORVANE_WALK_DISABLED_KEYS=0  the player never presses Esc in windows disabled behind the modal
//                              notepad (by default he does: the window manager can activate them,
//                              and they must take no keys)
// A long run, for example 400,000 steps:
//   KORVANE_WALK_SEEDS=40 KORVANE_WALK_STEPS=10000 QT_QPA_PLATFORM=offscreen tests/app/tst_lifecycle_walk
#include "../support/program.h"

#include "shot_table/shot_power_table.h"
#include "widgets/colour_picker.h"
#include "widgets/picker_palette.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QWindow>

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace {

constexpr WindowId Table = WindowId::ShotTable;
constexpr WindowId Guide = WindowId::AngleGuide;
constexpr WindowId TradGuide = WindowId::AngleGuideTrad;
constexpr WindowId Notepad = WindowId::Notepad;
constexpr WindowId Help = WindowId::NotepadHelp;

QString nameOf(WindowId id)
{
    return QString::fromLatin1(windowDef(id).name);
}

// A step of the player: a button click (by its number), a colour chosen in the window's picker
// (a palette entry, or ColourPicker::transparentEntry for "透明"), 帮助 → 查看帮助, one letter typed
// into the notepad, Esc, or the title-bar close.
enum class Action { Button, Colour, ShowHelp, Type, Esc, Close };
struct Step {
    WindowId window;
    Action action;
    int arg = 0;
};

// The buttons of each window by number, with the captions the player reads on them.
QString buttonCaption(WindowId window, int number)
{
    if (window == Table)
        return number == 21 ? QStringLiteral("角度") : number == 22 ? QStringLiteral("记事本") : QStringLiteral("%1屏").arg(number);
    if (window == Guide)
        return number == 1 ? QStringLiteral("确定") : QStringLiteral("简繁转换");
    if (window == TradGuide)
        return number == 1 ? QStringLiteral("確定") : QStringLiteral("簡繁轉換");
    return QStringLiteral("确定");
}

QString colourName(int entry)
{
    return entry == ColourPicker::transparentEntry ? QStringLiteral("透明")
                                                   : QString::fromUtf16(PickerPalette[size_t(entry)].name);
}

Colour colourOf(int entry)
{
    return entry == ColourPicker::transparentEntry ? Colour::defaultColour() : PickerPalette[size_t(entry)].colour;
}

QString stepText(const Step &s)
{
    QString what;
    switch (s.action) {
    case Action::Button: what = buttonCaption(s.window, s.arg); break;
    case Action::Colour: what = QStringLiteral("colour=") + colourName(s.arg); break;
    case Action::ShowHelp: what = QStringLiteral("查看帮助"); break;
    case Action::Type: what = QStringLiteral("type"); break;
    case Action::Esc: what = QStringLiteral("Esc"); break;
    case Action::Close: what = QStringLiteral("close"); break;
    }
    return nameOf(s.window) + u'/' + what;
}

QString stepsText(const std::vector<Step> &steps)
{
    QStringList words;
    for (const Step &s : steps)
        words << stepText(s);
    return words.join(u' ');
}

std::optional<Step> parseStep(const QString &word)
{
    const qsizetype slash = word.indexOf(u'/');
    if (slash < 0)
        return std::nullopt;
    const QString window = word.left(slash);
    const QString what = word.mid(slash + 1);
    for (WindowId id : allWindows) {
        if (nameOf(id) != window)
            continue;
        if (what == u"查看帮助")
            return Step{id, Action::ShowHelp};
        if (what == u"type")
            return Step{id, Action::Type};
        if (what == u"Esc")
            return Step{id, Action::Esc};
        if (what == u"close")
            return Step{id, Action::Close};
        if (what.startsWith(u"colour=")) {
            for (int entry = 0; entry <= ColourPicker::transparentEntry; ++entry)
                if (colourName(entry) == what.mid(7))
                    return Step{id, Action::Colour, entry};
            return std::nullopt;
        }
        for (int number = 1; number <= 22; ++number)
            if (buttonCaption(id, number) == what)
                return Step{id, Action::Button, number};
    }
    return std::nullopt;
}

// splitmix64: the same walk for a seed on every machine and standard library.
struct Rng {
    std::uint64_t state;
    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return int(next() % std::uint64_t(n)); }
};

// The lifecycle rules on their own: load, modal load, deferred destroy, title-bar close, owned windows
// and the end of the program, and what each handler of the navigation loads and destroys.
class Model {
public:
    struct Disabled {
        WindowId window;
        int generation;
        bool enabled;
    };
    struct Window {
        bool live = false;
        std::optional<WindowId> owner;
        bool modal = false;
        bool enabled = true;
        int generation = 0; // which load made it
        bool seen = false;  // the real window of this generation has been met
        std::vector<Disabled> disabled;
        // What the player changed in it, which lives as long as the window.
        int row = 0;
        std::optional<Colour> colour;
        int typed = 0;
    };
    // A modal load that has not returned yet; released once its window is gone.
    struct Wait {
        WindowId window;
        int generation;
        int step;
        bool released;
    };

    std::map<WindowId, Window> windows;
    std::vector<Wait> waits;
    bool ended = false;
    int exitCode = 0;

    Model() { load(Table, std::nullopt, false, -1); }

    const Window &operator[](WindowId id) const { return windows.at(id); }
    bool live(WindowId id) const { return windows.count(id) && windows.at(id).live; }
    bool takesInput(WindowId id) const { return live(id) && windows.at(id).enabled; }

    // The player's step number `step`; false when the player cannot do it now.
    bool apply(const Step &s, int step)
    {
        if (ended || !live(s.window) || (!windows[s.window].enabled && s.action != Action::Esc && s.action != Action::Close))
            return false;
        Window &w = windows[s.window];
        switch (s.action) {
        case Action::Button: button(s.window, s.arg, step); break;
        case Action::Colour: w.colour = colourOf(s.arg); break;
        case Action::ShowHelp:
            load(Help, Table, false, step);
            destroy(Notepad);
            break;
        case Action::Type: ++w.typed; break;
        case Action::Esc:
            // A disabled window takes no keys.
            if (w.enabled && (s.window == Table || s.window == Notepad || s.window == Help))
                close(s.window);
            break;
        case Action::Close:
            if (w.enabled) // a disabled window refuses
                close(s.window);
            break;
        }
        // The handler has returned: its destroy requests are carried out.
        for (auto [id, generation] : std::exchange(m_requests, {}))
            if (live(id) && windows[id].generation == generation) {
                restore(windows[id]);
                destruct(id);
            }
        return true;
    }

private:
    void button(WindowId window, int number, int step)
    {
        if (window == Table) {
            if (number <= 20)
                windows[Table].row = number;
            else if (number == 21)
                load(Guide, Table, false, step);
            else
                load(Notepad, std::nullopt, true, step);
        } else if (window == Guide) {
            if (number == 1)
                load(Table, std::nullopt, true, step);
            else
                load(TradGuide, Table, false, step);
            destroy(Guide);
        } else if (window == TradGuide) {
            if (number == 1)
                load(Table, Table, false, step);
            else
                load(Guide, Table, false, step);
            destroy(TradGuide);
        } else if (window == Help) {
            load(Notepad, Table, false, step);
            destroy(Help);
        }
    }

    void load(WindowId id, std::optional<WindowId> owner, bool modal, int step)
    {
        if (ended || (owner && !live(*owner)))
            return;
        Window &w = windows[id];
        if (w.live) {
            // A destroy still pending is carried out first; otherwise the window only comes forward.
            const auto pending = std::find_if(m_requests.begin(), m_requests.end(), [&](const auto &r) {
                return r.first == id && r.second == w.generation;
            });
            if (pending == m_requests.end())
                return;
            m_requests.erase(pending);
            restore(w);
            destruct(id);
        }
        if (modal)
            owner.reset();
        w = Window{};
        w.live = true;
        w.owner = owner;
        w.modal = modal;
        w.generation = ++m_lastGeneration;
        if (!modal)
            return;
        for (auto &[otherId, other] : windows) {
            if (otherId == id || !other.live || other.owner)
                continue;
            w.disabled.push_back({otherId, other.generation, other.enabled});
            other.enabled = false;
        }
        waits.push_back({id, w.generation, step, false});
    }

    void destroy(WindowId id) { m_requests.emplace_back(id, windows[id].generation); }

    // Title-bar close and Esc: at once, a modal window giving back what it disabled first.
    void close(WindowId id)
    {
        restore(windows[id]);
        destruct(id);
    }

    void restore(Window &w)
    {
        for (const Disabled &d : w.disabled)
            if (live(d.window) && windows[d.window].generation == d.generation)
                windows[d.window].enabled = d.enabled;
        w.disabled.clear();
    }

    void destruct(WindowId id)
    {
        for (auto &[otherId, other] : windows)
            if (other.live && other.owner == id)
                destruct(otherId);
        Window &w = windows[id];
        w.live = false;
        for (Wait &wait : waits)
            if (wait.window == id && wait.generation == w.generation)
                wait.released = true;
        if (std::none_of(windows.begin(), windows.end(), [](const auto &e) { return e.second.live; })) {
            ended = true;
            exitCode = 0;
        }
    }

    std::vector<std::pair<WindowId, int>> m_requests;
    int m_lastGeneration = 0;
};

// One walk: a seeded random one, or the replay of a step list. Each life of the program is a fresh
// Program run until its table window is closed; the walk then starts the next life.
class Walk {
public:
    struct Failure {
        int step;    // the steps done when it showed, the last one being the culprit
        QString what;
    };

    static Walk random(std::uint64_t seed, int steps, bool keysToDisabled)
    {
        Walk w;
        w.m_rng = Rng{seed};
        w.m_budget = steps;
        w.m_keysToDisabled = keysToDisabled;
        return w;
    }
    static Walk replay(std::vector<Step> script)
    {
        Walk w;
        w.m_script = std::move(script);
        w.m_replaying = true;
        return w;
    }

    void run()
    {
        while (!m_failure && !budgetSpent()) {
            Program program;
            Model model;
            m_program = &program;
            m_model = &model;
            const int life = ++m_life;
            m_lifeStart = int(m_done.size());
            QObject lifeContext; // queued steps of a life that has ended are dropped with it
            m_context = &lifeContext;
            post(life);
            const int code = program->run();
            if (!m_failure)
                checkEnd(code);
            m_program = nullptr;
            m_model = nullptr;
            m_context = nullptr;
            m_inProgress.clear();
        }
        Program::settle();
    }

    const std::optional<Failure> &failure() const { return m_failure; }
    const std::vector<Step> &done() const { return m_done; }
    int lives() const { return m_life; }
    int modalLoads() const { return m_modalLoads; }
    int stepsInModalLoads() const { return m_stepsInModalLoads; }

private:
    Walk() = default;

    bool budgetSpent() const
    {
        return m_replaying ? m_next >= m_script.size() : int(m_done.size()) >= m_budget;
    }

    // One step of the walk, run from the innermost event loop.
    void tick(int life)
    {
        if (life != m_life || m_failure)
            return;
        if (!settled() && ++m_settleRounds < 100) {
            post(life);
            return;
        }
        m_settleRounds = 0;
        if (const QString difference = compare(); !difference.isEmpty())
            return fail(difference);
        if (m_model->ended)
            return fail(QStringLiteral("the program goes on after its last window has gone"));
        if (int(m_done.size()) - m_lifeStart > 100000)
            return fail(QStringLiteral("the walk cannot end this life of the program"));

        const std::optional<Step> step = nextStep();
        if (!step)
            return; // cannot happen: the end of a walk closes the windows
        const int index = int(m_done.size());
        m_done.push_back(*step);
        m_stepsInModalLoads += m_inProgress.empty() ? 0 : 1;
        const size_t waitsBefore = m_model->waits.size();
        m_model->apply(*step, index);
        m_modalLoads += int(m_model->waits.size() - waitsBefore);

        post(life);
        m_inProgress.push_back(index);
        const QString trouble = perform(*step);
        m_inProgress.pop_back();
        if (life != m_life || m_failure)
            return;
        if (!trouble.isEmpty())
            return fail(trouble);
        // A click whose modal load waited returns only after the model has let that load go.
        auto &waits = m_model->waits;
        const auto wait = std::find_if(waits.begin(), waits.end(), [&](const Model::Wait &w) { return w.step == index; });
        if (wait != waits.end()) {
            if (!wait->released)
                return fail(QStringLiteral("the \"%1\" click returned while its %2 is still live")
                                .arg(buttonCaption(Table, 22), nameOf(wait->window)));
            waits.erase(wait);
        }
    }

    void post(int life)
    {
        QTimer::singleShot(0, m_context, [this, life] { tick(life); });
    }

    // Queued destroy requests have run, every released modal load has returned, and no step is under
    // way: a step whose action is still running (QTest lets events run inside a click) must be
    // waiting in a modal load.
    bool settled() const
    {
        for (WindowId id : allWindows)
            if ((*m_program)->isDestroyPending(id))
                return false;
        const auto &waits = m_model->waits;
        if (std::any_of(waits.begin(), waits.end(), [](const auto &w) { return w.released; }))
            return false;
        return std::all_of(m_inProgress.begin(), m_inProgress.end(), [&](int step) {
            return std::any_of(waits.begin(), waits.end(), [&](const auto &w) { return w.step == step; });
        });
    }

    std::optional<Step> nextStep()
    {
        const Model &model = *m_model;
        if (m_replaying) {
            // Steps that the player cannot do at this point of the replay are left out.
            while (m_next < m_script.size()) {
                const Step s = m_script[m_next++];
                if (model.live(s.window)
                    && (model[s.window].enabled || s.action == Action::Close || s.action == Action::Esc))
                    return s;
            }
        } else if (int(m_done.size()) < m_budget) {
            return randomStep();
        }
        // The walk is over: the player closes the modal notepad, if one is open, and then the table.
        if (model.live(Notepad) && model[Notepad].modal)
            return Step{Notepad, Action::Close};
        return Step{Table, Action::Close};
    }

    Step randomStep()
    {
        const Model &model = *m_model;
        std::vector<std::pair<Step, int>> choices; // with weights
        const auto add = [&](WindowId id, Action action, int weight, int arg = 0) {
            choices.push_back({Step{id, action, arg}, weight});
        };
        const int anyColour = m_rng.below(ColourPicker::transparentEntry + 1);
        for (WindowId id : allWindows) {
            if (!model.live(id))
                continue;
            if (!model[id].enabled) {
                add(id, Action::Close, 2); // the player tries; a disabled window refuses
                if (m_keysToDisabled)
                    add(id, Action::Esc, 2);
                continue;
            }
            if (id == Table) {
                add(id, Action::Button, 8, 1 + m_rng.below(20));
                add(id, Action::Button, 12, 21);
                add(id, Action::Button, 12, 22);
                add(id, Action::Colour, 3, anyColour);
                add(id, Action::Esc, 1);
                add(id, Action::Close, 1);
            } else if (id == Guide || id == TradGuide) {
                add(id, Action::Button, 8, 1);
                add(id, Action::Button, 12, 2);
                add(id, Action::Colour, 3, anyColour);
                add(id, Action::Esc, 2);
                add(id, Action::Close, 3);
            } else if (id == Notepad) {
                add(id, Action::ShowHelp, 12);
                add(id, Action::Type, 4);
                add(id, Action::Esc, 4);
                add(id, Action::Close, 4);
            } else {
                add(id, Action::Button, 12, 1);
                add(id, Action::Esc, 4);
                add(id, Action::Close, 4);
            }
        }
        int total = 0;
        for (const auto &c : choices)
            total += c.second;
        int r = m_rng.below(total);
        for (const auto &[step, weight] : choices) {
            if (r < weight)
                return step;
            r -= weight;
        }
        return choices.back().first;
    }

    // Carries a step out on the real program as the player does; gives what went wrong, if anything.
    QString perform(const Step &s)
    {
        Shell &shell = **m_program;
        QWidget *window = shell.liveWindow(s.window);
        if (!window)
            return nameOf(s.window) + QStringLiteral(" has no live window to take the step");
        switch (s.action) {
        case Action::Button: {
            const QString name = QStringLiteral("按钮%1").arg(s.arg);
            QWidget *button = shell.control(s.window, name);
            if (!button)
                return nameOf(s.window) + QStringLiteral(" has no ") + name;
            QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
            return {};
        }
        case Action::Colour: {
            auto *picker = qobject_cast<ColourPicker *>(shell.control(s.window, u"颜色选择器1"));
            if (!picker)
                return nameOf(s.window) + QStringLiteral(" has no colour picker");
            const QPoint at = picker->mapTo(window, picker->rect().center());
            QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, at);
            if (!picker->popup())
                return QStringLiteral("a click on the colour picker of %1 opened no drop-down").arg(nameOf(s.window));
            const QPoint entry = picker->entryRect(s.arg).center();
            QTest::mouseMove(picker->popup()->windowHandle(), entry);
            QTest::mouseClick(picker->popup()->windowHandle(), Qt::LeftButton, {}, entry);
            if (picker->popup())
                return QStringLiteral("the colour drop-down of %1 stayed open").arg(nameOf(s.window));
            return {};
        }
        case Action::ShowHelp: {
            auto *menuBar = static_cast<LiveWindow *>(window)->menuBar();
            for (QAction *action : menuBar ? menuBar->findChildren<QAction *>() : QList<QAction *>())
                if (action->text() == u"查看帮助") {
                    action->trigger();
                    return {};
                }
            return nameOf(s.window) + QStringLiteral(" has no menu item 查看帮助");
        }
        case Action::Type: {
            QWidget *box = shell.control(s.window, u"编辑框1");
            if (!box)
                return nameOf(s.window) + QStringLiteral(" has no 编辑框1");
            QTest::keyClick(box, Qt::Key_A);
            return {};
        }
        case Action::Esc:
            if (!window->isEnabled()) {
                // The window manager still lets the player activate a disabled window and type into it.
                QApplication::setActiveWindow(window);
                QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
                return {};
            }
            QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
            return {};
        case Action::Close:
            window->close();
            return {};
        }
        return {};
    }

    // What the real program shows and the model does not; empty when they agree.
    QString compare()
    {
        Program &program = *m_program;
        Shell &shell = *program;
        const Model &model = *m_model;
        if (!program.fatalErrors.isEmpty())
            return QStringLiteral("fatal error: ") + program.fatalErrors.join(u"; ");
        if (shell.hasEnded())
            return QStringLiteral("the program has ended although %1 should be live").arg(liveNames());

        for (WindowId id : allWindows) {
            const QString name = nameOf(id);
            if (shell.isLive(id) != model.live(id))
                return name + (model.live(id) ? QStringLiteral(" is gone but should be live")
                                              : QStringLiteral(" is live but should be gone"));
            if (!model.live(id))
                continue;
            const Model::Window &expected = model[id];
            QWidget *window = shell.liveWindow(id);
            if (!window)
                return name + QStringLiteral(" is live without a window");
            if (window->isEnabled() != expected.enabled)
                return name + (expected.enabled ? QStringLiteral(" is disabled but should be enabled")
                                                : QStringLiteral(" is enabled but should be disabled"));
            if (!window->isVisible())
                return name + QStringLiteral(" is live but not shown");
            if (shell.isModal(id) != expected.modal)
                return name + (expected.modal ? QStringLiteral(" should be modal") : QStringLiteral(" should not be modal"));
            if (shell.ownerOf(id) != expected.owner)
                return QStringLiteral("%1 is owned by %2 but should be owned by %3")
                    .arg(name, ownerName(shell.ownerOf(id)), ownerName(expected.owner));
            QWindow *stackedOver = window->windowHandle() ? window->windowHandle()->transientParent() : nullptr;
            QWidget *ownerWindow = expected.owner ? shell.liveWindow(*expected.owner) : nullptr;
            if (stackedOver != (ownerWindow ? ownerWindow->windowHandle() : nullptr))
                return name + QStringLiteral(" does not stay in front of its owner, or stays in front of another window");

            // Is it the window of the load that made it, or a fresh one?
            const QVariant tag = window->property("walkGeneration");
            if (!tag.isValid()) {
                if (expected.seen)
                    return name + QStringLiteral(" was created afresh where the earlier window should have been kept");
                window->setProperty("walkGeneration", expected.generation);
                m_model->windows[id].seen = true;
            } else if (tag.toInt() != expected.generation) {
                return name + QStringLiteral(" is still the window of an earlier load where a fresh one was due");
            }
            if (const QString state = compareState(id, expected); !state.isEmpty())
                return name + u' ' + state;
        }

        std::vector<int> waiting; // a released load has returned by now
        for (const Model::Wait &w : model.waits)
            if (!w.released)
                waiting.push_back(w.step);
        if (waiting != m_inProgress)
            return QStringLiteral("steps still waiting in a modal load: %1; the model expects %2")
                .arg(stepNumbers(m_inProgress), stepNumbers(waiting));
        return {};
    }

    // What the player changed in a window lasts exactly as long as the window.
    QString compareState(WindowId id, const Model::Window &expected)
    {
        Shell &shell = **m_program;
        if (id == Table) {
            const QString power = shell.get<QString>(Table, u"编辑框1", Property::text);
            const QString want = expected.row ? QString::number(ShotPowerTable[size_t(expected.row - 1)][0]) : QString();
            if (power != want)
                return QStringLiteral("shows the 20° power \"%1\" where \"%2\" was due").arg(power, want);
            if (const QString c = compareColour(shell.get<Colour>(Table, u"", Property::background_colour),
                                                expected.colour.value_or(Colour::defaultColour()));
                !c.isEmpty())
                return c;
        } else if (id == Guide || id == TradGuide) {
            if (const QString c = compareColour(shell.get<Colour>(id, u"简单超文本框1", Property::background_colour),
                                                expected.colour.value_or(colours::white));
                !c.isEmpty())
                return c;
        } else if (id == Notepad) {
            const QString text = shell.get<QString>(Notepad, u"编辑框1", Property::text);
            if (text != QString(expected.typed, u'a'))
                return QStringLiteral("holds the text \"%1\" where \"%2\" was due").arg(text, QString(expected.typed, u'a'));
        }
        return {};
    }

    static QString compareColour(Colour shown, Colour due)
    {
        if (shown == due)
            return {};
        const auto text = [](Colour c) {
            return c.isDefault() ? QStringLiteral("the default colour")
                                 : QStringLiteral("RGB(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
        };
        return QStringLiteral("shows the background colour %1 where %2 was due").arg(text(shown), text(due));
    }

    // After the event loop has ended: the model must have ended too, with the same code.
    void checkEnd(int code)
    {
        Shell &shell = **m_program;
        if (!m_model->ended)
            return fail(QStringLiteral("the program ended although %1 should be live").arg(liveNames()));
        if (!shell.hasEnded())
            return fail(QStringLiteral("the event loop ended but the shell did not end the program"));
        if (code != m_model->exitCode)
            return fail(QStringLiteral("the program ended with code %1 instead of %2").arg(code).arg(m_model->exitCode));
        for (WindowId id : allWindows)
            if (shell.isLive(id))
                return fail(nameOf(id) + QStringLiteral(" is still live after the end of the program"));
        if (!m_program->fatalErrors.isEmpty())
            return fail(QStringLiteral("fatal error: ") + m_program->fatalErrors.join(u"; "));
    }

    void fail(const QString &what)
    {
        m_failure = Failure{int(m_done.size()), what};
        QCoreApplication::exit(0); // unwinds every nested loop of this life
    }

    QString liveNames() const
    {
        QStringList names;
        for (WindowId id : allWindows)
            if (m_model->live(id))
                names << nameOf(id);
        return names.isEmpty() ? QStringLiteral("no window") : names.join(QStringLiteral(", "));
    }

    static QString ownerName(std::optional<WindowId> owner)
    {
        return owner ? nameOf(*owner) : QStringLiteral("no window");
    }

    static QString stepNumbers(const std::vector<int> &steps)
    {
        QStringList numbers;
        for (int s : steps)
            numbers << QStringLiteral("#%1").arg(s + 1);
        return numbers.isEmpty() ? QStringLiteral("none") : numbers.join(u' ');
    }

    Rng m_rng{0};
    int m_budget = 0;
    bool m_keysToDisabled = false;
    bool m_replaying = false;
    std::vector<Step> m_script;
    size_t m_next = 0;

    Program *m_program = nullptr;
    Model *m_model = nullptr;
    QObject *m_context = nullptr;
    int m_life = 0;
    int m_lifeStart = 0;
    int m_settleRounds = 0;
    int m_modalLoads = 0;
    int m_stepsInModalLoads = 0;
    std::vector<Step> m_done;
    std::vector<int> m_inProgress; // steps whose action has not returned yet, outermost first
    std::optional<Failure> m_failure;
};

// The shortest list found that still fails: chunks of steps are left out as long as the replay
// still fails, down to single steps. Gives the list and the failure it shows.
std::pair<std::vector<Step>, QString> shrink(std::vector<Step> steps, QString what)
{
    int replays = 0;
    const auto fails = [&](const std::vector<Step> &candidate) -> std::optional<std::pair<std::vector<Step>, QString>> {
        ++replays;
        Walk walk = Walk::replay(candidate);
        walk.run();
        if (!walk.failure())
            return std::nullopt;
        std::vector<Step> done(walk.done().begin(), walk.done().begin() + walk.failure()->step);
        return std::pair{done, walk.failure()->what};
    };
    for (size_t chunk = std::max<size_t>(steps.size() / 2, 1); chunk >= 1 && replays < 3000;) {
        bool shorter = false;
        for (size_t start = 0; start < steps.size() && replays < 3000;) {
            std::vector<Step> candidate(steps.begin(), steps.begin() + qsizetype(start));
            candidate.insert(candidate.end(), steps.begin() + qsizetype(std::min(start + chunk, steps.size())), steps.end());
            if (auto found = fails(candidate); found && found->first.size() < steps.size()) {
                std::tie(steps, what) = *found;
                shorter = true;
            } else {
                start += chunk;
            }
        }
        if (chunk == 1 && !shorter)
            break;
        if (chunk > 1)
            chunk /= 2;
    }
    return {steps, what};
}

int envInt(const char *name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : fallback;
}

}

class TestLifecycleWalk : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { prepareTestApplication(); }

    void walk_data()
    {
        QTest::addColumn<qulonglong>("seed");
        if (qEnvironmentVariableIsSet("KORVANE_WALK_REPLAY")) {
            QTest::newRow("replay") << qulonglong(0);
            return;
        }
        const int seeds = envInt("KORVANE_WALK_SEEDS", 8);
        const qulonglong first = qEnvironmentVariable("KORVANE_WALK_FIRST_SEED", QStringLiteral("1")).toULongLong();
        for (int i = 0; i < seeds; ++i)
            QTest::addRow("seed %llu", first + qulonglong(i)) << first + qulonglong(i);
    }

    void walk()
    {
        QFETCH(qulonglong, seed);
        const bool replaying = qEnvironmentVariableIsSet("KORVANE_WALK_REPLAY");
        std::vector<Step> script;
        if (replaying) {
            const QStringList words = qEnvironmentVariable("KORVANE_WALK_REPLAY").split(u' ', Qt::SkipEmptyParts);
            for (const QString &word : words) {
                const auto step = parseStep(word);
                QVERIFY2(step, qPrintable(QStringLiteral("KORVANE_WALK_REPLAY: no such step \"%1\"").arg(word)));
                script.push_back(*step);
            }
        }
        const int steps = envInt("KORVANE_WALK_STEPS", 2500);

        QElapsedTimer clock;
        clock.start();
        Walk walk = replaying ? Walk::replay(script)
                              : Walk::random(seed, steps, envInt("KORVANE_WALK_DISABLED_KEYS", 1) != 0);
        walk.run();
        const double seconds = std::max(clock.elapsed(), qint64(1)) / 1000.0;
        qInfo("%s: %zu steps in %d lives, %d modal loads with %d steps inside them, %.0f steps/s",
              replaying ? "replay" : qPrintable(QStringLiteral("seed %1").arg(seed)), walk.done().size(), walk.lives(),
              walk.modalLoads(), walk.stepsInModalLoads(), double(walk.done().size()) / seconds);

        if (const auto &failure = walk.failure()) {
            const QString where = replaying ? QStringLiteral("the replay") : QStringLiteral("seed %1").arg(seed);
            const std::vector<Step> prefix(walk.done().begin(), walk.done().begin() + failure->step);
            qWarning("%s fails after step %d: %s; shrinking the %d steps", qPrintable(where), failure->step,
                     qPrintable(failure->what), failure->step);
            QString report = QStringLiteral("%1 fails after step %2 (%3): %4")
                                 .arg(where).arg(failure->step)
                                 .arg(prefix.empty() ? QStringLiteral("at start-up") : stepText(prefix.back()), failure->what);
            const auto [shortest, what] = shrink(prefix, failure->what);
            report += QStringLiteral("\n  shortest step list found (%1 steps), failing with: %2"
                                     "\n  replay: KORVANE_WALK_REPLAY=\"%3\" tst_lifecycle_walk")
                          .arg(shortest.size()).arg(what, stepsText(shortest));
            QFAIL(qPrintable(report));
        }
        if (!replaying)
            QVERIFY2(int(walk.done().size()) >= steps, qPrintable(QStringLiteral("seed %1 walked only %2 steps").arg(seed).arg(walk.done().size())));
    }
};

QTEST_MAIN(TestLifecycleWalk)
#include "tst_lifecycle_walk.moc"
