"""Corvin HOG, the engine's sample game: a menu with the players' profiles and the sound options,
and a level of gems to find.

A "level" is a screen of the game: "menu" first, then "level1". Each screen's widgets come from its
layout file (levels\\<name>.txt in data.pak), one script twin per line. The menu keeps the players
(a list of the profiles, an edit box to type a new name, a button to remove the chosen one), the
music volume (a slider) and the sound switch (a check box); its PLAY button glows and pulses under
the mouse. In the level each gem found bursts into sparks, grows and fades, the counter text counts
it, a hint shows after a while, and once all are found the result goes into the player's profile
and the game returns to the menu. Every callback and every game event writes one line to the log of
hog_support.
"""
import math
import sys
import traceback

import hog_support as hog

_engine = None
_screens = {}      # level name -> _Screen
_current = None    # level name of the screen shown
_muted = False

GROW_SECONDS = 0.6       # a found gem grows and fades out over this time
BURST_SECONDS = 0.06     # sparks are emitted for this long after a find
RETURN_SECONDS = 1.5     # the level shows "all found" this long before the menu comes back


class _Item(object):
    """The script object behind one widget of a screen."""

    def __init__(self, entry):
        self.id = entry.name
        self.entry = entry
        self.twin = None


class _EditItem(_Item):
    """The new player's name: Enter makes a profile of it."""

    def on_key_enter(self, key):
        if key != "RETURN":
            return
        name = (self.twin.text or "").strip()
        if not name:
            return
        created = _engine.ProfileCreate(name)
        hog.log("ProfileCreate:%s:%d" % (name, created))
        if not created:
            # The name is taken: choose that player.
            names = list(_engine.users_list)
            if name in names:
                _engine.ProfileSelect(names.index(name))
        self.twin.text = u""
        _refresh_players()


class _ButtonItem(_Item):
    """A picture button: under the mouse it glows and pulses.

    The glowing picture is a widget of its own, a child of the button drawn over its picture, seen
    only while the mouse is over the button. The button's own picture is never swapped: SetTexture
    adds a texture to the ones a widget already draws, it does not replace them."""

    def __init__(self, entry):
        _Item.__init__(self, entry)
        self.glow = None     # the twin of the glowing picture, when it differs from the picture
        self.glowing = False
        self.phase = 0.0

    def add_glow(self):
        e = self.entry
        picture = e.get("hover")
        if not picture or picture == e.get("picture"):
            return
        part = _Item(e)
        part.id = e.name + "_glow"
        glow = _engine.CreateWidget(part, self.twin)
        glow.SetTexture(picture, 0, 0, e.width, e.height, 0, 0, 0, 0)
        glow.x = 0
        glow.y = 0
        glow.width = e.width
        glow.height = e.height
        # Shown with the button and see-through until the mouse comes: its picture stays loaded
        # while the menu shows, and it takes no mouse (the button under it does).
        glow.alpha = 0.0
        glow.visible = 1
        self.twin.AddWidget(glow, part.id)
        part.twin = glow
        self.glow = glow

    def set_glowing(self, glowing):
        if self.glow is not None:
            self.glow.alpha = 1.0 if glowing else 0.0
        self.glowing = glowing

    def update(self, milliseconds):
        hover = bool(self.twin.hover) and bool(self.twin.visible)
        if hover != self.glowing:
            self.set_glowing(hover)
            self.phase = 0.0
            if not hover:
                self.twin.scale = 1.0
        if hover:
            self.phase += milliseconds / 1000.0
            self.twin.scale = 1.0 + 0.04 * math.sin(self.phase * 2 * math.pi * 1.5)


class _GemItem(_Item):
    """A gem: found once, then it grows and fades while its sparks burst."""

    def __init__(self, entry):
        _Item.__init__(self, entry)
        self.found = False
        self.age = 0.0
        self.sparks = None   # the burst (a particle system of the effects layer)
        self.sound = None    # the "found" sample's own instance

    def reset(self):
        self.found = False
        self.twin.update_fn = None
        self.twin.scale = 1.0
        self.twin.alpha = 1.0
        self.twin.visible = 1
        self.twin.allow_mouse = 1
        if self.sparks is not None:
            self.sparks.ResetPS()

    def find(self):
        self.found = True
        self.age = 0.0
        self.twin.allow_mouse = 0
        self.twin.update_fn = self.grow
        if self.sound is not None:
            self.sound.Play()
        if self.sparks is not None:
            self.sparks.ResetPS()
            self.sparks.update_fn = self.burst
            self.sparks.Play()

    def grow(self, milliseconds):
        self.age += milliseconds / 1000.0
        t = min(self.age / GROW_SECONDS, 1.0)
        self.twin.scale = 1.0 + 0.8 * t
        self.twin.alpha = 1.0 - t
        if t >= 1.0:
            self.twin.visible = 0
            self.twin.update_fn = None

    def burst(self, milliseconds):
        if self.age >= BURST_SECONDS:
            self.sparks.Stop()
            self.sparks.update_fn = None


