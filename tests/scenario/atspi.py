#!/usr/bin/python3
"""atspi.py APP: what a screen reader reads of APP on the accessibility bus, one line per object:
depth, role, name, description and states ("focused", "showing"), separated by tabs."""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

MARKS = (("focused", Atspi.StateType.FOCUSED), ("showing", Atspi.StateType.SHOWING))


def walk(obj, depth):
    states = obj.get_state_set()
    marks = ",".join(name for name, state in MARKS if states.contains(state))
    fields = (str(depth), obj.get_role_name(), obj.get_name(), obj.get_description(), marks)
    print("\t".join(field.replace("\t", " ") for field in fields))
    for i in range(obj.get_child_count()):
        child = obj.get_child_at_index(i)
        if child is not None:
            walk(child, depth + 1)


desktop = Atspi.get_desktop(0)
apps = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
found = [app for app in apps if app is not None and app.get_name() == sys.argv[1]]
for app in found:
    walk(app, 0)
sys.exit(0 if found else 1)
