// Timing core of the application object, driven step by step with the fake clock: catch-up after a
// stall, refresh-paced updates, the broken-vsync test, the delete-later list. Every suite runs with
// the clock at an ordinary value and just below 2^32, where unsigned differences wrap.
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

namespace {

using FwTest::AppEnvironment;
using FwTest::RecordingWidgetPort;

// A display whose presentation waits for the next vertical blank: each Redraw moves the fake clock
// on by one refresh period (fractional periods accumulate).
class VsyncDisplay : public Fw::StubDisplay {
public:
    VsyncDisplay(Platform::FakeClock& clock, double periodMs) : period_(periodMs), clock_(clock) {}
    double period_;
    bool Redraw(const Fw::Rect* clip) override
    {
        owed_ += period_;
        const uint32_t whole = static_cast<uint32_t>(owed_);
        owed_ -= whole;
        clock_.Advance(whole);
        return StubDisplay::Redraw(clip);
    }

private:
    Platform::FakeClock& clock_;
    double owed_ = 0.0;
};

class AppTiming : public ::testing::TestWithParam<uint32_t> {
protected:
    AppTiming() : env(GetParam())
    {
        auto p = std::make_unique<RecordingWidgetPort>();
        port = p.get();
        app.SetWidgetPort(std::move(p));
        app.loadingThreadCompleted = true;
        app.primaryThreadId = std::this_thread::get_id();
    }
    VsyncDisplay& UseVsyncDisplay(double periodMs)
    {
        auto d = std::make_unique<VsyncDisplay>(env.clock, periodMs);
        d->Init(1, false);
        VsyncDisplay& ref = *d;
        app.display = std::move(d);
        return ref;
    }
    void Step() { app.UpdateAppStep(nullptr); }

    AppEnvironment env;
    Fw::AppBase app;
    RecordingWidgetPort* port = nullptr;
};

TEST_P(AppTiming, StallCatchesUpTwentyUpdatesWithForcedDraws)
{
    std::vector<int> drawnAt;
    port->onDraw = [&] { drawnAt.push_back(app.updateCount); };
    app.UpdateFTimeAcc(); // the first accumulation only starts the clock
    env.clock.Advance(1000);
    const uint32_t sleepsBefore = env.clock.SleepCalls();
    for (int i = 0; i < 1000 && env.clock.SleepCalls() == sleepsBefore; ++i)
        Step();
    // 1000 ms capped to 200 ms of backlog: 20 updates of 10 ms, at most 9 between two draws.
    EXPECT_EQ(app.updateCount, 20);
    EXPECT_EQ(drawnAt, (std::vector<int>{9, 18, 20}));
    EXPECT_EQ(app.sleepCount, 1);
}

TEST_P(AppTiming, FirstAccumulationOnlyStartsTheClock)
{
    env.clock.Advance(5000);
    Step(); // messages
    Step(); // timing: no backlog from before the first tick
    EXPECT_EQ(app.updateCount, 0);
    EXPECT_EQ(app.updateTimeAcc, 0.0);
}

TEST_P(AppTiming, RefreshPacedSixtyHertzFullScreen)
{
    app.refreshPaced = true;
    app.refreshRate = 60;
    app.displayWindowed = false;
    VsyncDisplay& display = UseVsyncDisplay(1000.0 / 60.0);
    // The first present shows the initial state (a draw is pending from the start); the next 60
    // each follow the updates of one frame.
    for (int i = 0; i < 100000 && display.presents < 61; ++i)
        Step();
    ASSERT_EQ(display.presents, 61);
    // 1.6667 updates per frame: one whole update per frame plus catch-ups as the fraction reaches 1
    // (the float fraction stays just under 40 after 60 frames).
    EXPECT_EQ(app.updateCount, 99);
    EXPECT_EQ(port->fractionalUpdates, 60);
    EXPECT_FALSE(app.vsyncBroken);
}

TEST_P(AppTiming, FastBatchesBreakVsyncAndASlowOneResetsTheStrikes)
{
    app.refreshPaced = true;
    app.refreshRate = 100; // one update per presented frame
    app.displayWindowed = false;
    VsyncDisplay& display = UseVsyncDisplay(10.0);
    auto runUntil = [&](int updates) {
        for (int i = 0; i < 100000 && app.updateCount < updates; ++i)
            Step();
        ASSERT_EQ(app.updateCount, updates);
    };
    runUntil(100); // first batch: only sets the reference tick
    display.period_ = 7.0;
    runUntil(300);
    EXPECT_EQ(app.vsyncStrikes, 2);
    display.period_ = 10.0; // 100 updates in 1000 ms: not paced by a fast refresh
    runUntil(400);
    EXPECT_EQ(app.vsyncStrikes, 0);
    display.period_ = 7.0;
    runUntil(600);
    EXPECT_FALSE(app.vsyncBroken);
    runUntil(700);
    EXPECT_TRUE(app.vsyncBroken);
}

TEST_P(AppTiming, NoUpdatesWhileStoppedButMessagesStillFlow)
{
    app.updateMultiplier = 0.0;
    app.UpdateFTimeAcc();
    env.clock.Advance(500);
    env.ws.Push(0, Platform::Msg::KeyDown, 'A');
    for (int i = 0; i < 20; ++i)
        Step();
    EXPECT_EQ(app.updateCount, 0);
    EXPECT_EQ(port->draws, 0);
    EXPECT_EQ(port->log, (std::vector<std::string>{"KeyDown 65"}));
}

TEST_P(AppTiming, DeleteLaterListDeletesByNestingDepth)
{
    auto* outer = reinterpret_cast<Fw::Widget*>(uintptr_t(0x1000));
    auto* inner = reinterpret_cast<Fw::Widget*>(uintptr_t(0x2000));
    app.updateAppDepth = 1; // queued by the main loop's step
    app.DeleteWidgetLater(outer);
    app.updateAppDepth = 2; // queued inside a nested dialog loop
    app.DeleteWidgetLater(inner);
    app.ProcessDeleteLaterList();
    EXPECT_EQ(port->destroyed, (std::vector<Fw::Widget*>{inner}));
    app.updateAppDepth = 1;
    app.ProcessDeleteLaterList();
    EXPECT_EQ(port->destroyed, (std::vector<Fw::Widget*>{inner, outer}));
}

TEST_P(AppTiming, ShutdownFromAnotherThreadWaitsForTheNextTimingStep)
{
    std::thread([&] { app.Shutdown(); }).join();
    EXPECT_FALSE(app.shutdown);
    EXPECT_TRUE(app.shutdownRequested);
    Step(); // a message step: still running
    EXPECT_FALSE(app.shutdown);
    Step(); // the timing step carries it out
    EXPECT_TRUE(app.shutdown);
    EXPECT_FALSE(app.UpdateAppStep(nullptr)); // nested loops unwind
}

INSTANTIATE_TEST_SUITE_P(Clock, AppTiming, ::testing::Values(100000u, 0xFFFFFF00u),
                         [](const ::testing::TestParamInfo<uint32_t>& info) {
                             return info.param == 100000u ? std::string("Ordinary") : std::string("NearWrap");
                         });

} // namespace