class _Screen(object):
    def __init__(self, name, items):
        self.name = name
        self.items = items                      # in layout order
        self.by_name = dict((i.entry.name, i) for i in items)

    def widget(self, name):
        item = self.by_name.get(name)
        return item.twin if item else None

    def of_kind(self, kind):
        return [i for i in self.items if i.entry.kind == kind]


# ---- building the screens ------------------------------------------------------------------------

def _place(twin, entry):
    twin.x = entry.x
    twin.y = entry.y
    twin.width = entry.width
    twin.height = entry.height


def _text_style(entry):
    return {"normal": {"font": entry.get("font", "main"), "color": entry.colour()}}


def _make(entry):
    kind = entry.kind
    e = _engine
    if kind == "edit":
        item = _EditItem(entry)
    elif kind == "button":
        item = _ButtonItem(entry)
    elif kind == "gem":
        item = _GemItem(entry)
    else:
        item = _Item(entry)

    if kind in ("picture", "button", "gem", "effects"):
        twin = e.CreateWidget(item, None)
        if kind != "effects":
            twin.SetTexture(entry.get("picture"), 0, 0, entry.width, entry.height, 0, 0, 0, 0)
        _place(twin, entry)
        if kind in ("button", "gem"):
            twin.scalepoint_x = entry.width // 2
            twin.scalepoint_y = entry.height // 2
    elif kind in ("text", "hint"):
        twin = e.CreateText(item, None)
        _place(twin, entry)
        twin.styles = _text_style(entry)
        twin.justify = hog.JUSTIFY[entry.get("justify", "left")]
        twin.valign = 0
        twin.label = entry.get("label")
    elif kind == "list":
        twin = e.CreateListbox(item, None)
        _place(twin, entry)
        twin.font = entry.get("font", "main")
        twin.text_color = [255, 255, 250, 235]
        twin.sel_color = [200, 190, 130, 40]
        twin.left_indent = 10
    elif kind == "edit":
        twin = e.CreateEdit(item, None)
        _place(twin, entry)
        twin.SetTexture(entry.get("picture"), 0, 0, entry.width, entry.height, 0, 0, 0, 0)
        twin.styles = {"normal": {"font": entry.get("font", "main"), "color": [255, 50, 30, 20],
                                  "hcolor": [255, 255, 255, 255]}}
        twin.hilight_background = [255, 80, 120, 200]
    elif kind == "slider":
        twin = e.CreateSlider(item, None)
        _place(twin, entry)
        thumb = entry.height
        twin.fill_image = (entry.get("track"), 0, 0, entry.width - thumb, 8)
        twin.empty_image = (entry.get("thumb"), 0, 0, thumb, thumb)
        twin.MakeBar()
    elif kind == "check":
        twin = e.CreateCheckbox(item, None)
        _place(twin, entry)
        w, h = entry.width, entry.height
        twin.tex_norm = (entry.get("off"), 0, 0, w, h)
        twin.tex_over = (entry.get("off_over"), 0, 0, w, h)
        twin.tex_disabled = (entry.get("off"), 0, 0, w, h)
        twin.tex_norm_checked = (entry.get("on"), 0, 0, w, h)
        twin.tex_over_checked = (entry.get("on_over"), 0, 0, w, h)
        twin.tex_disabled_checked = (entry.get("on"), 0, 0, w, h)
        twin.PrepareTextures()
    else:
        raise ValueError("unknown widget kind %r" % kind)
    item.twin = twin
    e.AddWidget(twin, entry.name)
    if kind == "button":
        item.add_glow()
        twin.update_fn = item.update
    return item


