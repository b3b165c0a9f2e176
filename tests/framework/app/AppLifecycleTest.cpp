// Start-up and shutdown of the application object: display results and the screen-mode fallbacks,
// fatal exits, single instance, the loading thread's completion and exit while threads run.
#include "framework/core/PathUtils.h"
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using FwTest::AppEnvironment;

// Installs a factory whose stub display answers Init with the given results in turn.
class ScriptedDisplayFactory {
public:
    explicit ScriptedDisplayFactory(std::deque<int> results, bool is3D = false)
    {
        Fw::SetDisplayFactory([results, is3D](Fw::AppBase&) {
            auto d = std::make_unique<Fw::StubDisplay>();
            d->initResults = results;
            d->Set3D(is3D);
            return d;
        });
    }
    ~ScriptedDisplayFactory() { Fw::SetDisplayFactory(nullptr); }
};

struct DisplayCase {
    const char* what;
    bool windowed;
    bool is3D;
    std::deque<int> results;
    bool expectWindowed;     // the main window's mode afterwards
    bool expectForceFull;
    bool expectFullFailed;
    bool expect3D;
};

TEST(AppDisplayResults, FallbackTable)
{
    const DisplayCase cases[] = {
        {"ok stays windowed", true, false, {0}, true, false, false, false},
        {"windowed at a bad colour depth goes full screen", true, false, {6}, false, true, false, false},
        {"full screen refused goes windowed for good", false, false, {4}, true, false, true, false},
        {"display change refused goes windowed", false, false, {5}, true, false, true, false},
        {"3-D path failed falls back to 2-D", true, true, {7}, true, false, false, false},
        {"other failure with 3-D on falls back to 2-D", true, true, {3}, true, false, false, false},
    };
    for (const DisplayCase& c : cases) {
        AppEnvironment env;
        ScriptedDisplayFactory factory(c.results, c.is3D);
        Fw::AppBase app;
        app.isWindowed = c.windowed;
        app.Init();
        EXPECT_EQ(app.displayWindowed, c.expectWindowed) << c.what;
        EXPECT_EQ(app.forceFullScreen, c.expectForceFull) << c.what;
        EXPECT_EQ(app.fullScreenFailed, c.expectFullFailed) << c.what;
        EXPECT_EQ(app.Is3DAccelerated(), c.expect3D) << c.what;
        ASSERT_NE(app.display, nullptr);
        EXPECT_NE(app.display->GetScreenImage(), nullptr) << c.what << ": display usable in the end";
        EXPECT_TRUE(env.boxes.ShownBoxes().empty()) << c.what;
    }
}

TEST(AppDisplayResults, AppAsLargeAsTheDesktopStartsFullScreenForGood)
{
    AppEnvironment env;
    Fw::AppBase app;
    app.width = 1024;
    app.height = 768; // the fake desktop's size
    app.Init();
    EXPECT_FALSE(app.displayWindowed);
    EXPECT_TRUE(app.forceFullScreen);
    app.SwitchScreenMode(true); // windowed is not offered
    EXPECT_FALSE(app.displayWindowed);
}

TEST(AppDisplayResultsDeathTest, FatalDisplayFailuresExitWithCodeOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    {
        AppEnvironment env;
        ScriptedDisplayFactory factory({3}, false);
        Fw::AppBase app;
        EXPECT_EXIT(app.Init(), ::testing::ExitedWithCode(1), "");
    }
    {
        // Full screen impossible, then windowed impossible at this colour depth.
        AppEnvironment env;
        ScriptedDisplayFactory factory({4, 6}, false);
        Fw::AppBase app;
        app.isWindowed = false;
        EXPECT_EXIT(app.Init(), ::testing::ExitedWithCode(1), "");
    }
    {
        // Windowed impossible, then full screen impossible: no mode is left.
        AppEnvironment env;
        ScriptedDisplayFactory factory({6, 4}, false);
        Fw::AppBase app;
        EXPECT_EXIT(app.Init(), ::testing::ExitedWithCode(1), "");
    }
}

TEST(AppDisplayResultsDeathTest, NoWindowExitsWithCodeOne)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    AppEnvironment env;
    env.ws.failCreateWindow = true;
    Fw::AppBase app;
    EXPECT_EXIT(app.Init(), ::testing::ExitedWithCode(1), "");
}

