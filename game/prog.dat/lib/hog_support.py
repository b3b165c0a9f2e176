"""Helpers of the Corvin HOG game module: the callback log, the screen layout files and the
profile's result record.

The log is a plain text file, one line per engine callback and per game event, appended as they
happen; the environment variable CORVIN_HOG_LOG names it (no log without it). Layout files are read
through the engine's archives with py_utils.ReadFilePak.
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


JUSTIFY = {"left": -1, "centre": 0, "right": 1}


class LayoutEntry(object):
    """One widget of a screen: its kind, name, rectangle and the options of its kind."""

    def __init__(self, kind, name, x, y, width, height, options):
        self.kind = kind
        self.name = name
        self.x = x
        self.y = y
        self.width = width
        self.height = height
        self.options = options

    def get(self, key, default=None):
        return self.options.get(key, default)

    def colour(self):
        """The "colour" option (AARRGGBB) as [a, r, g, b]; opaque white without it."""
        value = int(self.options.get("colour", "FFFFFFFF"), 16)
        return [(value >> 24) & 0xFF, (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF]

    def contains(self, x, y):
        return self.x <= x < self.x + self.width and self.y <= y < self.y + self.height

    @property
    def clickable(self):
        return self.kind in ("button", "gem", "edit", "slider", "check", "list")


KINDS = ("picture", "button", "text", "list", "edit", "slider", "check", "gem", "effects", "hint")


def parse_layout(text):
    """Entries of a layout text: "kind name x y width height [key=value ...]" a line, '#' comments."""
    entries = []
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.split("#", 1)[0].strip()
        if not line:
            continue
        fields = line.split()
        if len(fields) < 6 or fields[0] not in KINDS:
            raise ValueError("layout line %d: expected 'kind name x y width height [key=value ...]': %r"
                             % (number, raw))
        options = {}
        for field in fields[6:]:
            key, sep, value = field.partition("=")
            if not sep:
                raise ValueError("layout line %d: expected key=value, found %r" % (number, field))
            options[key] = value
        x, y, width, height = [int(v) for v in fields[2:6]]
        entries.append(LayoutEntry(fields[0], fields[1], x, y, width, height, options))
    return entries


def read_layout(level_name):
    """The layout of a level: "levels\\<name>.txt" from the game's archives."""
    text = py_utils.ReadFilePak("levels\\%s.txt" % level_name)
    if not text:
        raise IOError("no layout for level %r" % level_name)
    return parse_layout(text)


def parse_result(data):
    """A profile's data "found=N;best=S" as a dict of its fields (empty for anything else)."""
    result = {}
    for part in (data or "").split(";"):
        key, sep, value = part.partition("=")
        if sep:
            result[key.strip()] = value.strip()
    return result


def format_result(result):
    return ";".join("%s=%s" % (k, result[k]) for k in sorted(result))


def better_result(old_data, seconds, found):
    """The data to keep after a level finished in seconds with found gems: the best (lowest) time
    of a complete round stays."""
    result = parse_result(old_data)
    result["found"] = str(found)
    try:
        best = float(result.get("best", ""))
    except ValueError:
        best = None
    if best is None or seconds < best:
        result["best"] = "%.1f" % seconds
    rounds = result.get("rounds", "")
    result["rounds"] = str((int(rounds) if rounds.isdigit() else 0) + 1)
    return format_result(result)
