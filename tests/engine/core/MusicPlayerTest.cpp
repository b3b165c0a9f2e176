// The music player on the recording device: the stream list, cross-fades stepped by the manual
// clock, returning to a stream that is still fading out, pause, volume and teardown.
#include "engine/core/MusicPlayer.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/core/SoundFixture.h"

namespace {

class MusicPlayerTest : public SoundFixture {
protected:
    void SetUp() override
    {
        SoundFixture::SetUp();
        a_ = SampleFile("a.ogg");
        b_ = SampleFile("b.ogg");
        ASSERT_TRUE(player_.LoadMusicStreamList(ParseRoot(R"(<root><music>
            <stream name="a" path=")" + a_ + R"("/>
            <stream name="b" path=")" + b_ + R"("/>
        </music></root>)")));
        player_.SetVolume(59);
        device_.ClearLog();
    }
    // Index of the first log line equal to line, or the log's size.
    size_t IndexOf(const std::string& line) const
    {
        const auto calls = device_.Calls();
        return size_t(std::find(calls.begin(), calls.end(), line) - calls.begin());
    }

    VTMusicPlayer player_;
    std::string a_, b_;
};

TEST(MusicPlayer, StreamListStopsAtTheFirstBadElement)
{
    struct Case {
        const char* what;
        const char* streams;
        bool result;
        std::vector<const char*> entered;
    };
    const Case cases[] = {
        {"all good", R"(<stream name="x" path="x.ogg"/><stream name="y" path="y.ogg"/>)", true, {"x", "y"}},
        {"missing path", R"(<stream name="x" path="x.ogg"/><stream name="y"/><stream name="z" path="z"/>)", false, {"x"}},
        {"missing name", R"(<stream path="w.ogg"/><stream name="x" path="x.ogg"/>)", false, {}},
        {"duplicate name", R"(<stream name="x" path="1"/><stream name="x" path="2"/><stream name="y" path="3"/>)", false, {"x"}},
    };
    for (const Case& c : cases) {
        VTMusicPlayer player;
        Platform::XmlDocument document = CreateXmlDocument();
        const std::string xml = std::string("<root><music>") + c.streams + "</music></root>";
        ASSERT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document));
        EXPECT_EQ(player.LoadMusicStreamList(document.DocumentElement()), c.result) << c.what;
        for (const char* name : {"w", "x", "y", "z"}) {
            const bool expected = std::find_if(c.entered.begin(), c.entered.end(), [&](const char* n) {
                                      return std::string(n) == name;
                                  }) != c.entered.end();
            EXPECT_EQ(player.FindStream(name) != nullptr, expected) << c.what << ": " << name;
        }
        if (std::string(c.what) == "duplicate name") {
            EXPECT_EQ(player.FindStream("x")->path, "1") << "the first entry stays";
        }
    }
}

TEST_F(MusicPlayerTest, CrossFadeStepsOutIn50AndInIn25Milliseconds)
{
    player_.PlayMusic("a");
    EXPECT_EQ(device_.Calls(), (std::vector<std::string>{
                                   "Sample_LoadFile " + a_ + " 0 null = 1",
                                   "Sample_PlayEx 1 1 -1 1 0 0 44100 50 = 1",
                                   "Channel_SetWorker 1 worker 25",
                               }));
    for (int tick = 0; tick < 20; ++tick)
        device_.Tick(25);
    const std::vector<int> fadeIn = {2, 5, 8, 11, 14, 17, 20, 23, 26, 29, 32, 35, 38, 41, 44, 47, 50, 53, 56, 59};
    EXPECT_EQ(device_.VolumeHistory(1), fadeIn);
    EXPECT_EQ(device_.InstalledWorker(1), nullptr);

    player_.PlayMusic("b");
    for (int tick = 0; tick < 19; ++tick)
        device_.Tick(50);
    EXPECT_EQ(device_.ChannelStatus(1), Platform::kChannelPlaying) << "still fading out after 19 steps";
    device_.Tick(50);
    const std::vector<int> fadeOut = {56, 53, 50, 47, 44, 41, 38, 35, 32, 29, 26, 23, 20, 17, 14, 11, 8, 5, 2, 0};
    std::vector<int> outVolumes = device_.VolumeHistory(1);
    outVolumes.erase(outVolumes.begin(), outVolumes.begin() + 20);
    EXPECT_EQ(outVolumes, fadeOut);
    EXPECT_EQ(device_.VolumeHistory(2), fadeIn) << "the new stream fades in at the same time";
    EXPECT_EQ(device_.ChannelStatus(1), Platform::kChannelStopped);
    EXPECT_EQ(device_.LoadedSamples(), std::vector<int>{2}) << "a's sample went with its last channel";
    EXPECT_LT(IndexOf("Sample_Unload 1"), IndexOf("Channel_Stop 1"));
    EXPECT_EQ(player_.LiveChannels(), 1u);
    EXPECT_EQ(player_.CurrentChannel(), 2);
    EXPECT_EQ(player_.FindStream("a")->sampleId, 0);
}

TEST_F(MusicPlayerTest, ReturningToAFadingStreamPlaysASecondChannelOfItsSample)
{
    player_.PlayMusic("a");
    device_.Tick(500);
    player_.PlayMusic("b");
    device_.Tick(200); // a fades out
    player_.PlayMusic("a");
    EXPECT_EQ(device_.CallsNamed("Sample_LoadFile").size(), 2u) << "a's sample is still loaded";
    const int second = player_.CurrentChannel();
    EXPECT_EQ(device_.InspectChannel(second)->sample, 1);
    EXPECT_EQ(player_.FindStream("a")->playCount, 2);

    device_.Tick(1000); // a's first channel and b have faded out
    EXPECT_EQ(device_.ChannelStatus(1), Platform::kChannelStopped);
    EXPECT_EQ(device_.LoadedSamples(), std::vector<int>{1}) << "b is gone, a still plays";
    player_.PlayMusic("b");
    device_.Tick(1000);
    EXPECT_EQ(device_.ChannelStatus(second), Platform::kChannelStopped);
    const auto calls = device_.Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Sample_Unload 1"), 1) << "unloaded once, after both ended";
    EXPECT_EQ(player_.FindStream("a")->playCount, 0);
}

TEST_F(MusicPlayerTest, SameNameUnknownNamePauseAndVolume)
{
    player_.PlayMusic("a");
    device_.ClearLog();
    player_.PlayMusic("a");
    EXPECT_TRUE(device_.Calls().empty()) << "the current name changes nothing";

    player_.Pause();
    EXPECT_TRUE(device_.InspectChannel(1)->paused);
    player_.Resume();
    EXPECT_FALSE(device_.InspectChannel(1)->paused);
    player_.SetVolume(30);
    EXPECT_EQ(device_.GroupVolume(-1), 30);

    // An unknown name fades the music out and plays nothing; another unknown name does not
    // restart the fade of the channel already fading.
    device_.ClearLog();
    player_.PlayMusic("none");
    player_.PlayMusic("");
    EXPECT_EQ(device_.Calls(), std::vector<std::string>{"Channel_SetWorker 1 worker 50"});
    EXPECT_EQ(player_.CurrentName(), "");
    device_.Tick(1000);
    EXPECT_EQ(player_.LiveChannels(), 0u);
    EXPECT_EQ(player_.CurrentChannel(), 0);
    EXPECT_TRUE(device_.LoadedSamples().empty());
}

TEST_F(MusicPlayerTest, TeardownDuringFadesStopsEveryChannel)
{
    auto player = std::make_unique<VTMusicPlayer>();
    EXPECT_EQ(gMusicPlayer.load(), player.get());
    ASSERT_TRUE(player->LoadMusicStreamList(ParseRoot(
        R"(<root><music><stream name="a" path=")" + a_ + R"("/><stream name="b" path=")" + b_ + R"("/></music></root>)")));
    player->SetVolume(59);
    player->PlayMusic("a");
    device_.Tick(100);
    player->PlayMusic("b");
    device_.Tick(100);
    const auto channels = device_.Channels();
    ASSERT_EQ(channels.size(), 2u);
    player.reset();
    EXPECT_EQ(gMusicPlayer.load(), nullptr);
    for (int channel : channels) {
        EXPECT_EQ(device_.ChannelStatus(channel), Platform::kChannelStopped);
        EXPECT_EQ(device_.InstalledWorker(channel), nullptr);
    }
    EXPECT_TRUE(device_.LoadedSamples().empty());
    device_.Tick(2000); // would reach freed records if a worker were left behind
}

TEST(MusicPlayer, WithSoundOffOnlyTheNameChanges)
{
    Platform::RecordingSoundDevice device;
    device.SetNumDevices(0);
    Platform::SoundDevice* previous = Platform::SetSoundDevice(&device);
    InitSoundSystem(0);
    {
        VTMusicPlayer player;
        Platform::XmlDocument document = CreateXmlDocument();
        const std::string xml = R"(<root><music><stream name="a" path="a.ogg"/></music></root>)";
        ASSERT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document));
        ASSERT_TRUE(player.LoadMusicStreamList(document.DocumentElement()));
        player.SetVolume(50);
        player.PlayMusic("a");
        player.Pause();
        EXPECT_EQ(player.CurrentName(), "a");
        EXPECT_EQ(player.Volume(), 50);
    }
    EXPECT_EQ(device.Calls(), std::vector<std::string>{"GetNumDevice"});
    ShutdownSoundSystem();
    Platform::SetSoundDevice(previous);
}

} // namespace
