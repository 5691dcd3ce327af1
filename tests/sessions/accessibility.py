# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader hears from Vantory, run by accessibility.sh once the application shows its
calendar window on a real accessibility bus. Each check prints "ok:" or "FAILED:" and what it
measured; the exit status is the number of failed checks.

The idle budget leaves the strip out: its name is the line, which may change once per rotation;
everything else stays silent but for a few changes a minute."""

import subprocess
import sys
import time
from collections import Counter
from typing import NamedTuple

import pyatspi
from gi.repository import GLib

APPLICATION = "Vantory"
CALENDAR = "Vantory 캘린더"
SETTINGS = "Vantory 설정"
IDLE_SECONDS = 60
IDLE_CHANGES = 6
# The sample's line rotates through slots of 10, 5 and 5 seconds.
ROTATIONS_PER_MINUTE = 9
# The choice groups as the student sees them, each choice's visible text.
FILTERS = ["전체", "예정", "마감 미확인", "지난 마감", "완료·숨김"]
SORTS = ["일정순", "과목순", "카테고리순", "이름순"]
SEGMENTS = ["왼쪽", "가운데", "오른쪽", "가장 긴 문구에 맞춤", "직접 설정"]
HIDE = "메뉴바에서 숨기기"
CONNECTION_TAB = "연결 및 과목"
NAME_CHANGES = ("object:property-change:accessible-name", "object:property-change:accessible-description")
FOCUS = "object:state-changed:focused"
CHECKED = "object:state-changed:checked"


class Heard(NamedTuple):
    at: float
    kind: str
    role: str = ""
    name: str = ""
    window: str = ""
    shown: bool = True  # the object and its window are on the screen
    window_path: str = ""  # the window's object on the bus, which outlives a change of its name
    in_list: bool = False  # a child of a list, table or tree: a row
    source: object = None

    def __str__(self):
        where = f" in {self.window!r}" if self.window not in ("", self.name) else ""
        hidden = "" if self.shown else " (hidden)"
        return f"{self.role} {self.name!r}{where}{hidden}"


LISTS = (pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE)


def describe(accessible):
    """Role, name, window, whether both show, the window's object path and whether it is a row."""
    try:
        node, shown = accessible, True
        in_list = accessible.parent is not None and accessible.parent.getRole() in LISTS
        while True:
            shown = shown and node.getState().contains(pyatspi.STATE_SHOWING)
            parent = node.parent
            if parent is None or parent.getRole() == pyatspi.ROLE_APPLICATION:
                break
            node = parent
        return accessible.getRoleName(), accessible.name, node.name, shown, node.path, in_list, accessible
    except Exception:  # gone before it could be asked
        return "?", "", "", False, "", False, None


class Listener:
    """Every event of the application, in order."""

    def __init__(self):
        self.heard = []
        for kind in ("object", "window"):
            pyatspi.Registry.registerEventListener(self._hear, kind)
        # Wakes the loop often, so that waits end on time.
        GLib.timeout_add(50, lambda: True)

    def _hear(self, event):
        try:
            if event.host_application.name != APPLICATION:
                return
        except Exception:
            return
        kind = event.type
        if kind == FOCUS and not event.detail1:
            return
        if kind in (FOCUS, CHECKED) or kind in NAME_CHANGES:
            self.heard.append(Heard(time.monotonic(), kind, *describe(event.source)))
        else:
            self.heard.append(Heard(time.monotonic(), kind))

    def mark(self):
        return len(self.heard)

    def since(self, mark, *kinds):
        return [each for each in self.heard[mark:] if not kinds or each.kind in kinds]

    def focus_since(self, mark):
        return self.since(mark, FOCUS)

    def wait(self, condition, seconds):
        """Runs the event loop until `condition()` holds, at most `seconds`."""
        deadline = time.monotonic() + seconds
        context = GLib.MainContext.default()
        while not condition():
            if time.monotonic() > deadline:
                return False
            context.iteration(True)
        return True

    def settle(self, quiet=1.5, limit=6):
        """Runs the event loop until, for `quiet` seconds, no focus, state or structure event came."""
        start = time.monotonic()

        def calm():
            busy = [each.at for each in self.heard if each.kind not in NAME_CHANGES]
            return time.monotonic() - max([start] + busy[-1:]) >= quiet
        self.wait(calm, limit)


listener = None
failures = 0


def check(description, passed, details=()):
    global failures
    print(("ok: " if passed else "FAILED: ") + description)
    for line in details:
        print("    " + line)
    if not passed:
        failures += 1