TEST(AppDisplayResults, RefreshRateOfZeroIsClamped)
{
    AppEnvironment env;
    Fw::SetDisplayFactory([](Fw::AppBase&) {
        auto d = std::make_unique<Fw::StubDisplay>();
        d->SetReportedRefreshRate(0); // what the dummy desktop reports
        return d;
    });
    Fw::AppBase app;
    app.Init();
    Fw::SetDisplayFactory(nullptr);
    EXPECT_EQ(app.refreshRate, 60);
    // Even a rate of 0 set directly never reaches a division.
    app.refreshRate = 0;
    app.refreshPaced = true;
    app.loadingThreadCompleted = true;
    app.UpdateFTimeAcc();
    const uint32_t start = env.clock.TimeGetTime();
    env.clock.Advance(100);
    for (int i = 0; i < 40; ++i)
        app.UpdateAppStep(nullptr);
    // Paced as at 60 Hz (10 ms updates, 1.67 per frame), not an endless burst.
    const uint32_t elapsed = env.clock.TimeGetTime() - start;
    EXPECT_GT(app.updateCount, 0);
    EXPECT_LE(app.updateCount, static_cast<int32_t>(elapsed / 10 + 1));
}

TEST(AppDisplayResults, HardwareAccelerationSwitchedOnIsConfirmedOnce)
{
    for (int answer : {Platform::kIdNo, Platform::kIdYes}) {
        AppEnvironment env;
        ScriptedDisplayFactory factory({}, false);
        env.boxes.Answer(answer);
        {
            Fw::AppBase app;
            app.registryKey = "Test\\Accel";
            app.Init();
            app.Set3DAccelerated(true, true);
            EXPECT_TRUE(app.displayModeChanged);
        }
        const auto shown = env.boxes.ShownBoxes();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].caption, " Hardware Acceleration Confirmation");
        const auto stored = env.registry.ReadValue("SOFTWARE\\Test\\Accel", "Is3D");
        if (answer == Platform::kIdNo) {
            EXPECT_FALSE(stored); // asked again the next time
        } else {
            ASSERT_TRUE(stored);
            EXPECT_EQ(stored->data[0], 1);
        }
    }
}

TEST(AppDisplayResults, ResultNames)
{
    EXPECT_STREQ(Fw::DisplayResultToString(0), "RESULT_OK");
    EXPECT_STREQ(Fw::DisplayResultToString(6), "RESULT_INVALID_COLORDEPTH");
    EXPECT_STREQ(Fw::DisplayResultToString(7), "RESULT_UNKNOWN");
    EXPECT_STREQ(Fw::DisplayResultToString(-1), "RESULT_UNKNOWN");
}

TEST(AppLifecycleDeathTest, SecondInstanceHandsOverAndExitsWithZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    AppEnvironment env;
    Platform::FakeWindowSystem::OtherProcessClaims().insert("ProductMutex");
    Fw::AppBase app;
    // One line says why this start ended and where the running copy's claim is.
    EXPECT_EXIT(app.Init(), ::testing::ExitedWithCode(0),
                "Another copy of Product is running \\(its claim is kept in fake claim ProductMutex\\): this start "
                "hands over to it and exits\\.");
    Platform::FakeWindowSystem::OtherProcessClaims().erase("ProductMutex");
}

TEST(AppLifecycle, ScreenSaverModeRunsBesideAnotherInstance)
{
    AppEnvironment env;
    Platform::FakeWindowSystem::OtherProcessClaims().insert("ProductMutex");
    Fw::AppBase app;
    app.screenSaverMode = true;
    app.Init();
    Platform::FakeWindowSystem::OtherProcessClaims().erase("ProductMutex");
    EXPECT_TRUE(app.initialized);
    EXPECT_FALSE(app.singleInstance);
}

TEST(AppLifecycleDeathTest, UnknownOptionExitsWithZero)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    AppEnvironment env;
    Fw::AppBase app;
    EXPECT_EXIT(app.HandleCmdLineParam("-bogus", ""), ::testing::ExitedWithCode(0), "");
}

