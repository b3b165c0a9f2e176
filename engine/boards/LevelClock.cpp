// The level clock and its timers.
#include "engine/boards/LevelClock.h"

#include "engine/core/FrameSeconds.h"

float gLevelClock = 0.0f;
std::list<LevelTimer*> gLevelTimers;

void LevelClock::Advance()
{
    gLevelClock += gFrameSeconds;
}

LevelTimer::LevelTimer() : position_(gLevelTimers.insert(gLevelTimers.end(), this)) {}

LevelTimer::~LevelTimer()
{
    gLevelTimers.erase(position_);
}

void LevelTimer::Start(float seconds)
{
    end_ = gLevelClock + seconds;
}

bool LevelTimer::IsRunning() const
{
    return gLevelClock < end_;
}

void LevelTimer::ResetAll()
{
    gLevelClock = 0.0f;
    for (LevelTimer* timer : gLevelTimers)
        timer->end_ = 0.0f;
}
