// The frame time of the current game-board update, in seconds: the application's frame time in
// milliseconds divided by 1000, and 0 while the level is not active. The step of the event
// queue's clock and the level clock, and the argument of the script's LevelUpdate. Main thread.
#pragma once

extern float gFrameSeconds;
