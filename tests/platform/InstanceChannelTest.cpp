// Single-instance claim between two holders of the same name, and the hand-over message.
#include "platform/linux/InstanceChannel.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using Platform::InstanceChannel;

TEST(InstanceChannel, SecondClaimSeesTheFirstAndNotifiesIt)
{
    TestSupport::TempFolder folder;
    InstanceChannel first, second;
    ASSERT_EQ(first.Claim("My Game/Mutex", folder.Path()), InstanceChannel::Result::First);
    EXPECT_EQ(second.Claim("My Game/Mutex", folder.Path()), InstanceChannel::Result::AlreadyRunning);
    EXPECT_EQ(second.LockPath(), folder.File("My_Game_Mutex.lock")) << "the running copy's claim, for messages";
    second.Notify("My GameNotify");
    EXPECT_EQ(first.Receive(), (std::vector<std::string>{"My GameNotify"}));
    EXPECT_TRUE(first.Receive().empty());
}

TEST(InstanceChannel, ReleasedWithItsHolder)
{
    TestSupport::TempFolder folder;
    {
        InstanceChannel first;
        ASSERT_EQ(first.Claim("Game", folder.Path()), InstanceChannel::Result::First);
    }
    InstanceChannel again;
    EXPECT_EQ(again.Claim("Game", folder.Path()), InstanceChannel::Result::First);
}

TEST(InstanceChannel, UnusableFolderIsUnavailable)
{
    InstanceChannel c;
    EXPECT_EQ(c.Claim("Game", "/nonexistent-folder-for-test"), InstanceChannel::Result::Unavailable);
}

} // namespace
