// Sound instances on the recording device: repeated plays, nested pauses, fades stepped by the
// manual clock, and destruction while a fade runs.
#include "engine/core/SoundInstance.h"

#include <gtest/gtest.h>

#include "engine/core/SoundManager.h"
#include "support/DebugOutputCapture.h"
#include "tests/engine/core/SoundFixture.h"

namespace {

class SoundInstanceTest : public SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        path_ = SampleFile("loop.wav");
        manager_.LoadFromXml(ParseRoot(R"(<root><sounds><sound name="loop" group="game" loop="1" pan="30" path=")" +
                                       path_ + R"("/></sounds></root>)"));
        manager_.LoadAllSamples();
        manager_.SetGroupVolume(80, "game");
        instance_ = manager_.CreateInstance("loop");
        ASSERT_NE(instance_, nullptr);
        device_.ClearLog();
    }

    VTSoundManager manager_;
    std::string path_;
    std::unique_ptr<VTSoundInstance> instance_;
};

TEST_F(SoundInstanceTest, RepeatedPlayWarnsAndDoesNotRestart)
{
    TestSupport::DebugOutputCapture output;
    instance_->Play(false);
    const int channel = instance_->Channel();
    EXPECT_EQ(device_.Calls(), (std::vector<std::string>{"Sample_PlayEx 1 1 2 1 0 80 44100 50 = 1",
                                                         "Channel_SetPan 1 30"}));
    instance_->Play(false);
    EXPECT_EQ(output.Text(), "WARNING: Repeated Play for sound '" + path_ + "'\n");
    EXPECT_EQ(instance_->Channel(), channel);
    EXPECT_EQ(device_.CallsNamed("Sample_PlayEx").size(), 1u);

    device_.FinishChannel(channel);
    EXPECT_FALSE(instance_->IsPlaying());
    instance_->Play(false);
    EXPECT_TRUE(instance_->IsPlaying());
    EXPECT_NE(instance_->Channel(), channel);
}

TEST_F(SoundInstanceTest, PausesNestAndAnUnmatchedResumeIsIgnored)
{
    instance_->Play(false);
    const int channel = instance_->Channel();
    instance_->Pause();
    instance_->Pause();
    instance_->Resume();
    EXPECT_TRUE(device_.InspectChannel(channel)->paused) << "Pause, Pause, Resume stays paused";
    instance_->Resume();
    EXPECT_FALSE(device_.InspectChannel(channel)->paused);
    EXPECT_EQ(device_.CallsNamed("Channel_Pause"),
              (std::vector<std::string>{"Channel_Pause 1 1", "Channel_Pause 1 0"}));

    instance_->Resume(); // nothing to resume
    instance_->Pause();
    EXPECT_TRUE(device_.InspectChannel(channel)->paused) << "an extra Resume must not swallow the next Pause";
}

TEST_F(SoundInstanceTest, FadeOutStepsEvery50MsStopsTheChannelAndKeepsTheInstance)
{
    instance_->Play(false);
    const int channel = instance_->Channel();
    instance_->FadeOut(true);
    for (int tick = 0; tick < 19; ++tick)
        device_.Tick(50);
    EXPECT_TRUE(instance_->IsPlaying());
    device_.Tick(50);
    EXPECT_FALSE(instance_->IsPlaying());
    // Record volume 80 stepped down by 0.05 per 50 ms, truncated, never below 0.
    const std::vector<int> expected = {76, 72, 68, 63, 59, 55, 51, 47, 43, 39,
                                       35, 31, 27, 23, 19, 15, 11, 7, 3, 0};
    EXPECT_EQ(device_.VolumeHistory(channel), expected);
    EXPECT_EQ(device_.InstalledWorker(channel), nullptr);
    EXPECT_TRUE(instance_->DeleteWhenFaded());

    // The instance lives on with its owner; a fade-in now starts from silence.
    device_.ClearLog();
    instance_->Play(true);
    const int again = instance_->Channel();
    device_.Tick(25 * 3);
    EXPECT_EQ(device_.VolumeHistory(again), (std::vector<int>{3, 7, 11}));
    device_.Tick(25 * 17);
    EXPECT_EQ(device_.VolumeHistory(again).back(), 80);
    EXPECT_EQ(device_.InstalledWorker(again), nullptr) << "the fade-in removes itself at 1.0";
}

TEST_F(SoundInstanceTest, AFadeOfAnEndedChannelDoesNotReachTheNextPlay)
{
    instance_->Play(false);
    const int first = instance_->Channel();
    instance_->FadeOut(false);
    device_.Tick(500); // fade factor 0.5
    device_.FinishChannel(first); // the sound ended before its fade did
    instance_->Play(true);
    const int second = instance_->Channel();
    device_.Tick(250); // ten fade-in steps from 0.5
    EXPECT_EQ(device_.VolumeHistory(second).back(), 80);
    EXPECT_EQ(device_.InstalledWorker(second), nullptr);
    EXPECT_EQ(device_.InstalledWorker(first), nullptr);
}

TEST_F(SoundInstanceTest, DestroyingDuringAFadeRemovesTheWorkerFirst)
{
    instance_->Play(false);
    const int fadingOut = instance_->Channel();
    instance_->FadeOut(false);
    device_.Tick(150);
    instance_.reset();
    EXPECT_EQ(device_.InstalledWorker(fadingOut), nullptr);
    EXPECT_EQ(device_.ChannelStatus(fadingOut), Platform::kChannelStopped)
        << "a fade-out cut short still ends in silence";
    device_.Tick(2000); // would reach the freed instance if its worker were left behind

    // A channel fading in keeps playing after its instance is gone.
    auto other = manager_.CreateInstance("loop");
    other->Play(false);
    other->FadeOut(false);
    device_.Tick(1000);
    other->Play(true);
    const int fadingIn = other->Channel();
    device_.Tick(50);
    ASSERT_NE(device_.InstalledWorker(fadingIn), nullptr);
    other.reset();
    EXPECT_EQ(device_.InstalledWorker(fadingIn), nullptr);
    EXPECT_NE(device_.ChannelStatus(fadingIn), Platform::kChannelStopped);
    device_.Tick(2000);
}

} // namespace
