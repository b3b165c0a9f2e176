// Drawing and presentation of the application object: the once-a-second presentation, draw spacing
// while loading, and losing and recovering the display.
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

namespace {

using FwTest::RecordingWidgetPort;

class AppDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.Init();
        auto p = std::make_unique<RecordingWidgetPort>();
        port = p.get();
        app.SetWidgetPort(std::move(p));
        display = FwTest::Stub(app);
        ASSERT_NE(display, nullptr);
    }
    FwTest::AppEnvironment env;
    Fw::AppBase app;
    RecordingWidgetPort* port = nullptr;
    Fw::StubDisplay* display = nullptr;
};

TEST_F(AppDraw, UnchangedScreenIsPresentedOnceASecond)
{
    port->drawAnswer = false; // no widget is dirty
    env.clock.Advance(1000);
    EXPECT_TRUE(app.DrawDirtyStuff()); // a second since the start: presented anyway
    const int before = display->presents;
    env.clock.Advance(500);
    EXPECT_FALSE(app.DrawDirtyStuff());
    EXPECT_EQ(display->presents, before);
    EXPECT_TRUE(app.lastDrawWasEmpty);
    env.clock.Advance(600);
    EXPECT_TRUE(app.DrawDirtyStuff());
    EXPECT_EQ(display->presents, before + 1);
    app.forceDraw = true; // a cursor change asks for a presentation
    EXPECT_TRUE(app.DrawDirtyStuff());
    EXPECT_FALSE(app.forceDraw);
}

TEST_F(AppDraw, DrawsAreSpacedWhileLoading)
{
    app.loadingThreadStarted = true; // started, not finished
    port->onDraw = [&] { env.clock.Advance(5); }; // drawing takes 5 ms
    app.nextDrawTick = env.clock.TimeGetTime();
    const uint32_t start = env.clock.TimeGetTime();
    ASSERT_TRUE(app.DrawDirtyStuff());
    EXPECT_EQ(app.nextDrawTick, start + 50); // max(5, 15) + 35 after the previous earliest draw
    env.clock.Advance(10);
    EXPECT_FALSE(app.DrawDirtyStuff()); // too early
    env.clock.Advance(40);
    EXPECT_TRUE(app.DrawDirtyStuff());
    app.loadingThreadStarted = false;
}

TEST_F(AppDraw, LostDisplayIsRecoveredByTheNextPresentations)
{
    app.active = true;
    display->failPresent = true;
    EXPECT_TRUE(app.DrawDirtyStuff()); // drawn, but the presentation failed
    EXPECT_TRUE(app.displayLost);
    const int inits = display->initCalls; // the active window retried at once
    EXPECT_EQ(inits, 2);
    EXPECT_FALSE(app.DrawDirtyStuff()); // while lost, only presentation is retried
    EXPECT_EQ(display->initCalls, 3);
    display->failPresent = false;
    EXPECT_FALSE(app.DrawDirtyStuff());
    EXPECT_FALSE(app.displayLost);
    EXPECT_TRUE(app.DrawDirtyStuff());
}

TEST_F(AppDraw, InactiveWindowRetriesAtMostOnceASecond)
{
    app.active = false;
    display->failPresent = true;
    const int inits = display->initCalls;
    app.Redraw(nullptr);
    EXPECT_EQ(display->initCalls, inits + 1);
    env.clock.Advance(400);
    app.Redraw(nullptr);
    EXPECT_EQ(display->initCalls, inits + 1);
    env.clock.Advance(700);
    app.Redraw(nullptr);
    EXPECT_EQ(display->initCalls, inits + 2);
    // A full-screen program that is not active does not try at all.
    app.displayWindowed = false;
    env.clock.Advance(2000);
    app.Redraw(nullptr);
    EXPECT_EQ(display->initCalls, inits + 2);
}

} // namespace
