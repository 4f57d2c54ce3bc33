#!/usr/bin/python3
"""Uses the program as a screen-reader user does, over the AT-SPI bus.

Finds the running program's window, presses "Zur Simulation" and "ERDE" through their
accessible actions, and reads the result fields by their accessible names. Prints what it
read and exits non-zero when a field is missing or shows the wrong text.
"""
import sys
import time

import pyatspi

EXPECTED = {"Flugzeit Erde": "0,49", "Sprunghöhe Erde": "0,29"}


def find_app(name, timeout):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def find(root, predicate):
    return pyatspi.findDescendant(root, predicate, True)


def press(root, label):
    node = find(root, lambda n: n.name == label and n.getRole() == pyatspi.ROLE_PUSH_BUTTON)
    if node is None:
        sys.exit(f"no button '{label}'")
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("Press", "press", "click"):
            action.doAction(i)
            return
    action.doAction(0)


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def main():
    app = find_app("velquor", 20)
    if app is None:
        sys.exit("the program did not appear on the accessibility bus")
    press(app, "Zur Simulation")
    time.sleep(0.5)
    press(app, "ERDE")
    failures = 0
    for name, expected in EXPECTED.items():
        deadline = time.monotonic() + 10
        shown = None
        while time.monotonic() < deadline:
            node = find(app, lambda n, name=name: n.name == name)
            if node is not None:
                shown = text_of(node)
                if shown == expected:
                    break
            time.sleep(0.2)
        print(f"{name}: {shown!r}")
        if shown != expected:
            failures += 1
            print(f"  expected {expected!r}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
