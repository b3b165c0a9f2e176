// Window procedure and deferred input of the application object on the fake window system: what
// reaches the widget tree for each message, coalescing through the procedure, Alt keys, focus and
// minimising, capture, close requests and the pending web page.
#include "framework/widgets/WidgetManager.h"
#include "support/AppEnvironment.h"
#include "support/RecordingWidget.h"

#include <gtest/gtest.h>

namespace {

using namespace Platform;
using FwTest::RecordingWidgetPort;

class AppWindowProc : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.registryKey = "Test\\WindowProc";
        app.Init();
        // The desktop activates the new window.
        env.ws.activeWindow = app.mainWindow;
        Send(Msg::ActivateApp, 1);
        Drain();
    }
    RecordingWidgetPort& UseRecorder()
    {
        auto p = std::make_unique<RecordingWidgetPort>();
        port = p.get();
        app.SetWidgetPort(std::move(p));
        return *port;
    }
    intptr_t Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0)
    {
        return app.WindowProc(app.mainWindow, message, wParam, lParam);
    }
    void Drain()
    {
        while (app.ProcessDeferredMessages(true)) {
        }
    }

    FwTest::AppEnvironment env;
    Fw::AppBase app;
    RecordingWidgetPort* port = nullptr;
};

TEST_F(AppWindowProc, ClickCodesAndWheelNotches)
{
    struct Case {
        uint32_t message;
        uintptr_t wParam;
        std::vector<std::string> expected;
    };
    const intptr_t at = MakePointParam(30, 40);
    const Case cases[] = {
        {Msg::LButtonDown, 0, {"MouseMove 30,40", "MouseDown 30,40 1"}},
        {Msg::LButtonDblClk, 0, {"MouseMove 30,40", "MouseDown 30,40 2"}},
        {Msg::RButtonDown, 0, {"MouseMove 30,40", "MouseDown 30,40 -1"}},
        {Msg::RButtonDblClk, 0, {"MouseMove 30,40", "MouseDown 30,40 -2"}},
        {Msg::MButtonDown, 0, {"MouseMove 30,40", "MouseDown 30,40 3"}},
        {Msg::LButtonUp, 0, {"MouseMove 30,40", "MouseUp 30,40 1"}},
        {Msg::RButtonUp, 0, {"MouseMove 30,40", "MouseUp 30,40 -1"}},
        {Msg::MButtonUp, 0, {"MouseMove 30,40", "MouseUp 30,40 3"}},
        {Msg::MButtonDblClk, 0, {}}, // not queued
        {Msg::MouseWheel, uintptr_t(uint16_t(int16_t(-120))) << 16, {"MouseWheel -1"}},
        {Msg::MouseWheel, uintptr_t(uint16_t(int16_t(240))) << 16, {"MouseWheel 2"}},
        {Msg::MouseWheel, uintptr_t(100) << 16, {"MouseWheel 0"}},
        {Msg::Char, 'x', {"KeyChar 120"}},
    };
    for (const Case& c : cases) {
        UseRecorder();
        app.mouseInWindow = true;
        Send(c.message, c.wParam, at);
        Drain();
        EXPECT_EQ(port->log, c.expected) << "message 0x" << std::hex << c.message;
    }
}

TEST_F(AppWindowProc, DoubleClickAndWheelReachTheWidget)
{
    FwTest::EventLog log;
    FwTest::RecordingWidget widget("w", &log, 100, 100, 200, 100);
    app.widgetManager->AddWidget(&widget);
    app.widgetManager->SetFocus(&widget);
    Send(Msg::LButtonDblClk, 0, MakePointParam(150, 120));
    Send(Msg::MouseWheel, uintptr_t(uint16_t(int16_t(-120))) << 16, 0);
    Drain();
    app.widgetManager->RemoveWidget(&widget);
    const auto has = [&](const std::string& e) { return std::find(log.begin(), log.end(), e) != log.end(); };
    EXPECT_TRUE(has("w:MouseDown 50,20 b0 c2")) << ::testing::PrintToString(log);
    EXPECT_TRUE(has("w:MouseWheel -1")) << ::testing::PrintToString(log);
    EXPECT_EQ(env.ws.captured, app.mainWindow);
}

TEST_F(AppWindowProc, TimersCoalesceThroughTheProcedure)
{
    UseRecorder();
    Send(Msg::Timer, 100);
    Send(Msg::Timer, 100);
    Send(Msg::KeyDown, 'A');
    Send(Msg::Timer, 100);
    ASSERT_EQ(app.deferredMessages.Size(), 3u);
    Send(Msg::Close);
    Send(Msg::KeyDown, 'B');
    EXPECT_EQ(app.deferredMessages.Size(), 4u);
}

TEST_F(AppWindowProc, AltKeys)
{
    UseRecorder();
    EXPECT_EQ(Send(Msg::SysChar, 'R'), 0);
    // Any Alt+key but F4 is swallowed after being queued.
    EXPECT_EQ(Send(Msg::SysKeyDown, 'X'), 0);
    EXPECT_EQ(app.deferredMessages.Size(), 1u);
    EXPECT_TRUE(env.ws.queue.empty());
    // Alt+F4 reaches the default handling, which asks the window to close.
    Send(Msg::SysKeyDown, Vk::F4);
    ASSERT_EQ(env.ws.queue.size(), 1u);
    EXPECT_EQ(env.ws.queue.front().message, Msg::Close);
    for (int i = 0; i < 10 && !app.shutdown; ++i)
        app.UpdateAppStep(nullptr);
    EXPECT_TRUE(app.shutdown);
    EXPECT_TRUE(app.closeRequested);
}