def listing(items, most=5):
    items = list(map(str, items))
    return ", ".join(items[:most]) + (f", … {len(items) - most} more" if len(items) > most else "") or "none"


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=True)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    return next((each for each in desktop if each is not None and each.name == APPLICATION), None)


def window(name):
    app = application()
    if app is None:
        return None
    return next((each for each in app if each is not None and each.name == name), None)


def showing(name):
    found = window(name)
    return found is not None and found.getState().contains(pyatspi.STATE_SHOWING)


def descendants(root):
    for child in root:
        if child is not None:
            yield child
            yield from descendants(child)


def press_until_focus(keys, wanted, presses):
    """Presses `keys` until a focus event lands on what `wanted` accepts; that event, or None."""
    for _ in range(presses):
        mark = listener.mark()
        key(*keys)
        if not listener.wait(lambda: listener.focus_since(mark), 2):
            continue
        focused = listener.focus_since(mark)[-1]
        if wanted(focused):
            return focused
    return None


def row_key(name):
    """A row's deadline: its heading, before the first comma, which marks and times never change."""
    return name.split(",")[0]


def is_row(heard):
    return heard.in_list and heard.window == CALENDAR


def has_focus(accessible):
    try:
        return accessible.getState().contains(pyatspi.STATE_FOCUSED)
    except Exception:  # gone
        return False


def check_window_role(name):
    role = window(name).getRoleName()
    check(f"the window {name!r} is a frame or dialog", role in ("frame", "dialog"), [f"role: {role}"])


CONTROLS = ("radio button", "check box", "toggle button", "push button")


def check_group_roles(root, what, texts):
    """Each choice is a radio button named by its visible text."""
    controls = [each for each in descendants(root) if each.getRoleName() in CONTROLS]
    roles = {each.name: each.getRoleName() for each in controls}
    wrong = [text for text in texts if roles.get(text) != "radio button"]
    # The group as it is: the controls beside those that carry a choice's text.
    parents = {each.parent.path for each in controls if any(text in each.name for text in texts)}
    group = [f"{each.getRoleName()} {each.name!r}" for each in controls if each.parent.path in parents]
    check(f"the {what} are radio buttons named by their visible text", not wrong,
          [f"not a radio button of that name: {', '.join(wrong)}"] * bool(wrong) + [f"found: {', '.join(group)}"])


def idle(strip_path):
    mark = listener.mark()
    listener.wait(lambda: False, IDLE_SECONDS)
    changes = listener.since(mark, *NAME_CHANGES)
    strip = [each for each in changes if each.window_path == strip_path]
    others = [each for each in changes if each not in strip]
    details = [f"{len(changes)} name or description changes in {IDLE_SECONDS} s, {len(strip)} of them the strip's"]
    details += [f"{count} × {source}" for source, count in Counter(map(str, changes)).most_common()]
    check(f"idle: at most {IDLE_CHANGES} name or description changes in {IDLE_SECONDS} s besides the strip's",
          len(others) <= IDLE_CHANGES, details)
    check(f"idle: the strip's name changes at most once per rotation ({ROTATIONS_PER_MINUTE} a minute)",
          len(strip) <= ROTATIONS_PER_MINUTE + 1)


def settings_change():
    """A setting changed from the keyboard keeps the focus on its control, in one announcement."""
    control = press_until_focus(["Tab"], lambda heard: heard.role == "check box" and heard.window == SETTINGS, 40)
    if control is None:
        check("a settings change keeps the focus on its control", False, ["Tab reached no check box in the settings"])
        return
    mark = listener.mark()
    key("space")
    listener.settle()
    # The control keeps the focus it had: a rebuilt one, even of the same name, is announced again.
    focus = listener.focus_since(mark)
    check("a settings change keeps the focus on its control, unannounced", not focus and has_focus(control.source),
          [f"changed: {control}", f"{len(listener.since(mark))} events after the change",
           "focus events: " + listing(focus),
           f"the control still has the focus: {has_focus(control.source)}"])


# Spans of heard events while a settings tab was being built.
building = []