TEST(AppLifecycle, FrameworkOptions)
{
    AppEnvironment env;
    Fw::AppBase app;
    app.Init();
    app.HandleCmdLineParam("-record", "");
    EXPECT_TRUE(app.recordingDemo);
    app.HandleCmdLineParam("-play", "");
    EXPECT_TRUE(app.playingDemo);
    EXPECT_FALSE(app.recordingDemo);
    app.HandleCmdLineParam("-demofile", "my.dmo");
    EXPECT_EQ(app.demoFileName, Fw::GetAppDataFolder() + "my.dmo");
    app.HandleCmdLineParam("-demofile", "/abs/my.dmo");
    EXPECT_EQ(app.demoFileName, "/abs/my.dmo");
    app.HandleCmdLineParam("-screensaver", "");
    EXPECT_TRUE(app.IsScreenSaverMode());
    app.HandleCmdLineParam("-changedir", "/tmp");
    EXPECT_EQ(app.changeDir, "/tmp");
    app.playingDemo = false;
}

class CountingApp : public Fw::AppBase {
public:
    std::atomic<int> loadingRuns{0}, completions{0};
    void LoadingThreadProc() override { ++loadingRuns; }
    void LoadingThreadCompleted() override { ++completions; }
};

TEST(AppLifecycle, InitialLoadingCompletesOnce)
{
    AppEnvironment env;
    CountingApp app;
    app.StartLoadingThread();
    app.StartLoadingThread(); // once only
    EXPECT_TRUE(app.loadingThreadBusy);
    app.WaitForLoadingThread();
    EXPECT_TRUE(app.loadingThreadFinished);
    EXPECT_EQ(app.GetLoadingThreadProgress(), 0.0); // finished, not yet completed
    EXPECT_TRUE(app.DoUpdateFrames());
    EXPECT_EQ(app.completions, 1);
    EXPECT_FALSE(app.loadingThreadBusy);
    EXPECT_EQ(app.GetLoadingThreadProgress(), 1.0);
    // Later code misusing the flag (a level load clearing it) does not complete loading again.
    app.loadingThreadCompleted = false;
    EXPECT_TRUE(app.DoUpdateFrames());
    EXPECT_EQ(app.completions, 1);
    EXPECT_EQ(app.loadingRuns, 1);
}

class BlockingLoader : public Fw::AppBase {
public:
    std::string marker;
    void LoadingThreadProc() override
    {
        // Finishes only after the cursor thread has stopped, then leaves a mark.
        while (cursorThreadRunning)
            std::this_thread::yield();
        std::ofstream(marker) << "done";
    }
};

TEST(AppLifecycleDeathTest, ExitStopsTheCursorThreadThenWaitsForTheLoader)
{
    // Forked without re-running the test, so the child writes into this test's folder.
    GTEST_FLAG_SET(death_test_style, "fast");
    AppEnvironment env;
    const std::string marker = env.temp.File("loaded");
    EXPECT_EXIT(
        {
            BlockingLoader app;
            app.marker = marker;
            app.Init();
            app.StartCursorThread();
            app.StartLoadingThread();
            app.DoExit(3);
        },
        ::testing::ExitedWithCode(3), "");
    std::ifstream in(marker);
    std::string text;
    in >> text;
    EXPECT_EQ(text, "done");
}

TEST(AppLifecycle, ShutdownOnTheMainThreadHidesTheWindowAndWritesSettings)
{
    AppEnvironment env;
    Fw::AppBase app;
    app.registryKey = "Test\\Life";
    app.Init();
    app.StartCursorThread();
    app.Shutdown();
    EXPECT_TRUE(app.shutdown);
    EXPECT_TRUE(app.exitToTop);
    EXPECT_FALSE(app.cursorThreadRunning);
    EXPECT_FALSE(env.ws.windows.at(app.mainWindow).visible);
    EXPECT_TRUE(env.registry.ReadValue("SOFTWARE\\Test\\Life", "InProgress"));
    const int writes = env.registry.WriteCount();
    app.Shutdown(); // only the first call acts
    EXPECT_EQ(env.registry.WriteCount(), writes);
}

} // namespace
