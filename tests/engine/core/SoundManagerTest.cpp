// The sound table from XML, groups, loading, playing by name, group and effect volumes, the
// sound log and shutdown, checked against the recording device's log.
#include "engine/core/SoundManager.h"

#include <gtest/gtest.h>

#include "engine/core/DebugSettings.h"
#include "support/DebugOutputCapture.h"
#include "tests/engine/core/SoundFixture.h"

namespace {

class SoundManagerTest : public SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        click_ = SampleFile("click.wav");
        first_ = SampleFile("first.wav");
        second_ = SampleFile("second.wav");
        manager_.LoadFromXml(ParseRoot(R"(<root><sounds>
            <sound name="click" group="ui" path=")" + click_ + R"(" pan="20" loop="1"/>
            <sound name="dup" group="game" path=")" + first_ + R"("/>
            <sound name="dup" group="ambient" path=")" + second_ + R"("/>
            <sound name="wind" group="weather" path="missing.wav"/>
            <sound name="plain" path=")" + first_ + R"("/>
        </sounds></root>)"));
    }

    VTSoundManager manager_;
    std::string click_, first_, second_;
};

TEST_F(SoundManagerTest, XmlRecordsGroupsAndDefaults)
{
    EXPECT_EQ(manager_.GetGroupId("ui"), 1);
    EXPECT_EQ(manager_.GetGroupId("game"), 2);
    EXPECT_EQ(manager_.GetGroupId("ambient"), 3);
    EXPECT_EQ(manager_.GetGroupId("weather"), 4) << "a new group name gets the next id";
    EXPECT_EQ(manager_.GetGroupId(""), 5) << "an absent group is the empty name, a group of its own";
    EXPECT_EQ(manager_.GetGroupId("later"), 6);

    EXPECT_EQ(manager_.SoundNames(), (std::vector<std::string>{"click", "dup", "plain", "wind"}));
    const auto click = manager_.FindRecord("click");
    EXPECT_EQ(click->path, click_);
    EXPECT_EQ(click->groupId, 1);
    EXPECT_EQ(click->pan, 20);
    EXPECT_TRUE(click->loop);
    EXPECT_EQ(click->volume.load(), 100);
    const auto dup = manager_.FindRecord("dup");
    EXPECT_EQ(dup->path, second_) << "the second record of a name wins";
    EXPECT_EQ(dup->groupId, 3);
    EXPECT_EQ(dup->pan, 50) << "missing pan";
    EXPECT_FALSE(dup->loop) << "missing loop";
}

TEST_F(SoundManagerTest, LoadAllSamplesInNameOrderAndPlayByName)
{
    manager_.LoadAllSamples();
    const auto loads = device_.CallsNamed("Sample_LoadFile");
    const std::vector<std::string> expected = {
        "Sample_LoadFile " + click_ + " 0 defaults(1,0,0,100,50,1,1e+09) = 1",
        "Sample_LoadFile " + second_ + " 0 defaults(3,0,0,100,50,1,1e+09) = 2",
        "Sample_LoadFile " + first_ + " 0 defaults(5,0,0,100,50,1,1e+09) = 3",
        "Sample_LoadFile missing.wav 0 defaults(4,0,0,100,50,1,1e+09) = -3",
    };
    EXPECT_EQ(loads, expected);
    EXPECT_EQ(manager_.FindRecord("wind")->sampleId.load(), Platform::kSoundErrFileOpen);

    device_.ClearLog();
    manager_.PlaySound("click");
    manager_.PlaySound("dup");
    manager_.PlaySound("");
    manager_.PlaySound("unknown");
    // Fire-and-forget plays never loop, whatever the record says, and take the effect volume.
    EXPECT_EQ(device_.Calls(), (std::vector<std::string>{
                                   "Sample_PlayEx 1 0 1 1 0 100 44100 50 = 1",
                                   "Channel_SetPan 1 20",
                                   "Sample_PlayEx 2 0 3 1 0 100 44100 50 = 2",
                                   "Channel_SetPan 2 50",
                               }));
}

TEST_F(SoundManagerTest, GroupAndEffectVolumes)
{
    manager_.LoadAllSamples();
    device_.ClearLog();
    manager_.SetGroupVolume(40, "ambient");
    manager_.SetGroupVolume(70, "nosuchgroup");
    EXPECT_EQ(device_.Calls(), std::vector<std::string>{"ChannelGroup_SetVolume 3 40"});
    EXPECT_EQ(manager_.FindRecord("dup")->volume.load(), 40);
    EXPECT_EQ(manager_.FindRecord("click")->volume.load(), 100);

    // A muted profile: every group (in name order) and every later effect at volume 0.
    device_.ClearLog();
    manager_.SetGroupVolume(0, nullptr);
    manager_.PlaySound("click");
    EXPECT_EQ(device_.Calls(), (std::vector<std::string>{
                                   "ChannelGroup_SetVolume 5 0", "ChannelGroup_SetVolume 3 0",
                                   "ChannelGroup_SetVolume 2 0", "ChannelGroup_SetVolume 1 0",
                                   "ChannelGroup_SetVolume 4 0",
                                   "Sample_PlayEx 1 0 1 1 0 0 44100 50 = 1", "Channel_SetPan 1 20",
                               }));

    // An instance plays at record volume x effect volume / 100, truncated: 40 x 85 / 100 = 34.
    manager_.SetGroupVolume(85, nullptr);
    auto instance = manager_.CreateInstance("dup");
    ASSERT_NE(instance, nullptr);
    device_.ClearLog();
    instance->Play(false);
    EXPECT_EQ(device_.CallsNamed("Sample_PlayEx"), std::vector<std::string>{"Sample_PlayEx 2 0 3 1 0 34 44100 50 = 2"});
    EXPECT_EQ(manager_.CreateInstance("unknown"), nullptr);
}

TEST_F(SoundManagerTest, SoundLogWritesTimedLinesInDebugMode)
{
    manager_.LoadAllSamples();
    ASSERT_NE(gDebugSettings, nullptr);
    const bool debugMode = gDebugSettings->debugMode;
    const bool soundLog = gDebugSettings->soundLog;
    gDebugSettings->debugMode = true;
    gDebugSettings->soundLog = true;
    TestSupport::DebugOutputCapture output;
    manager_.PlaySound("click");
    auto instance = manager_.CreateInstance("dup");
    instance->Play(false);
    gDebugSettings->debugMode = debugMode;
    gDebugSettings->soundLog = soundLog;
    EXPECT_NE(output.Text().find("] Play2(1): " + click_ + "\n"), std::string::npos) << output.Text();
    EXPECT_NE(output.Text().find("] Play3(2): " + second_ + "\n"), std::string::npos) << output.Text();
}

TEST_F(SoundManagerTest, ClearStopsEachSampleBeforeUnloadingIt)
{
    manager_.LoadAllSamples();
    device_.ClearLog();
    manager_.Clear();
    // The failed load (wind) has nothing to stop or unload.
    EXPECT_EQ(device_.Calls(), (std::vector<std::string>{
                                   "Sample_Stop 1", "Sample_Unload 1", "Sample_Stop 2", "Sample_Unload 2",
                                   "Sample_Stop 3", "Sample_Unload 3",
                               }));
    EXPECT_TRUE(manager_.SoundNames().empty());
    EXPECT_TRUE(device_.LoadedSamples().empty());
}

} // namespace