def _build(level):
    items = [_make(entry) for entry in hog.read_layout(level)]
    screen = _Screen(level, items)
    sparks = screen.of_kind("effects")
    for gem in screen.of_kind("gem"):
        gem.sound = _engine.CreateSound("found")
        if not sparks:
            break
        # One burst for each gem, drawn by the effects layer over everything before it.
        ps = sparks[0].twin.CreatePS("spark")
        e = gem.entry
        ps.pos_x = e.x + e.width / 2.0
        ps.pos_y = e.y + e.height / 2.0
        ps.born_speed = 1500.0
        ps.born_move_vel = 300.0
        ps.born_size = 1.4
        ps.die_size = 0.3
        ps.life_time = 0.9
        ps.friction_time = 0.5
        ps.scatter_range = 360.0
        ps.gravity_x = 0.0
        ps.gravity_y = 0.0
        ps.error = 0.4
        ps.age_clr = {0.0: [255, 255, 255, 255], 0.4: [255, 255, 230, 120], 1.0: [0, 255, 160, 40]}
        gem.sparks = ps
    return screen


def _show(screen, shown):
    for item in screen.items:
        e = item.entry
        hidden = e.kind == "hint" or e.get("hidden") == "1"
        item.twin.visible = 1 if (shown and not hidden) else 0
        item.twin.allow_mouse = 1 if (shown and e.clickable) else 0


# ---- the menu --------------------------------------------------------------------------------------

def _menu():
    return _screens.get("menu")


def _refresh_players():
    """The profile list, the chosen player's name and best result from the profile store."""
    menu = _menu()
    names = list(_engine.users_list)
    active = _engine.active_user
    chosen = 0 <= active < len(names)
    profiles = menu.widget("profiles")
    if profiles is not None:
        profiles.Clear()
        for name in names:
            profiles.AddLine(name)
        profiles.selected_item = active if chosen else -1
    if chosen:
        _engine.SetKeyText("player", _engine.active_user_name)
        best = hog.parse_result(_engine.profile_data).get("best")
        if best:
            _engine.SetKeyText("best", u"%s s" % best)
        else:
            _engine.SetKeyLoc("best", "menu_no_best")
    else:
        _engine.SetKeyText("player", u"-")
        _engine.SetKeyLoc("best", "menu_no_best")


def _slider_volume():
    slider = _menu().widget("music")
    return int(slider.value * 100 + 0.5) if slider is not None else None


_volume_applied = None   # the music volume last given to the engine
_volume_reported = None  # the one last written to the log


def _apply_volume(report):
    """Follows the slider: the volume changes as the thumb moves; a release reports it."""
    global _volume_applied, _volume_reported
    volume = _slider_volume()
    if volume is None:
        return
    if volume != _volume_applied:
        _engine.SetMasterVolume("music_master", volume)
        _volume_applied = volume
    if report and volume != _volume_reported:
        _volume_reported = volume
        hog.log("MusicVolume:%d" % volume)


def _apply_mute(muted):
    global _muted
    if muted == _muted:
        return
    _muted = muted
    _engine.SetMasterVolume("sfx_master", 0 if muted else 100)
    if muted:
        _engine.MusicPause()
    else:
        _engine.MusicResume()
    hog.log("Mute:%d" % (1 if muted else 0))


def _enter_menu():
    global _volume_applied, _volume_reported, _muted
    menu = _menu()
    _refresh_players()
    slider = menu.widget("music")
    if slider is not None:
        slider.value = _engine.master_music / 100.0
        _volume_applied = _volume_reported = _slider_volume()
    _muted = _engine.master_sfx == 0
    mute = menu.widget("mute")
    if mute is not None:
        mute.checked = 1 if _muted else 0


def _menu_down(hit):
    name = hit.entry.name
    if name == "new_name":
        hit.twin.GotFocus()
    elif name == "music":
        _apply_volume(False)
    elif hit.entry.kind == "button":
        _engine.SoundPlay("click")
        if name == "remove":
            active = _engine.active_user
            if 0 <= active < len(list(_engine.users_list)):
                _engine.ProfileDelete(active)
                hog.log("ProfileDelete:%d" % active)
                _refresh_players()


def _menu_up(hit, button):
    name = hit.entry.name
    if name == "profiles":
        chosen = hit.twin.selected_item
        names = list(_engine.users_list)
        if 0 <= chosen < len(names):
            _engine.ProfileSelect(chosen)
            hog.log("ProfileSelect:%d:%s" % (chosen, names[chosen]))
            _engine.SoundPlay("click")
            _refresh_players()
    elif name == "mute":
        _apply_mute(bool(hit.twin.checked))
    elif name == "music":
        _apply_volume(True)
    elif name == "play" and button == 0:
        _engine.SetLoadingSkin("level1")
        _engine.LoadLevel("level1")


# ---- the level ---------------------------------------------------------------------------------

