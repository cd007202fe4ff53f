# What the running Qt programs show, read through the accessibility bus as a screen reader
# reads it (so no screenshot and no character recognition):
#   atspi-texts.py texts SECONDS   prints "role<TAB>name" of every window's objects, and of
#                                  the popup menus, which are in no window's tree but announce
#                                  each item as it takes the focus (the menu is its parent)
#   atspi-texts.py where ROLE NAME prints "X Y", the screen centre of the first such object
import sys
import pyatspi
from gi.repository import GLib


def nodes(node, depth=0):
    if node is None or depth > 40:
        return
    try:
        count = node.childCount
    except Exception:
        return
    yield node
    for i in range(count):
        yield from nodes(node.getChildAtIndex(i), depth + 1)


def applications():
    desktop = pyatspi.Registry.getDesktop(0)
    return [desktop.getChildAtIndex(i) for i in range(desktop.childCount)]


def texts(seconds):
    seen = set()

    def show(root):
        for node in nodes(root):
            try:
                line = f"{node.getRoleName()}\t{node.name}"
            except Exception:
                continue
            if node.name and line not in seen:
                seen.add(line)
                print(line, flush=True)

    def on_focus(event):
        show(event.source)
        try:
            show(event.source.parent)
        except Exception:
            pass

    def stop():
        for app in applications():
            show(app)
        pyatspi.Registry.stop()
        return False

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused", "focus:")
    GLib.timeout_add(int(seconds * 1000), stop)
    pyatspi.Registry.start()


def where(role, name):
    for app in applications():
        for node in nodes(app):
            try:
                if node.getRoleName() == role and node.name == name:
                    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                    print(box.x + box.width // 2, box.y + box.height // 2)
                    return 0
            except Exception:
                continue
    print(f"no {role} named {name!r}", file=sys.stderr)
    return 1


if sys.argv[1] == "texts":
    texts(float(sys.argv[2]))
else:
    sys.exit(where(sys.argv[2], sys.argv[3]))
