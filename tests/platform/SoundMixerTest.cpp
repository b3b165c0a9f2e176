// The shared mixer: ids and errors, levels per volume, pan and group, clipping, ends and loops,
// pauses, unloading while playing, and the voice limit. Samples are synthetic: the test mixer
// "decodes" a path to frames the test registered under it.
#include "platform/SoundMixer.h"

#include <gtest/gtest.h>

#include <map>

using namespace Platform;

namespace {

class ToneMixer final : public SoundMixer {
public:
    ~ToneMixer() override { Free(); }
    int GetNumDevice() override { return 1; }
    // path loads as stereo frames (left, right, ...).
    void Register(const std::string& path, std::vector<int16_t> frames)
    {
        auto pcm = std::make_shared<SoundPcm>();
        pcm->samples = std::move(frames);
        sounds_[path] = pcm;
    }
    // Constant value on both sides, frames long.
    void RegisterConstant(const std::string& path, int16_t value, size_t frames = 4096)
    {
        Register(path, std::vector<int16_t>(frames * 2, value));
    }
    std::vector<int16_t> MixFrames(size_t frames)
    {
        std::vector<int16_t> out(frames * 2, 7777);
        Mix(out.data(), frames);
        return out;
    }

private:
    int OpenOutput(const SoundInitParams&) override { return kSoundOk; }
    void CloseOutput() override {}
    std::shared_ptr<const SoundPcm> DecodeSample(const SoundFileCallbacks&, const char* path, int,
                                                 int& error) override
    {
        auto found = sounds_.find(path);
        if (found == sounds_.end()) {
            error = kSoundErrFileOpen;
            return nullptr;
        }
        return found->second;
    }
    uint64_t NowMs() override { return 0; }
    std::map<std::string, std::shared_ptr<const SoundPcm>> sounds_;
};

int Play(SoundMixer& mixer, int sample, int loop = 0, int volume = 100, int pan = 50, int group = 0)
{
    return mixer.SamplePlayEx(sample, loop, group, 1, 0, volume, 44100, pan);
}

TEST(SoundMixer, IdsStartAtOneAreNeverReusedAndFailuresAreNegative)
{
    ToneMixer mixer;
    mixer.RegisterConstant("a", 1);
    mixer.RegisterConstant("b", 1);
    EXPECT_EQ(mixer.SampleLoadFile("a", 0, nullptr), kSoundErrNotInitialised);
    EXPECT_EQ(Play(mixer, 1), kSoundErrNotInitialised);

    ASSERT_EQ(mixer.Init(SoundInitParams{}), kSoundOk);
    EXPECT_EQ(mixer.SampleLoadFile("a", 0, nullptr), 1);
    EXPECT_EQ(mixer.SampleLoadFile("b", 0, nullptr), 2);
    EXPECT_EQ(mixer.SampleLoadFile("missing", 0, nullptr), kSoundErrFileOpen);
    mixer.SampleUnload(1);
    EXPECT_EQ(mixer.SampleLoadFile("a", 0, nullptr), 3);
    EXPECT_EQ(Play(mixer, 1), kSoundErrBadSample) << "an unloaded sample id stays dead";
    EXPECT_EQ(Play(mixer, 0), kSoundErrBadSample);

    EXPECT_EQ(Play(mixer, 2), 1);
    mixer.ChannelStop(1);
    EXPECT_EQ(Play(mixer, 2), 2);
    EXPECT_EQ(mixer.ChannelStatus(1), kChannelStopped);
    EXPECT_EQ(mixer.ChannelStatus(2), kChannelPlaying);
    for (int stale : {0, -1, 3, 1000})
        EXPECT_EQ(mixer.ChannelStatus(stale), kChannelStopped) << stale;

    // A restart continues the numbering: an old id never names a new sample or channel.
    mixer.Free();
    ASSERT_EQ(mixer.Init(SoundInitParams{}), kSoundOk);
    EXPECT_EQ(mixer.SampleLoadFile("a", 0, nullptr), 4);
    EXPECT_EQ(Play(mixer, 4), 3);
}

struct LevelCase {
    const char* what;
    int volume;
    int pan;
    int groupVolume; // -1: group never set
    int16_t left;
    int16_t right;
};
constexpr LevelCase kLevels[] = {
    {"full centre", 100, 50, -1, 10000, 10000},
    {"pan 0 silences the right", 100, 0, -1, 10000, 0},
    {"pan 100 silences the left", 100, 100, -1, 0, 10000},
    {"pan 25 halves the right", 100, 25, -1, 10000, 5000},
    {"pan 75 halves the left", 100, 75, -1, 5000, 10000},
    {"volume 59", 59, 50, -1, 5900, 5900},
    {"volume 0 is silent", 0, 50, -1, 0, 0},
    {"group 50 x volume 50", 50, 50, 50, 2500, 2500},
    {"group 0 is silent", 100, 50, 0, 0, 0},
    {"volume above 100 clamps", 150, 50, -1, 10000, 10000},
    {"pan below 0 clamps", 100, -20, -1, 10000, 0},
};

TEST(SoundMixer, LevelFollowsVolumePanAndGroup)
{
    for (const LevelCase& c : kLevels) {
        ToneMixer mixer;
        mixer.RegisterConstant("dc", 10000);
        ASSERT_EQ(mixer.Init(SoundInitParams{}), kSoundOk);
        const int sample = mixer.SampleLoadFile("dc", 0, nullptr);
        if (c.groupVolume >= 0)
            mixer.ChannelGroupSetVolume(7, c.groupVolume);
        ASSERT_GT(Play(mixer, sample, 0, c.volume, c.pan, 7), 0);
        const auto out = mixer.MixFrames(2);
        EXPECT_EQ(out[0], c.left) << c.what;
        EXPECT_EQ(out[1], c.right) << c.what;
        EXPECT_EQ(out[2], c.left) << c.what;
    }
}

TEST(SoundMixer, ChangesApplyToTheNextFramesAndGroupsStayApart)
{
    ToneMixer mixer;
    mixer.RegisterConstant("dc", 10000);
    ASSERT_EQ(mixer.Init(SoundInitParams{}), kSoundOk);
    const int sample = mixer.SampleLoadFile("dc", 0, nullptr);
    const int music = Play(mixer, sample, 1, 100, 50, -1);
    mixer.ChannelGroupSetVolume(2, 0);
    EXPECT_EQ(mixer.MixFrames(1)[0], 10000) << "another group's volume must not touch group -1";
    mixer.ChannelGroupSetVolume(-1, 30);
    mixer.ChannelSetVolume(music, 50);
    mixer.ChannelSetPan(music, 0);
    const auto out = mixer.MixFrames(1);
    EXPECT_EQ(out[0], 1500);
    EXPECT_EQ(out[1], 0);
}

TEST(SoundMixer, SumsClipToSixteenBits)
{
    ToneMixer mixer;
    mixer.RegisterConstant("high", 30000);
    mixer.RegisterConstant("low", -30000);
    ASSERT_EQ(mixer.Init(SoundInitParams{}), kSoundOk);
    const int high = mixer.SampleLoadFile("high", 0, nullptr);
    const int low = mixer.SampleLoadFile("low", 0, nullptr);
    Play(mixer, high, 0, 100, 0);
    Play(mixer, high, 0, 100, 0);
    Play(mixer, low, 0, 100, 100);
    Play(mixer, low, 0, 100, 100);
    const auto out = mixer.MixFrames(1);
    EXPECT_EQ(out[0], 32767);
    EXPECT_EQ(out[1], -32768);
}

TEST(SoundMixer, OneShotEndsAfterItsLastFrameAndLoopsWrap)
{
    ToneMixer mixer;
    mixer.Register("ramp", {1, 1, 2, 2, 3, 3});
    ASSERT_EQ(mixer.Init(SoundInitParams{}), kSoundOk);
    const int sample = mixer.SampleLoadFile("ramp", 0, nullptr);
    const int once = Play(mixer, sample, 0, 100, 0);
    const int looped = Play(mixer, sample, 1, 100, 100);
    const auto out = mixer.MixFrames(5);
    const std::vector<int16_t> expected = {1, 1, 2, 2, 3, 3, 0, 1, 0, 2};
    EXPECT_EQ(out, expected);
    EXPECT_EQ(mixer.ChannelStatus(once), kChannelStopped);
    EXPECT_EQ(mixer.ChannelStatus(looped), kChannelPlaying);

    // A one-shot whose last frame is the buffer's last frame ends in that same mix.
    const int exact = Play(mixer, sample, 0, 100, 0);
    mixer.MixFrames(3);
    EXPECT_EQ(mixer.ChannelStatus(exact), kChannelStopped);
}

TEST(SoundMixer, PausesFreezeThePosition)
{
    ToneMixer mixer;
    mixer.Register("ramp", {1, 1, 2, 2, 3, 3, 4, 4});
    ASSERT_EQ(mixer.Init(SoundInitParams{}), kSoundOk);
    const int sample = mixer.SampleLoadFile("ramp", 0, nullptr);
    const int channel = Play(mixer, sample);
    EXPECT_EQ(mixer.MixFrames(1)[0], 1);
    mixer.ChannelPause(channel, true);
    EXPECT_EQ(mixer.ChannelStatus(channel), kChannelPaused);
    EXPECT_EQ(mixer.MixFrames(2), (std::vector<int16_t>{0, 0, 0, 0}));
    mixer.ChannelPause(channel, false);
    EXPECT_EQ(mixer.MixFrames(1)[0], 2);
    mixer.Pause(true);
    EXPECT_EQ(mixer.MixFrames(2), (std::vector<int16_t>{0, 0, 0, 0}));
    EXPECT_EQ(mixer.ChannelStatus(channel), kChannelPlaying) << "a global pause is not the channel's";
    mixer.Pause(false);
    EXPECT_EQ(mixer.MixFrames(1)[0], 3);

    const int startedPaused = mixer.SamplePlayEx(sample, 0, 0, 0, 0, 100, 44100, 50);
    EXPECT_EQ(mixer.ChannelStatus(startedPaused), kChannelPaused);
}

TEST(SoundMixer, UnloadKeepsPlayingChannelsAndSampleStopEndsThem)
{
    ToneMixer mixer;
    mixer.RegisterConstant("a", 100);
    mixer.RegisterConstant("b", 10);
    ASSERT_EQ(mixer.Init(SoundInitParams{}), kSoundOk);
    const int a = mixer.SampleLoadFile("a", 0, nullptr);
    const int b = mixer.SampleLoadFile("b", 0, nullptr);
    const int a1 = Play(mixer, a, 1);
    const int a2 = Play(mixer, a, 1);
    const int b1 = Play(mixer, b, 1);
    mixer.SampleUnload(a);
    EXPECT_EQ(mixer.MixFrames(1)[0], 210) << "the channels hold the sound, not the table";
    mixer.SampleStop(a); // by id, even after the unload
    EXPECT_EQ(mixer.ChannelStatus(a1), kChannelStopped);
    EXPECT_EQ(mixer.ChannelStatus(a2), kChannelStopped);
    EXPECT_EQ(mixer.ChannelStatus(b1), kChannelPlaying);
    EXPECT_EQ(mixer.MixFrames(1)[0], 10);
    mixer.Stop();
    EXPECT_EQ(mixer.ChannelStatus(b1), kChannelStopped);
}

TEST(SoundMixer, VoiceLimitRefusesAndFreesAgain)
{
    ToneMixer mixer;
    mixer.RegisterConstant("a", 1);
    SoundInitParams params;
    params.voices = 3;
    ASSERT_EQ(mixer.Init(params), kSoundOk);
    const int a = mixer.SampleLoadFile("a", 0, nullptr);
    const int first = Play(mixer, a);
    Play(mixer, a);
    Play(mixer, a);
    EXPECT_EQ(Play(mixer, a), kSoundErrNoVoice);
    mixer.ChannelStop(first);
    EXPECT_GT(Play(mixer, a), 0);
}

} // namespace
