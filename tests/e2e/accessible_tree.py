#!/usr/bin/python3
# accessible_tree.py NAME: prints the accessibility tree of the running program NAME as a
# screen reader reads it over AT-SPI, one object a line, tab-separated: role, name, states,
# then for text its characters (line breaks as "|"), caret and lowered and raised offsets; a
# list item ends with its place among its siblings, as a reader counts it ("4/12").
import sys

import pyatspi

STATES = ((pyatspi.STATE_FOCUSED, "focused"), (pyatspi.STATE_EDITABLE, "editable"),
          (pyatspi.STATE_READ_ONLY, "read-only"), (pyatspi.STATE_SELECTED, "selected"))
# A busy program answers slowly: seconds for a call, not libatspi's default of 0.8.
pyatspi.setTimeout(10000, 30000)


def describe(node):
    states = node.getState()
    fields = [node.getRoleName(), node.name or "",
              ",".join(name for state, name in STATES if states.contains(state))]
    if node.getRoleName() == "list item":
        fields.append("position=%d/%d" % (node.getIndexInParent() + 1, node.parent.childCount))
    try:
        text = node.queryText()
    except NotImplementedError:
        return "\t".join(fields)
    letters = text.getText(0, -1)
    marks = {"sub": [], "super": []}
    for offset in range(len(letters)):
        attributes = dict(pair.strip().partition(":")[::2]
                          for pair in text.getAttributes(offset)[0].split(";") if pair.strip())
        marks.get(attributes.get("vertical-align"), []).append(str(offset))
    return "\t".join(fields + ["text=" + letters.replace("\n", "|"), "caret=%d" % text.caretOffset,
                               "sub=" + ",".join(marks["sub"]), "super=" + ",".join(marks["super"])])


def walk(node):
    print(describe(node))
    for child in node:
        if child is not None:
            walk(child)


for application in pyatspi.Registry.getDesktop(0):
    if application is not None and application.name.lower() == sys.argv[1].lower():
        walk(application)
        break
else:
    sys.exit("no program '%s' on the accessibility bus" % sys.argv[1])
