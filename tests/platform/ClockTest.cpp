#include "platform/Clock.h"
#include "platform/fake/FakeClock.h"
#include "platform/linux/SteadyClock.h"

#include <gtest/gtest.h>

namespace {

using Platform::FakeClock;

TEST(FakeClock, MovesOnlyWhenToldAndWrapsAt2To32)
{
    FakeClock clock(0xFFFFFFF0u);
    const uint32_t start = clock.TimeGetTime();
    EXPECT_EQ(clock.TimeGetTime(), start) << "time moved without Sleep or Advance";
    clock.Sleep(0x20);
    EXPECT_EQ(clock.TimeGetTime(), 0x10u) << "expected the counter to wrap past 2^32";
    EXPECT_EQ(uint32_t(clock.TimeGetTime() - start), 0x20u);
    EXPECT_EQ(clock.GetTickCount(), clock.TimeGetTime());
    clock.Advance(5);
    EXPECT_EQ(clock.TimeGetTime(), 0x15u);
    EXPECT_EQ(clock.SleptMs(), 0x20u);
    EXPECT_EQ(clock.SleepCalls(), 1u);
}

TEST(FakeClock, NeverStartsAtZero)
{
    EXPECT_NE(FakeClock(0).TimeGetTime(), 0u);
    EXPECT_NE(FakeClock().TimeGetTime(), 0u);
}

TEST(Clock, InstalledClockIsTheProcessClockUntilRemoved)
{
    Platform::Clock* const real = &Platform::GetClock();
    {
        FakeClock fake(1234);
        Platform::ScopedClock installed(fake);
        EXPECT_EQ(Platform::GetClock().TimeGetTime(), 1234u);
        Platform::GetClock().Sleep(6);
        EXPECT_EQ(fake.TimeGetTime(), 1240u);
    }
    EXPECT_EQ(&Platform::GetClock(), real);
}

TEST(SteadyClock, NonZeroAndNonDecreasing)
{
    Platform::SteadyClock clock;
    const uint32_t a = clock.TimeGetTime();
    const uint32_t b = clock.TimeGetTime();
    EXPECT_NE(a, 0u);
    EXPECT_LT(uint32_t(b - a), 0x80000000u) << "went backwards: " << a << " then " << b;
}

} // namespace