class _Round(object):
    """The state of one round of a level."""

    def __init__(self, screen):
        self.screen = screen
        self.seconds = 0.0
        self.found = 0
        self.total = len(screen.of_kind("gem"))
        self.done_for = None     # seconds since the last find, once all are found
        self.hint_shown = False


_round = None


def _enter_level(screen):
    global _round
    _round = _Round(screen)
    for gem in screen.of_kind("gem"):
        gem.reset()
    _engine.SetKeyInt("found", 0)
    _engine.SetKeyInt("total", _round.total)


def _find(gem):
    r = _round
    gem.find()
    r.found += 1
    _engine.SetKeyInt("found", r.found)
    hog.log("Found:%s:%d" % (gem.entry.name, r.found))
    if r.found < r.total:
        return
    r.done_for = 0.0
    done = r.screen.widget("done")
    if done is not None:
        done.visible = 1
    for hint in r.screen.of_kind("hint"):
        hint.twin.visible = 0
    if _engine.active_user >= 0:
        _engine.profile_data = hog.better_result(_engine.profile_data, r.seconds, r.found)
    hog.log("LevelDone:%d" % r.found)


def _level_update(seconds):
    r = _round
    if r is None:
        return
    r.seconds += seconds
    if r.done_for is not None:
        before = r.done_for
        r.done_for += seconds
        if before < RETURN_SECONDS <= r.done_for:
            _engine.SetLoadingSkin("default")
            _engine.LoadLevel("menu")
        return
    for hint in r.screen.of_kind("hint"):
        if not r.hint_shown and r.seconds >= float(hint.entry.get("after", "10")):
            hint.twin.visible = 1
            r.hint_shown = True


def _hit(x, y):
    """The clickable item of the current screen under (x, y), or None."""
    screen = _screens.get(_current)
    if screen is None:
        return None
    for item in reversed(screen.items):
        if item.entry.clickable and item.entry.contains(x, y) and item.twin.visible:
            if item.entry.kind == "gem" and item.found:
                continue
            return item
    return None


# ---- engine callbacks -------------------------------------------------------------------------

def InitGame(engine):
    global _engine
    hog.log("InitGame")
    _engine = engine
    engine.SetLoadingSkin("default")
    engine.LoadLevel("menu")


def LevelFree(engine):
    hog.log("LevelFree")
    # The board keeps the widgets (it deletes them when the game ends); a freed screen is hidden
    # and takes no input.
    if _current is not None and _current in _screens:
        _show(_screens[_current], False)


def LoadLevel(name):
    global _current
    hog.log("LoadLevel:" + name)
    if name not in _screens:
        _screens[name] = _build(name)
    screen = _screens[name]
    _show(screen, True)
    if name == "menu":
        _enter_menu()
        _engine.MusicChange("menu")
    else:
        _enter_level(screen)
        _engine.MusicChange("level")
    if _muted:
        _engine.MusicPause()
    _current = name


def LevelUpdate(seconds):
    hog.log("LevelUpdate")
    if _current is not None and _current != "menu":
        _level_update(seconds)


def MouseDown(x, y, button, clicks):
    hog.log("MouseDown:%d,%d,%d,%d" % (x, y, button, clicks))
    hit = _hit(x, y)
    if hit is None:
        return
    if _current == "menu":
        _menu_down(hit)
    elif hit.entry.kind == "gem" and button == 0:
        _find(hit)


def MouseUp(x, y, button):
    hog.log("MouseUp:%d,%d,%d" % (x, y, button))
    hit = _hit(x, y)
    if hit is not None and _current == "menu":
        _menu_up(hit, button)


def MouseMove(x, y):
    hog.log("MouseMove:%d,%d" % (x, y))
    if _current == "menu":
        _apply_volume(False)  # the slider's thumb is dragged


def KeyUp(key):
    hog.log("KeyUp:" + key)


def Shutdown():
    hog.log("Shutdown")
    # A close request may come before InitGame gave the game its engine object (on a splash page):
    # then the engine ends the program itself.
    if _engine is not None:
        _engine.Shutdown()


def DeinitGame():
    hog.log("DeinitGame")
    # The gems' particle systems and sound items are left to the engine: it releases them when
    # the interpreter ends.


# ---- services the engine uses to report script state ----------------------------------------

def full_traceback():
    hog.log("full_traceback")
    traceback.print_stack(file=sys.stderr)
    sys.stderr.flush()


def get_object_repr(*args):
    return " ".join(repr(a) for a in args)


def DbgWriteCallback(text):
    hog.log("DbgWrite:" + text)
