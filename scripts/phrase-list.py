"""Prints the entries of the editor's phrase list, one a line, as a screen reader reads them
through the accessibility bus (AT-SPI); prints nothing while the editor shows no such list.
With --place, prints instead where the list's middle is on the screen ("X Y"). Run with the system's Python (its pyatspi), in the
session of the editor's accessibility bus.
"""
import sys

import pyatspi


def phrase_lists(node):
    if node.getRoleName() == "list" and node.name == "Phrases":
        yield node
    for child in node:
        if child is not None:
            yield from phrase_lists(child)


place = "--place" in sys.argv[1:]
for application in pyatspi.Registry.getDesktop(0):
    if application is not None and application.name == "Quorvel":
        for found in phrase_lists(application):
            if place:
                box = found.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                print(box.x + box.width // 2, box.y + box.height // 2)
                break
            for entry in found:
                print(entry.name)
