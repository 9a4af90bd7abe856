#!/usr/bin/python3
# Reads the running program's accessible tree over AT-SPI as a screen reader does: every window, button,
# label, power box, picker, guide view and the notepad's box and menu must have a role and a name, and the
# buttons must work through their press action. Run by accessibility.sh, which starts the program.
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)
    return ok


def wait_for(find, what, timeout=20.0):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    failures.append("timed out waiting for " + what)
    print("FAIL: timed out waiting for", what, flush=True)
    sys.exit(1)


def descendants(acc):
    for i in range(acc.get_child_count()):
        child = acc.get_child_at_index(i)
        if child is None:
            continue
        yield child
        yield from descendants(child)


def program():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "korvane":
            app.set_cache_mask(Atspi.Cache.NONE)  # values change while the test reads them
            return app
    return None


def window(title):
    app = program()
    if app is None:
        return None
    for i in range(app.get_child_count()):
        w = app.get_child_at_index(i)
        if w is not None and w.get_role() == Atspi.Role.FRAME and w.get_name() == title \
                and w.get_state_set().contains(Atspi.StateType.SHOWING):
            return w
    return None


def gone(title):
    return window(title) is None


def find(win, role, name):
    for acc in descendants(win):
        if acc.get_role() == role and acc.get_name() == name:
            return acc
    return None


def named(win, role, name):
    acc = find(win, role, name)
    check(acc is not None, f"{win.get_name()}: no {role.value_nick} named {name!r}")
    return acc


def text_of(acc):
    return acc.get_text(0, acc.get_character_count())


def actions(acc):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore", DeprecationWarning)  # the replacement is not in every libatspi
        return [acc.get_action_name(i).lower() for i in range(acc.get_n_actions())]


# Panes, the menu bar and scroll bars are structure that screen readers do not read by name.
def all_named(win):
    structure = {Atspi.Role.FILLER, Atspi.Role.MENU_BAR, Atspi.Role.SCROLL_BAR}
    unnamed = [acc.get_role_name() for acc in descendants(win) if acc.get_role() not in structure
               and not acc.get_name()]
    check(not unnamed, f"{win.get_name()}: controls without a name: {unnamed}")


def press(acc, action="press"):
    names = actions(acc)
    if check(action in names, f"{acc.get_name()!r} has no {action} action (has {names})"):
        acc.do_action(names.index(action))


def press_key_in(title, key):
    subprocess.run(["xdotool", "search", "--name", f"^{title}$", "windowfocus", "--sync"], check=True)
    subprocess.run(["xdotool", "key", key], check=True)


# The table window: twenty distance buttons, six angle captions, six power boxes, the picker and two buttons.
table = wait_for(lambda: window("Korvane公式计算器"), "the table window")
angles = [20, 30, 45, 50, 55, 65]
buttons = {n: named(table, Atspi.Role.PUSH_BUTTON, f"{n}屏") for n in range(1, 21)}
for caption in ["角度", "记事本"]:
    named(table, Atspi.Role.PUSH_BUTTON, caption)
for a in angles:
    named(table, Atspi.Role.LABEL, f"{a}度")
boxes = [named(table, Atspi.Role.TEXT, f"{a}度 力度") for a in angles]
picker = named(table, Atspi.Role.COMBO_BOX, "白色")
for name, button in buttons.items():
    if button is not None:
        check("press" in actions(button), f"{name}屏 cannot be pressed")
all_named(table)

# "3屏" pressed through its action shows row 3 in the six power boxes, and the captions get their colons.
press(buttons[3])
expected = ["25", "25", "45", "25", "25", "26"]
wait_for(lambda: all(b is not None for b in boxes) and [text_of(b) for b in boxes] == expected,
         f"the powers of row 3, {expected}", timeout=5)
for a in angles:
    named(table, Atspi.Role.LABEL, f"{a}度：")

