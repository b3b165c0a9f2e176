"""Corvin HOG, the engine's sample game: a menu with one button and a level of three gems to find.

A "level" is a screen of the game: "menu" first, then "level1". Each screen's widgets come from
its layout file (levels\\<name>.txt in data.pak). Clicking the menu's button starts the level;
clicking a gem marks it found. Every callback writes one line to the log of hog_support.
"""
import sys
import traceback

import hog_support as hog

_engine = None
_screens = {}      # level name -> list of (LayoutEntry, twin)
_current = None    # level name of the screen shown


class _Item(object):
    """The script object behind one widget of a screen."""

    def __init__(self, entry):
        self.id = entry.name
        self.entry = entry


def _build(level):
    items = []
    for entry in hog.read_layout(level):
        twin = _engine.CreateWidget(_Item(entry), None)
        twin.SetTexture(entry.picture, 0, 0, entry.width, entry.height, 0, 0, 0, 0)
        twin.x = entry.x
        twin.y = entry.y
        twin.width = entry.width
        twin.height = entry.height
        _engine.AddWidget(twin, entry.name)
        items.append((entry, twin))
    return items


def _show(level, shown):
    for entry, twin in _screens.get(level, ()):
        twin.visible = 1 if shown else 0
        twin.allow_mouse = 1 if (shown and entry.clickable) else 0


def _hit(x, y):
    """The clickable (entry, twin) of the current screen under (x, y), or None."""
    under = _engine.mouse_widget
    for entry, twin in _screens.get(_current, ()):
        if entry.clickable and (twin is under or (under is None and entry.contains(x, y))):
            return entry, twin
    return None


# ---- engine callbacks -------------------------------------------------------------------------

def InitGame(engine):
    global _engine
    hog.log("InitGame")
    _engine = engine
    engine.SetLoadingSkin("level1")
    engine.LoadLevel("menu")


def LevelFree(engine):
    hog.log("LevelFree")
    # The board keeps the widgets (it deletes them when the game ends); a freed screen is hidden
    # and takes no input.
    if _current is not None:
        _show(_current, False)


def LoadLevel(name):
    global _current
    hog.log("LoadLevel:" + name)
    if name not in _screens:
        _screens[name] = _build(name)
    for entry, twin in _screens[name]:
        twin.visible = 1
        twin.allow_mouse = 1 if entry.clickable else 0
    _current = name


def LevelUpdate(seconds):
    hog.log("LevelUpdate")


def MouseDown(x, y, button, clicks):
    hog.log("MouseDown:%d,%d,%d,%d" % (x, y, button, clicks))
    hit = _hit(x, y)
    if hit is None:
        return
    _engine.SoundPlay("click")
    entry, twin = hit
    if _current != "menu":
        # A found gem shows the "found" picture over its own and takes no more clicks.
        twin.SetTexture("gem_found", 0, 0, entry.width, entry.height, 0, 0, 0, 0)
        twin.LoadTexture()
        twin.allow_mouse = 0


def MouseUp(x, y, button):
    hog.log("MouseUp:%d,%d,%d" % (x, y, button))
    if _current == "menu" and button == 0 and _hit(x, y) is not None:
        _engine.LoadLevel("level1")


def MouseMove(x, y):
    hog.log("MouseMove:%d,%d" % (x, y))


def KeyUp(key):
    hog.log("KeyUp:" + key)


def Shutdown():
    hog.log("Shutdown")
    _engine.Shutdown()


def DeinitGame():
    hog.log("DeinitGame")


# ---- services the engine uses to report script state ----------------------------------------

def full_traceback():
    hog.log("full_traceback")
    traceback.print_stack(file=sys.stderr)
    sys.stderr.flush()


def get_object_repr(*args):
    return " ".join(repr(a) for a in args)


def DbgWriteCallback(text):
    hog.log("DbgWrite:" + text)
