#!/usr/bin/env python3
"""What two form descriptions (.ui files) set differently, component by component.

Qt Designer rewrites a whole description when it saves one: its own indentation, the properties
of each widget in class order, numbers in its own notation, colours without the default alpha.
None of that changes what the form sets. This compares what does: each widget's class and
parent, each property's value (numbers as numbers), list items, the declared classes, the tab
order, resources and connections. It prints one line per difference and exits 1 when there is
any, 0 when the two describe the same form.

    git show HEAD:src/ui/TFRM_JOINTRIX.ui > /tmp/before.ui
    tools/form-diff.py /tmp/before.ui src/ui/TFRM_JOINTRIX.ui
"""

import argparse
import sys
import xml.etree.ElementTree as ET

NUMBERS = {"number", "double", "float", "x", "y", "width", "height", "pointsize", "weight",
           "red", "green", "blue", "hsizetype", "vsizetype", "horstretch", "verstretch"}


def value(element):
    """A property value as text in which equal settings read equal."""
    attributes = dict(element.attrib)
    if element.tag == "color":
        attributes.setdefault("alpha", "255")
    text = (element.text or "").strip()
    if element.tag in NUMBERS and text:
        text = repr(float(text))
    parts = [element.tag]
    parts += ["%s=%s" % item for item in sorted(attributes.items())]
    if text:
        parts.append(repr(text))
    children = [value(child) for child in element]
    if element.tag in ("rect", "size", "font", "color", "sizepolicy"):
        children.sort()
    if children:
        parts.append("{" + ", ".join(children) + "}")
    return " ".join(parts)


def properties(element):
    settings = {}
    for prop in element.findall("property"):
        key = prop.get("name")
        if prop.get("stdset") == "0":
            key += " (stdset=0)"
        settings[key] = " ".join(value(child) for child in prop)
    return settings


def describe(path):
    root = ET.parse(path).getroot()
    form = {}

    def widget(element, parent):
        name = parent + "/" + element.get("name", "")
        form[name + " class"] = element.get("class")
        for key, setting in properties(element).items():
            form[name + " " + key] = setting
        for index, item in enumerate(element.findall("item")):
            for key, setting in properties(item).items():
                form["%s item %d %s" % (name, index, key)] = setting
        for child in element.findall("widget"):
            widget(child, name)
        for child in element.findall("layout"):
            layout(child, name)

    def layout(element, parent):
        name = parent + "/" + element.get("name", "") + " (layout)"
        form[name + " class"] = element.get("class")
        for key, setting in properties(element).items():
            form[name + " " + key] = setting
        for item in element.findall("item"):
            cell = " ".join("%s=%s" % pair for pair in sorted(item.attrib.items()))
            for child in item.findall("widget"):
                form[parent + "/" + child.get("name", "") + " cell"] = cell
                widget(child, parent)
            for child in item.findall("layout"):
                layout(child, parent)
            for spacer in item.findall("spacer"):
                form[parent + "/" + spacer.get("name", "") + " spacer"] = value(spacer)

    top = root.find("widget")
    if top is not None:
        widget(top, "")
    for section in ("class", "customwidgets", "tabstops", "resources", "connections"):
        element = root.find(section)
        form["<" + section + ">"] = value(element) if element is not None else None
    return form


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("before")
    parser.add_argument("after")
    args = parser.parse_args()
    before, after = describe(args.before), describe(args.after)
    differences = 0
    for key in sorted(set(before) | set(after)):
        if before.get(key) != after.get(key):
            differences += 1
            print("%s\n    before: %s\n    after:  %s" % (key, before.get(key), after.get(key)))
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
