// Coalescing rules of the deferred-message queue.
#include "framework/app/DeferredMessageQueue.h"

#include <gtest/gtest.h>

namespace {

using namespace Platform;

std::vector<uint32_t> Kinds(const Fw::DeferredMessageQueue& q)
{
    std::vector<uint32_t> out;
    for (const Message& m : q.Items())
        out.push_back(m.message);
    return out;
}

TEST(DeferredMessageQueue, CoalescingTable)
{
    struct Case {
        const char* what;
        std::vector<uint32_t> pushed;
        std::vector<uint32_t> kept;
    };
    const Case cases[] = {
        {"timer after timer is one", {Msg::Timer, Msg::Timer}, {Msg::Timer}},
        {"timer after a key is kept", {Msg::Timer, Msg::KeyDown, Msg::Timer}, {Msg::Timer, Msg::KeyDown, Msg::Timer}},
        {"nothing after a close", {Msg::KeyDown, Msg::Close, Msg::KeyDown, Msg::Close}, {Msg::KeyDown, Msg::Close}},
        {"display change dropped when a colour change is queued",
         {Msg::SysColorChange, Msg::MouseMove, Msg::DisplayChange}, {Msg::SysColorChange, Msg::MouseMove}},
        {"a second display change is dropped", {Msg::DisplayChange, Msg::DisplayChange}, {Msg::DisplayChange}},
        {"mouse moves are all kept", {Msg::MouseMove, Msg::MouseMove}, {Msg::MouseMove, Msg::MouseMove}},
    };
    for (const Case& c : cases) {
        Fw::DeferredMessageQueue q;
        for (uint32_t m : c.pushed)
            q.Push(Message{1, m, 0, 0});
        EXPECT_EQ(Kinds(q), c.kept) << c.what;
    }
}

TEST(DeferredMessageQueue, WhichMessagesAreDeferred)
{
    for (uint32_t m : {Msg::Move, Msg::Size, Msg::Close, Msg::ActivateApp, Msg::KeyDown, Msg::Char, Msg::Timer,
                       Msg::MouseMove, Msg::LButtonDblClk, Msg::MButtonUp, Msg::MouseWheel})
        EXPECT_TRUE(Fw::DeferredMessageQueue::IsDeferred(m)) << std::hex << m;
    for (uint32_t m : {Msg::MButtonDblClk, Msg::Paint, Msg::SetCursor, Msg::SysChar, Msg::SysCommand})
        EXPECT_FALSE(Fw::DeferredMessageQueue::IsDeferred(m)) << std::hex << m;
}

} // namespace
