# Stand-in game module until the sample game exists: every callback the engine makes, each saying
# that it ran.
import sys


def _say(text):
    sys.stdout.write("CorvinHOG: " + text + "\n")
    sys.stdout.flush()


def InitGame(engine):
    _say("InitGame")


def LoadLevel(name):
    _say("LoadLevel " + str(name))


def LevelUpdate(seconds):
    pass


def LevelFree(engine):
    _say("LevelFree")


def DeinitGame():
    _say("DeinitGame")


def Shutdown():
    _say("Shutdown")


def MouseDown(x, y, button, clicks):
    pass


def MouseUp(x, y, button):
    pass


def MouseMove(x, y):
    pass


def KeyUp(key):
    pass