def leave_settings_on_connection_tab():
    """The settings closed on the tab whose zone picker once spoke from the hidden window."""
    def current_tab():
        tabs = [each for each in descendants(window(SETTINGS)) if each.getRoleName().startswith("page tab")]
        chosen = [each.name for each in tabs if each.getState().contains(pyatspi.STATE_SELECTED)]
        # Qt names the tab list by its current tab.
        return chosen[0] if chosen else next((each.name for each in tabs if each.getRoleName() == "page tab list"), "")
    for _ in range(6):
        if current_tab() == CONNECTION_TAB:
            break
        start = listener.mark()
        key("ctrl+Next")
        listener.settle(quiet=0.5)
        # A tab is built when first shown: its controls that stay hidden name themselves then,
        # unheard, as the window's did before it first showed.
        building.append(range(start, listener.mark()))
    print(f"note: the settings window closes on {current_tab()!r}")
    key("Escape")
    if not listener.wait(lambda: not showing(SETTINGS), 5):
        print("    the settings window did not close on Escape")


def done_and_hide():
    subprocess.run(["xdotool", "search", "--name", f"^{CALENDAR}$", "windowactivate", "--sync"], check=True,
                   stdout=subprocess.DEVNULL)
    entered = press_until_focus(["Tab"], lambda heard: heard.name == "과제 목록" or is_row(heard), 60)
    check("Tab into the list focuses a row", entered is not None and is_row(entered),
          [f"focus went to: {entered}"])
    if entered is None:
        return
    done = "done with Space: the focus stays on the row and its new state is announced"
    row = entered if is_row(entered) else press_until_focus(["Down"], is_row, 3)
    if row is None:
        check(done, False, ["no row took the focus"])
        return

    mark = listener.mark()
    key("space")
    listener.settle()
    focus = listener.focus_since(mark)
    from_row = [each for each in listener.since(mark, FOCUS, CHECKED, *NAME_CHANGES)
                if is_row(each) and row_key(each.name) == row_key(row.name)]
    last = focus[-1] if focus else row
    checked = listener.since(mark, CHECKED)
    check(done, is_row(last) and row_key(last.name) == row_key(row.name) and bool(from_row),
          [f"row: {row}", "focus events: " + listing(focus),
           "the row's own events: " + listing(f"{each.kind} {each.name!r}" for each in from_row),
           f"checked-state events: {len(checked)}: " + listing(checked)])

    mark = listener.mark()
    key("shift+F10")
    item = press_until_focus(["Down"], lambda heard: heard.role == "menu item" and heard.name == HIDE, 6)
    if item is None:
        check("hide from the row's menu lands on a row", False,
              ["the menu item was not reached; focus events: " + listing(listener.focus_since(mark))])
        return
    mark = listener.mark()
    key("Return")
    listener.settle()
    focus = listener.focus_since(mark)
    check("hide from the row's menu lands on a row", bool(focus) and is_row(focus[-1]),
          ["focus events: " + listing(focus)])


def main():
    global listener
    listener = Listener()
    if not listener.wait(lambda: showing(CALENDAR), 30):
        check("the calendar window shows on the accessibility bus", False)
        return 1
    calendar = window(CALENDAR)
    # The strip: the window shown at launch besides the calendar.
    strip = next((each for each in application() if each is not None and each.name != CALENDAR), None)
    check_window_role(CALENDAR)
    check_group_roles(calendar, "filter buttons", FILTERS)
    check_group_roles(calendar, "sort buttons", SORTS)
    idle(strip.path if strip else None)

    mark = listener.mark()
    subprocess.run(["gdbus", "call", "--session", "--dest", "app.vantory.Vantory", "--object-path",
                    "/app/vantory/Vantory", "--method", "app.vantory.Vantory1.ShowSettings"], check=True,
                   stdout=subprocess.DEVNULL)
    if not listener.wait(lambda: showing(SETTINGS) and listener.focus_since(mark), 10):
        check("the settings window opens with the focus in it", False)
        return failures
    # Built on this call, the window named its controls before it first showed (Qt's tab bar its
    # scroll buttons too): nothing the student heard.
    building.append(range(mark, listener.mark()))
    listener.settle()
    check_window_role(SETTINGS)
    check_group_roles(window(SETTINGS), "segment choices", SEGMENTS)
    settings_change()
    leave_settings_on_connection_tab()
    done_and_hide()

    hidden = [each for index, each in enumerate(listener.heard) if each.source is not None and not each.shown
              and not (any(index in span for span in building) and each.window == SETTINGS)]
    check("nothing from hidden windows: no focus, name, description or checked state", not hidden,
          [f"{count} × {kind}" for kind, count in Counter(each.kind for each in hidden).items()]
          + [f"{each.kind} {each}" for each in hidden[:12]])
    return failures


if __name__ == "__main__":
    sys.exit(main())
