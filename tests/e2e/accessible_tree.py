#!/usr/bin/python3
# accessible_tree.py NAME: prints the accessibility tree of the running program NAME as a
# screen reader reads it over AT-SPI, one object a line, tab-separated: role, name, states
# (focused, editable, read-only), then for text its characters (line breaks as "|"), caret
# and the offsets of lowered and raised letters.
import sys

import pyatspi


def describe(node):
    states = node.getState()
    fields = [node.getRoleName(), node.name or ""]
    fields.append(",".join(name for state, name in ((pyatspi.STATE_FOCUSED, "focused"),
                                                    (pyatspi.STATE_EDITABLE, "editable"),
                                                    (pyatspi.STATE_READ_ONLY, "read-only"))
                           if states.contains(state)))
    try:
        text = node.queryText()
    except NotImplementedError:
        return "\t".join(fields)
    letters = text.getText(0, -1)
    marks = {"sub": [], "super": []}
    offset = 0
    while offset < len(letters):
        attributes, start, end = text.getAttributes(offset)
        for pair in attributes.split(";"):
            key, _, value = pair.strip().partition(":")
            if key == "vertical-align" and value in marks:
                marks[value].extend(range(max(start, offset), end))
        offset = max(end, offset + 1)
    fields += ["text=" + letters.replace("\n", "|"), "caret=%d" % text.caretOffset,
               "sub=" + ",".join(map(str, marks["sub"])),
               "super=" + ",".join(map(str, marks["super"]))]
    return "\t".join(fields)


def walk(node, depth):
    if node is None or depth > 30:
        return
    print(describe(node))
    for child in node:
        walk(child, depth + 1)


for application in pyatspi.Registry.getDesktop(0):
    if application is not None and application.name.lower() == sys.argv[1].lower():
        walk(application, 0)
        break
else:
    sys.exit("no program '%s' on the accessibility bus" % sys.argv[1])
