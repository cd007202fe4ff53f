#!/usr/bin/python3
"""Prints, as JSON, the texts a screen reader gets from one program's windows: for every
accessible object its role, name and (for text boxes) its text. The end-to-end test reads the
labels this way, as shown, without hooks in the program. Needs python3-pyatspi (Debian's
Python: run with /usr/bin/python3) and the program started with
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 inside a D-Bus session."""
import json
import sys

import pyatspi


def texts_of(node, found, depth=0):
    if depth > 40:
        return
    try:
        role, name = node.getRoleName(), node.name or ''
    except Exception:  # an object that went away while it was read
        return
    text = ''
    try:
        interface = node.queryText()
        text = interface.getText(0, interface.characterCount)
    except Exception:
        pass
    found.append({'role': role, 'name': name, 'text': text})
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            texts_of(child, found, depth + 1)


def main():
    pid = int(sys.argv[1])
    desktop = pyatspi.Registry.getDesktop(0)
    found = []
    for i in range(desktop.childCount):
        application = desktop.getChildAtIndex(i)
        try:
            if application is None or application.get_process_id() != pid:
                continue
        except Exception:
            continue
        texts_of(application, found)
    json.dump(found, sys.stdout, ensure_ascii=False)


if __name__ == '__main__':
    main()
