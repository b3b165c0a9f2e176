// The SDL window system under SDL's dummy video driver: windows, posted messages, registered
// message numbers and the pump's timers (driven by the fake clock).
#include "platform/WindowSystem.h"
#include "platform/fake/FakeClock.h"

#include <gtest/gtest.h>

namespace {

using namespace Platform;

TEST(SdlWindowSystem, WindowsMessagesAndTimers)
{
    FakeClock clock;
    ScopedClock useClock(clock);
    WindowSystem& ws = GetWindowSystem(); // the SDL one: no other is installed here
    int32_t w = 0, h = 0;
    ws.GetDesktopSize(w, h);
    EXPECT_GT(w, 0);
    EXPECT_GT(h, 0);

    WindowDesc desc;
    desc.title = "test";
    desc.width = 320;
    desc.height = 200;
    const WindowId window = ws.CreateWindow(desc);
    ASSERT_NE(window, 0u);
    Message m;
    while (ws.PeekMessage(m)) {
        // whatever the driver announced about the new window
    }

    const uint32_t notify = ws.RegisterWindowMessage("GameNotify");
    EXPECT_GE(notify, Msg::FirstRegistered);
    EXPECT_EQ(ws.RegisterWindowMessage("GameNotify"), notify);
    EXPECT_NE(ws.RegisterWindowMessage("OtherNotify"), notify);

    ws.PostMessage(Message{window, Msg::Close, 0, 0});
    ASSERT_TRUE(ws.PeekMessage(m));
    EXPECT_EQ(m.message, Msg::Close);
    EXPECT_EQ(m.window, window);

    ws.SetTimer(window, 100, 10);
    EXPECT_FALSE(ws.PeekMessage(m)); // not due yet
    clock.Advance(10);
    ASSERT_TRUE(ws.PeekMessage(m));
    EXPECT_EQ(m.message, Msg::Timer);
    EXPECT_EQ(m.wParam, 100u);
    EXPECT_FALSE(ws.PeekMessage(m)); // one per period
    clock.Advance(35); // several periods late: still one, not a burst
    ASSERT_TRUE(ws.PeekMessage(m));
    EXPECT_FALSE(ws.PeekMessage(m));

    ws.DestroyWindow(window);
    clock.Advance(100);
    EXPECT_FALSE(ws.PeekMessage(m)); // its timer went with it
}

} // namespace
