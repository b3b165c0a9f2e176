// Level time: one process-wide clock in seconds that the game board advances every active update,
// and deadline timers on it. Timers register themselves for their lifetime so that the start of a
// level can stop them all. Used from the thread that runs the game board, one at a time; no lock.
#pragma once
#include <list>

// Seconds of level time since the level started.
extern float gLevelClock;

namespace LevelClock {
// gLevelClock += gFrameSeconds.
void Advance();
} // namespace LevelClock

class LevelTimer;
// Every live timer, in construction order.
extern std::list<LevelTimer*> gLevelTimers;

class LevelTimer {
public:
    // Not running (end 0); registers itself in gLevelTimers.
    LevelTimer();
    ~LevelTimer();
    LevelTimer(const LevelTimer&) = delete;
    LevelTimer& operator=(const LevelTimer&) = delete;

    // Runs until the level clock reaches gLevelClock + seconds.
    void Start(float seconds);
    // gLevelClock < end: a timer is over at its end time exactly.
    bool IsRunning() const;
    float End() const { return end_; }

    // gLevelClock = 0, then every registered timer's end = 0, so none runs.
    static void ResetAll();

private:
    std::list<LevelTimer*>::iterator position_;
    float end_ = 0.0f;
};