TEST_F(AppWindowProc, AltEnterTogglesFullScreenAndClearsKeys)
{
    UseRecorder();
    Send(Msg::SysKeyDown, Vk::Menu);
    Send(Msg::SysKeyDown, Vk::Return);
    Drain();
    EXPECT_FALSE(app.isWindowed);
    EXPECT_FALSE(app.displayWindowed);
    EXPECT_FALSE(app.altDown);
    EXPECT_EQ(port->log.back(), "ClearKeysDown");
    EXPECT_TRUE(env.ws.windows.at(app.mainWindow).desc.fullScreen);
}

TEST_F(AppWindowProc, MinimisingMutesAndRestoringRedraws)
{
    UseRecorder();
    Send(Msg::Size, SizeMinimized);
    Drain();
    EXPECT_TRUE(app.minimized);
    EXPECT_TRUE(app.IsMuted());
    EXPECT_EQ(port->log, (std::vector<std::string>{"LostFocus", "ReleaseDownWidget"}));
    port->log.clear();
    Send(Msg::Size, SizeRestored);
    Drain();
    EXPECT_FALSE(app.IsMuted());
    EXPECT_EQ(app.autoMuteCount, 0);
    EXPECT_EQ(port->log, (std::vector<std::string>{"MarkAllDirty", "GotFocus"}));
}

TEST_F(AppWindowProc, ReleasingLeftWhileRightIsHeldKeepsTheCapture)
{
    UseRecorder();
    const int before = env.ws.releaseCalls;
    port->downButtons = 1 | 2;
    Send(Msg::LButtonUp, 0, MakePointParam(5, 5));
    Drain();
    EXPECT_EQ(env.ws.releaseCalls, before);
    port->downButtons = 2;
    Send(Msg::RButtonUp, 0, MakePointParam(5, 5));
    Drain();
    EXPECT_EQ(env.ws.releaseCalls, before + 1);
}

TEST_F(AppWindowProc, TitleBarDragLeavesNoBacklog)
{
    app.updateTimeAcc = 150.0;
    env.clock.Advance(2000);
    Send(Msg::NcLButtonDown);
    EXPECT_EQ(app.updateTimeAcc, 0.0);
    EXPECT_EQ(app.lastTimeAccTick, env.clock.TimeGetTime());
}

TEST_F(AppWindowProc, PendingWebPageSucceedsWhenTheAppStaysInactive)
{
    UseRecorder();
    app.inMainLoop = true;
    ASSERT_TRUE(app.OpenUrl("https://example.invalid/", true));
    EXPECT_TRUE(app.OpenUrl("https://example.invalid/", true)); // already pending: not opened again
    EXPECT_EQ(env.ws.openedUrls.size(), 1u);
    app.active = false;
    for (int i = 0; i < 100; ++i) { // the window's timer over 10 s
        env.clock.Advance(100);
        Send(Msg::Timer, 100);
        Drain();
    }
    EXPECT_FALSE(app.urlPending);
    EXPECT_TRUE(app.shutdown); // asked to shut down once the page opened
}

TEST_F(AppWindowProc, NotifyMessageRestoresTheMinimisedWindow)
{
    env.ws.windows.at(app.mainWindow).minimized = true;
    env.ws.activeWindow = 0;
    EXPECT_EQ(Send(app.notifyMessage, 0, 0), 0);
    EXPECT_FALSE(env.ws.windows.at(app.mainWindow).minimized);
    EXPECT_EQ(env.ws.activeWindow, app.mainWindow);
}

} // namespace

namespace {

// Writes each record as text: "H" for a head, then "value/bits" fields.
class TextDemo : public Fw::DemoStream {
public:
    std::vector<std::string> records;
    void WriteHead() override { records.push_back("H"); }
    void WriteBits(uint32_t v, int n) override { records.back() += " " + std::to_string(v) + "/" + std::to_string(n); }
    void WriteLong(uint32_t v) override { records.back() += " L" + std::to_string(v); }
    void WriteByte(uint8_t v) override { records.back() += " B" + std::to_string(v); }
    void PrepareCommand(bool) override {}
    uint32_t ReadBits(int) override { return 0; }
    uint32_t ReadLong() override { return 0; }
    uint8_t ReadByte() override { return 0; }
};

TEST_F(AppWindowProc, RecordedInputRecords)
{
    UseRecorder();
    TextDemo demo;
    app.demo = &demo;
    app.recordingDemo = true;
    app.mouseInWindow = true;
    Send(Msg::KeyDown, 'A');
    Send(Msg::Char, 0x20AC);
    Send(Msg::MouseMove, 0, MakePointParam(10, -5));      // small move: relative form
    Send(Msg::LButtonDown, 0, MakePointParam(100, 200)); // large move, then the button
    Send(Msg::MouseWheel, uintptr_t(uint16_t(int16_t(-240))) << 16, 0);
    Send(Msg::Close);
    Drain();
    app.recordingDemo = false;
    app.demo = nullptr;
    // The close shut the program down, which wrote its nine settings: each write is recorded too.
    ASSERT_EQ(demo.records.size(), 7u + 9u);
    EXPECT_EQ(demo.records.back(), "H 0/1 12/5 1/1");
    demo.records.resize(7);
    EXPECT_EQ(demo.records, (std::vector<std::string>{
                                "H 0/1 3/5 65/8",
                                "H 0/1 5/5 1/1 8364/16",
                                "H 1/1 0/1 10/6 0/6", // y -5 is clamped to 0
                                "H 0/1 0/5 100/12 200/12",
                                "H 1/1 1/1 1/1 1/3",
                                "H 0/1 21/5 254/8",
                                "H 0/1 6/5",
                            }));
}

} // namespace
