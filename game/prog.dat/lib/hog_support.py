"""Helpers of the Corvin HOG game module: the callback log and the screen layout files.

The log is a plain text file, one line per engine callback, appended as the callbacks run; the
environment variable CORVIN_HOG_LOG names it (no log without it). Layout files are read through
the engine's archives with py_utils.ReadFilePak.
"""
import os

import py_utils

LOG_VARIABLE = "CORVIN_HOG_LOG"


def log(line):
    path = os.environ.get(LOG_VARIABLE)
    if not path:
        return
    with open(path, "a") as f:
        f.write(line + "\n")


class LayoutEntry(object):
    """One widget of a screen: name, rectangle, picture id, whether it takes the mouse."""

    def __init__(self, name, x, y, width, height, picture, clickable):
        self.name = name
        self.x = x
        self.y = y
        self.width = width
        self.height = height
        self.picture = picture
        self.clickable = clickable

    def contains(self, x, y):
        return self.x <= x < self.x + self.width and self.y <= y < self.y + self.height


def parse_layout(text):
    """Entries of a layout text: "name x y width height picture [click]" a line, '#' comments."""
    entries = []
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        fields = line.split()
        if len(fields) not in (6, 7) or (len(fields) == 7 and fields[6] != "click"):
            raise ValueError("layout line %d: expected 'name x y width height picture [click]': %r"
                             % (number, raw))
        x, y, width, height = [int(v) for v in fields[1:5]]
        entries.append(LayoutEntry(fields[0], x, y, width, height, fields[5], len(fields) == 7))
    return entries


def read_layout(level_name):
    """The layout of a level: "levels\\<name>.txt" from the game's archives."""
    text = py_utils.ReadFilePak("levels\\%s.txt" % level_name)
    if not text:
        raise IOError("no layout for level %r" % level_name)
    return parse_layout(text)