# The picker's press opens its drop-down, a list of colours by name; pressing one chooses it.
press(picker)
wait_for(lambda: picker.get_state_set().contains(Atspi.StateType.EXPANDED), "the picker's drop-down", timeout=5)
drop_down = wait_for(lambda: next((a for a in descendants(picker) if a.get_role() == Atspi.Role.LIST
                                   and a.get_child_count() == 34), None), "the drop-down's list of 34 entries")
entries = [drop_down.get_child_at_index(i) for i in range(drop_down.get_child_count())]
names = [e.get_name() for e in entries]
check(names[0] == "透明" and names[16] == "白色" and names[-1] == "其它颜色...", f"the drop-down lists {names}")
check(all(e.get_role() == Atspi.Role.LIST_ITEM for e in entries), "the drop-down's entries are not list items")
press(entries[names.index("红色")])
wait_for(lambda: picker.get_name() == "红色" and not picker.get_state_set().contains(Atspi.StateType.EXPANDED),
         "the picker to show 红色", timeout=5)

# The guides: a named view whose lines can be read, in both scripts.
press(named(table, Atspi.Role.PUSH_BUTTON, "角度"))
guide = wait_for(lambda: window("Korvane角度说明（简体）"), "the simplified guide")
view = named(guide, Atspi.Role.LABEL, "角度说明")
if view is not None:
    lines = text_of(view).split("\n")
    check(len(lines) >= 21 and lines[3] == "基本公式：30+-风力=角度 （风力顺+逆-）",
          f"the guide view reads {lines[:4]!r}...")
named(guide, Atspi.Role.COMBO_BOX, "白色")
named(guide, Atspi.Role.PUSH_BUTTON, "确定")
all_named(guide)
press(named(guide, Atspi.Role.PUSH_BUTTON, "简繁转换"))
trad = wait_for(lambda: window("Korvane角度說明（繁體）"), "the traditional guide")
wait_for(lambda: gone("Korvane角度说明（简体）"), "the simplified guide to close")
view = named(trad, Atspi.Role.LABEL, "角度說明")
check(view is not None and view.get_character_count() > 300, "the traditional guide view has no text")
all_named(trad)
press(named(trad, Atspi.Role.PUSH_BUTTON, "確定"))
wait_for(lambda: gone("Korvane角度說明（繁體）"), "the traditional guide to close")

# The notepad: its box and its menus, then its help window through the menu item's action.
press(named(table, Atspi.Role.PUSH_BUTTON, "记事本"))
notepad = wait_for(lambda: window("记事本"), "the notepad")
named(notepad, Atspi.Role.TEXT, "记事本内容")
menu_bar = next((a for a in descendants(notepad) if a.get_role() == Atspi.Role.MENU_BAR), None)
check(menu_bar is not None, "the notepad has no menu bar")
for menu, items in [("文件", ["打开", "保存", "关闭"]), ("帮助", ["查看帮助", "关于记事本"])]:
    named(notepad, Atspi.Role.MENU_ITEM, menu)
    named(notepad, Atspi.Role.POPUP_MENU, menu)
    for item in items:
        named(notepad, Atspi.Role.MENU_ITEM, item)
all_named(notepad)
check(not table.get_state_set().contains(Atspi.StateType.SENSITIVE), "the table window is not disabled")
press(named(notepad, Atspi.Role.MENU_ITEM, "查看帮助"))
help_window = wait_for(lambda: window("记事本帮助"), "the notepad's help window")
wait_for(lambda: gone("记事本"), "the notepad to make way for its help")
help_box = named(help_window, Atspi.Role.TEXT, "帮助内容")
check(help_box is not None and help_box.get_character_count() > 0, "the help box reads empty")
all_named(help_window)
press(named(help_window, Atspi.Role.PUSH_BUTTON, "确定"))
wait_for(lambda: window("记事本"), "the notepad to come back")
press_key_in("记事本", "Escape")
wait_for(lambda: gone("记事本"), "the notepad to close")

if failures:
    print(f"{len(failures)} failures", flush=True)
    sys.exit(1)
print("the accessible tree reads as it should", flush=True)
