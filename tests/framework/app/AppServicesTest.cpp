// Application services without images: the counted mute and volumes, the sound toggle, cursor
// numbers, hiding the window, the screen-saver message filter and the idle pause.
#include "framework/assets/MusicInterface.h"
#include "framework/assets/ResourceManager.h"
#include "framework/assets/PopupSink.h"
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

namespace {

using namespace Platform;

class RecordingMusic : public Fw::MusicInterface {
public:
    std::vector<double> volumes;
    int updates = 0;
    void SetVolume(double v) override { volumes.push_back(v); }
    void Update() override { ++updates; }
};

class MusicApp : public Fw::AppBase {
public:
    RecordingMusic* music = nullptr;
    Fw::MusicInterface* CreateMusicInterface(WindowId) override { return music = new RecordingMusic; }
};

class AppServices : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.Init();
        env.ws.activeWindow = app.mainWindow;
        app.WindowProc(app.mainWindow, Msg::ActivateApp, 1, 0);
        app.ProcessDeferredMessages(false);
        ASSERT_EQ(app.muteCount, 0);
    }
    FwTest::AppEnvironment env;
    MusicApp app;
};

TEST_F(AppServices, CountedMute)
{
    app.SetMusicVolume(0.5);
    app.Mute(false);
    app.Mute(false);
    app.Unmute(false);
    EXPECT_EQ(app.music->volumes.back(), 0.0); // still muted once
    EXPECT_TRUE(app.IsMuted());
    app.Unmute(false);
    EXPECT_EQ(app.music->volumes.back(), 0.5);
    const size_t applied = app.music->volumes.size();
    app.Unmute(true); // nothing to undo: counts stay, volumes are applied again
    EXPECT_EQ(app.muteCount, 0);
    EXPECT_EQ(app.autoMuteCount, 0);
    EXPECT_EQ(app.music->volumes.size(), applied + 1);
}

TEST_F(AppServices, ToggleSoundSavesAndRestoresBothVolumes)
{
    app.SetMusicVolume(0.4);
    app.SetSfxVolume(0.6);
    app.ToggleSound();
    EXPECT_EQ(app.GetMusicVolume(), 0.0);
    EXPECT_EQ(app.GetSfxVolume(), 0.0);
    app.ToggleSound();
    EXPECT_EQ(app.GetMusicVolume(), 0.4);
    EXPECT_EQ(app.GetSfxVolume(), 0.6);
}

TEST_F(AppServices, CursorNumbers)
{
    Fw::StubDisplay& display = *FwTest::Stub(app);
    Fw::Image image;
    app.mouseInWindow = true;
    app.SetCursor(3);
    EXPECT_EQ(env.ws.cursor, SystemCursor::IBeam);
    app.SetCursor(11);
    EXPECT_EQ(env.ws.cursor, SystemCursor::None);
    app.SetCursor(12); // no image: no cursor
    EXPECT_EQ(env.ws.cursor, SystemCursor::None);
    EXPECT_EQ(display.cursorImage, nullptr);
    app.SetCursorImage(13, &image); // ignored
    app.SetCursorImage(12, &image); // cursor 12 shows its image even without custom cursors
    EXPECT_EQ(display.cursorImage, &image);
    EXPECT_TRUE(app.forceDraw);
    app.SetCursorImage(3, &image);
    app.SetCursor(3); // custom cursors off: the system's text cursor, software cursor cleared
    EXPECT_EQ(env.ws.cursor, SystemCursor::IBeam);
    EXPECT_EQ(display.cursorImage, nullptr);
    app.EnableCustomCursors(true);
    EXPECT_EQ(display.cursorImage, &image);
    app.mouseInWindow = false;
    app.UpdateCursor();
    EXPECT_EQ(env.ws.cursor, SystemCursor::Arrow);
    EXPECT_EQ(display.cursorImage, nullptr);
}

TEST_F(AppServices, HideWindowSilencesMusicAndHides)
{
    app.HideWindow();
    EXPECT_TRUE(app.windowHidden);
    EXPECT_FALSE(env.ws.windows.at(app.mainWindow).visible);
    EXPECT_EQ(app.music->volumes.back(), 0.0);
}

