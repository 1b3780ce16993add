"""Reads the running game through the AT-SPI bus, as a screen reader does.

Finds the game's application, its board table and word strip, starts a game
by its keyboard shortcut, and checks: 64 cells named by single letters,
empty before the game; typing the first cell's letter selects that cell and
names the word strip after it; the news label's name change for a refused
word reaches the bus as an event.
"""
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def fail(message):
    print("atspi_probe: " + message, file=sys.stderr)
    sys.exit(1)


def find(node, predicate, depth=0):
    if node is None or depth > 40:
        return None
    if predicate(node):
        return node
    for i in range(node.get_child_count()):
        found = find(node.get_child_at_index(i), predicate, depth + 1)
        if found:
            return found
    return None


def wait_for(read, timeout=10.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = read()
        if value:
            return value
        time.sleep(0.05)
    return read()


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "Tarvle Solo":
            return app
    return None


def letters(table):
    return [Atspi.Table.get_accessible_at(table, r, c).get_name() for r in range(8) for c in range(8)]


def keys(window, *names):
    subprocess.run(["xdotool", "key", "--window", window] + list(names), check=True)


def main():
    window = sys.argv[1]
    app = wait_for(application)
    if app is None:
        fail("the game is not on the accessibility bus")
    table = wait_for(lambda: find(app, lambda n: n.get_role() == Atspi.Role.TABLE))
    if table is None or Atspi.Table.get_n_rows(table) != 8 or Atspi.Table.get_n_columns(table) != 8:
        fail("no 8 x 8 board table")
    if table.get_child_count() != 64:
        fail("the board has %d cells" % table.get_child_count())
    if any(letters(table)):
        fail("letters before a game: %r" % letters(table))

    heard = []

    def on_name(event):
        if event.source.get_role() == Atspi.Role.LABEL and event.source.get_name():
            heard.append(event.source.get_name())

    listener = Atspi.EventListener.new(on_name)
    listener.register("object:property-change:accessible-name")

    keys(window, "ctrl+s")
    dealt = wait_for(lambda: all(letters(table)) and letters(table))
    if not dealt or not all(len(x) == 1 and "A" <= x <= "Z" for x in dealt):
        fail("cells are not the dealt letters: %r" % dealt)

    keys(window, dealt[0].lower())
    strip = find(app, lambda n: n.get_role() == Atspi.Role.LIST and n.get_name().startswith("current word:"))
    if strip is None:
        fail("no word strip")
    if wait_for(lambda: strip.get_name() == "current word: " + dealt[0]) is not True:
        fail("word strip says %r" % strip.get_name())
    first = Atspi.Table.get_accessible_at(table, 0, 0)
    if not first.get_state_set().contains(Atspi.StateType.SELECTED):
        fail("the typed cell is not selected")

    keys(window, "Return")
    deadline = time.monotonic() + 5
    context = GLib.MainContext.default()
    while "Not enough letters." not in heard and time.monotonic() < deadline:
        context.iteration(False)
        time.sleep(0.01)
    listener.deregister("object:property-change:accessible-name")
    if "Not enough letters." not in heard:
        fail("the refusal was not announced; heard %r" % heard)
    print("board %s; heard %r" % ("".join(dealt), heard))


main()
