#!/usr/bin/env python3
"""Writes the extension's Addons.xcu (the Stock Master menu) from the menu's list of entries."""

import os
import sys
from xml.sax.saxutils import escape

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "extension", "pythonpath"))
from orvstock_calc import entries  # noqa: E402

CONTEXT = "com.sun.star.sheet.SpreadsheetDocument"


def prop(name, value):
    return ('<prop oor:name="%s" oor:type="xs:string"><value>%s</value></prop>'
            % (name, escape(value)))


def item(number, url, title):
    return ('<node oor:name="m%02d" oor:op="replace">%s%s%s%s</node>'
            % (number, prop("URL", url), prop("Title", title), prop("Target", "_self"),
               prop("Context", CONTEXT)))


def main(path):
    items = []
    number = 0
    for entry in entries.ENTRIES:
        if entry.separator_before and items:
            number += 1
            items.append(item(number, "private:separator", ""))
        number += 1
        items.append(item(number, entries.url(entry), entry.title))
    text = """<?xml version="1.0" encoding="UTF-8"?>
<oor:component-data xmlns:oor="http://openoffice.org/2001/registry"
    xmlns:xs="http://www.w3.org/2001/XMLSchema" oor:name="Addons" oor:package="org.openoffice.Office">
 <node oor:name="AddonUI">
  <node oor:name="OfficeMenuBar">
   <node oor:name="%s.menu" oor:op="replace">
    %s
    %s
    <node oor:name="Submenu">
     %s
    </node>
   </node>
  </node>
 </node>
</oor:component-data>
""" % (entries.SERVICE, prop("Title", entries.MENU_TITLE), prop("Context", CONTEXT),
       "\n     ".join(items))
    with open(path, "w", encoding="utf-8") as out:
        out.write(text)


if __name__ == "__main__":
    main(sys.argv[1])