TEST(AppScreenSaver, PointerPositionAtStartIsNotAMove)
{
    FwTest::AppEnvironment env;
    env.ws.cursorX = 50;
    env.ws.cursorY = 60;
    Fw::AppBase app;
    app.screenSaverMode = true;
    app.Init();
    env.clock.Advance(5000);
    for (int i = 0; i < 10; ++i) // the pointer resting where it was: no move at all
        app.WindowProc(app.mainWindow, Msg::MouseMove, 0, MakePointParam(50, 60));
    EXPECT_EQ(app.screenSaver.moves, 0);
    EXPECT_FALSE(app.screenSaver.closing);
    app.WindowProc(app.mainWindow, Msg::KeyDown, 'A', 0); // a key closes at once
    EXPECT_TRUE(app.screenSaver.closing);
}

TEST_F(AppServices, ScreenSaverClosesOnTheFourthMouseMove)
{
    app.screenSaverMode = true;
    auto move = [&](int x) { return app.WindowProc(app.mainWindow, Msg::MouseMove, 0, MakePointParam(x, 0)); };
    env.clock.Advance(5000); // well after any monitor power-down
    for (int x = 1; x <= 3; ++x)
        move(x); // jitter: swallowed
    EXPECT_TRUE(env.ws.queue.empty());
    move(4);
    ASSERT_EQ(env.ws.queue.size(), 1u);
    EXPECT_EQ(env.ws.queue.front().message, Msg::Close);
    EXPECT_TRUE(app.screenSaver.closing);
}

TEST_F(AppServices, IdlePauseFollowsTheDesktopScreenSaver)
{
    env.ws.screenSaverEnabled = true;
    env.ws.screenSaverTimeout = 60; // threshold 58 s
    env.ws.hasLastInputTick = true;
    const uint32_t t0 = env.clock.TimeGetTime();
    env.ws.lastInputTick = t0;
    app.CheckIdlePause(t0 + 20000);
    EXPECT_FALSE(app.idlePause);
    app.CheckIdlePause(t0 + 58001);
    EXPECT_TRUE(app.idlePause);
    EXPECT_FALSE(app.DoUpdateFrames()); // the loop stands still
    env.ws.lastInputTick = t0 + 59000; // input
    app.CheckIdlePause(t0 + 60000);
    EXPECT_FALSE(app.idlePause);
    // The Linux desktop reports no screen saver: the pause never engages.
    env.ws.screenSaverEnabled = false;
    app.CheckIdlePause(t0 + 80000);
    app.CheckIdlePause(t0 + 200000);
    EXPECT_FALSE(app.idlePause);
}

TEST_F(AppServices, AssetPopupsReachTheUserAsFatalErrors)
{
    Fw::PopupW(L"Can't load image: caf\u00e9.png");
    const auto shown = env.boxes.ShownBoxes();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Can't load image: caf\xC3\xA9.png");
    EXPECT_EQ(shown[0].caption, "FATAL ERROR");
    EXPECT_EQ(shown[0].style, kMbIconError);
}

} // namespace

namespace {

// The music back end follows the two flags; the game runs with the empty back end.
TEST(AppMusicChoice, FlagsPickTheBackEnd)
{
    FwTest::AppEnvironment env;
    struct Case { bool noMusic, fmod; const char* expected; };
    const Case cases[] = {
        {false, false, "bass"},
        {true, false, "none"},
        {false, true, "bass"}, // no FMOD library on this platform: the empty back end
    };
    for (const auto& c : cases) {
        Fw::AppBase app;
        app.noMusic = c.noMusic;
        app.useFModMusic = c.fmod;
        std::unique_ptr<Fw::MusicInterface> music(app.CreateMusicInterface(0));
        const char* kind = dynamic_cast<Fw::BassMusicInterface*>(music.get()) ? "bass" : "none";
        EXPECT_STREQ(kind, c.expected);
        EXPECT_NE(app.resourceManager, nullptr);
    }
}

// The application's resource manager takes its images from the application's shared images.
TEST(AppResources, ResourceManagerLoadsThroughSharedImages)
{
    FwTest::AppEnvironment env;
    Fw::AppBase app;
    Fw::XmlReader reader(L"<Resources><Image path=\"!made\" id=\"m\"/></Resources>", "r.xml");
    Fw::XmlReaderNode node;
    ASSERT_TRUE(reader.NextElement(node));
    ASSERT_TRUE(app.resourceManager->ParseResources(reader, "g"));
    ASSERT_TRUE(app.resourceManager->LoadResources("g")) << app.resourceManager->GetErrorText();
    EXPECT_NE(app.resourceManager->GetImageThrow("m").GetSharedImage(), nullptr);
}

} // namespace
