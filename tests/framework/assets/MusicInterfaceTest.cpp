#include "framework/assets/FModMusicInterface.h"
#include "framework/core/PathUtils.h"
#include "support/DebugOutputCapture.h"
#include "support/RecordingFModApi.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using Fw::FModMusicInterface;

TEST(BassMusicInterface, LoadsTrueAndPlaysNothing)
{
    Fw::BassMusicInterface music;
    EXPECT_TRUE(music.LoadMusic(1, "anything.ogg"));
    music.PlayMusic(1, 0, false);
    EXPECT_FALSE(music.IsPlaying(1));
    EXPECT_FALSE(Fw::MusicInterface().LoadMusic(1, "x"));
}

TEST(FModMusicInterface, MissingLibraryFallsBackToTheEmptyBackEnd)
{
    TestSupport::DebugOutputCapture output;
    Fw::SetFModProvider({});
    auto music = FModMusicInterface::Create();
    EXPECT_EQ(dynamic_cast<FModMusicInterface*>(music.get()), nullptr);
    EXPECT_TRUE(music->LoadMusic(1, "song"));
    EXPECT_NE(output.Text().find("Can't find fmod.dll."), std::string::npos);
}

class FModTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Fw::SetAppDataFolder(temp_.Path());
        Fw::SetFModProvider([this] {
            auto api = std::make_unique<RecordingFModApi>();
            api_ = api.get();
            api_->freedCounter = &freed_;
            return api;
        });
        auto music = FModMusicInterface::Create();
        music_.reset(dynamic_cast<FModMusicInterface*>(music.release()));
        ASSERT_NE(music_, nullptr);
        RecordingFModApi::Sample mono;
        mono.mode = Fw::kFModSampleMono;
        mono.frequency = 22050;
        mono.frames = 3;
        mono.data = {1, 2, 3, 4, 5, 6};
        api_->files["music/theme.ogg"] = mono;
        api_->songFiles["mod.it"] = 77;
    }
    void TearDown() override
    {
        music_.reset();
        Fw::SetFModProvider({});
        Fw::SetAppDataFolder("");
    }

    std::vector<std::string> CallsNamed(const std::string& prefix) const
    {
        std::vector<std::string> out;
        for (const auto& c : api_->calls)
            if (c.rfind(prefix, 0) == 0)
                out.push_back(c);
        return out;
    }

    TestSupport::TempFolder temp_;
    RecordingFModApi* api_ = nullptr;
    int freed_ = 0;
    std::unique_ptr<FModMusicInterface> music_;
};

TEST_F(FModTest, OggIsCachedAsWavUnderItsPath)
{
    ASSERT_TRUE(music_->LoadSampleMusic(3, "music/theme", true));
    const std::string wav = TestSupport::ReadFileBytes(FModMusicInterface::CachePathFor("music/theme"));
    // Mono, 16 bits, 22050 Hz: block align 2, byte rate 44100, 3 frames = 6 bytes of data.
    const std::string expected = std::string("RIFF\x2A\0\0\0WAVEfmt ", 16) +
                                 std::string("\x10\0\0\0\x01\0\x01\0\x22\x56\0\0\x44\xAC\0\0\x02\0\x10\0", 20) +
                                 std::string("data\x06\0\0\0\1\2\3\4\5\6", 14);
    EXPECT_EQ(wav, expected);
    EXPECT_NE(FModMusicInterface::CachePathFor("a/theme"), FModMusicInterface::CachePathFor("b/theme"));

    // A second load under the same id keeps the first song.
    api_->files[FModMusicInterface::CachePathFor("music/theme")] = api_->files["music/theme.ogg"];
    const uint32_t first = music_->GetSong(3)->sample;
    EXPECT_TRUE(music_->LoadSampleMusic(3, "music/theme", false));
    EXPECT_EQ(music_->GetSong(3)->sample, first);
    EXPECT_TRUE(music_->GetSong(3)->loop);
    EXPECT_FALSE(music_->LoadSampleMusic(4, "music/missing", false));
}

TEST_F(FModTest, FadeInReachesFullVolumeInOneHundredSteps)
{
    ASSERT_TRUE(music_->LoadSampleMusic(3, "music/theme", true));
    music_->FadeIn(3, -1, 0.01, false);
    api_->calls.clear();
    for (int i = 0; i < 105; ++i)
        music_->Update();
    std::vector<std::string> expected;
    for (int v = 1; v <= 100; ++v)
        expected.push_back("SetVolume 3 " + std::to_string(v));
    EXPECT_EQ(CallsNamed("SetVolume"), expected);
    EXPECT_EQ(music_->GetSong(3)->fadeStep, 0.0);
}

TEST_F(FModTest, FadeOutStopsInTheUpdateThatGoesBelowZero)
{
    ASSERT_TRUE(music_->LoadSampleMusic(3, "music/theme", true));
    music_->PlayMusic(3, 0, false);
    EXPECT_TRUE(music_->IsPlaying(3)) << "a sample song is asked through its channel";
    music_->FadeOut(3, true, 0.3);
    api_->calls.clear();
    for (int i = 0; i < 3; ++i)
        music_->Update();
    EXPECT_TRUE(CallsNamed("StopSound").empty());
    music_->Update(); // 1.0 - 4 * 0.3 < 0
    EXPECT_EQ(CallsNamed("StopSound"), std::vector<std::string>{"StopSound 3"});
    EXPECT_FALSE(music_->IsPlaying(3));
}

TEST_F(FModTest, ModuleSongsFollowTheirOffsetRules)
{
    ASSERT_TRUE(music_->LoadMusic(1, "mod.it"));
    music_->PlayMusic(1, 5, true);
    EXPECT_EQ(api_->calls, (std::vector<std::string>{"SetMasterVolume 77 100", "SetLooping 77 1", "PlaySong 77",
                                                      "SetOrder 77 5"}));
    api_->calls.clear();
    music_->SetSongVolume(1, 0.5);
    music_->FadeIn(1, -1, 0.1, false); // playing already; -1 leaves the order alone
    EXPECT_EQ(api_->calls, (std::vector<std::string>{"SetMasterVolume 77 50", "SetMasterVolume 77 50",
                                                      "SetLooping 77 2"}));
    EXPECT_EQ(music_->GetSong(1)->volume, 0.5) << "a fade-in starts from the current volume";
}

TEST_F(FModTest, JoinedSongsAndTheDestructorFreeTheirSamples)
{
    api_->files["b.ogg"] = api_->files["music/theme.ogg"];
    api_->files["b.ogg"].data = {7, 8, 9, 10, 11, 12};
    ASSERT_TRUE(music_->LoadJoinedSampleMusic(5, "music/theme", "b", true));
    EXPECT_EQ(freed_, 2) << "both parts are freed once joined";
    const uint32_t joined = music_->GetSong(5)->sample;
    EXPECT_EQ(api_->samples[joined].data, (std::vector<char>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(CallsNamed("SetLoopPoints"), std::vector<std::string>{"SetLoopPoints " + std::to_string(joined) + " 3 3"});
    music_.reset();
    EXPECT_EQ(freed_, 3) << "the destructor frees the joined sample";
}

} // namespace
