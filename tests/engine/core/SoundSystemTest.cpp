// Starting the sound system on the recording device: the start sequence, no device, a failing
// start, pausing on focus changes, shutdown, and samples read through the archive layer.
#include "engine/core/SoundSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "engine/core/SoundManager.h"
#include "framework/assets/PakInterface.h"
#include "platform/sdl/SdlSoundDevice.h"
#include "support/ArchiveFixtures.h"
#include "tests/engine/core/SoundFixture.h"
#include "tests/platform/SoundTestFiles.h"

namespace {

using Platform::RecordingSoundDevice;

class SoundSystemTest : public SoundFixture {};

TEST_F(SoundSystemTest, StartPassesTheParameterRecordAndTheCallbacks)
{
    ShutdownSoundSystem();
    device_.ClearLog();
    InitSoundSystem(77);
    EXPECT_TRUE(IsSoundSystemUp());
    const std::vector<std::string> expected = {
        "GetNumDevice",  "Init 77 0 44100 16 32 1 1 0 500 0 = 0", "SetSpeakerMode 3",
        "SetFileCallbacks", "SetMemoryCallbacks",
    };
    EXPECT_EQ(device_.Calls(), expected);
}

TEST_F(SoundSystemTest, FocusChangesPauseAndResumeOnceEachAndShutdownFreesTheDevice)
{
    PauseAllSound(true);
    PauseAllSound(false);
    ShutdownSoundSystem();
    EXPECT_FALSE(IsSoundSystemUp());
    EXPECT_FALSE(IsSoundSystemStarted());
    PauseAllSound(true); // after shutdown: nothing reaches the freed device
    EXPECT_EQ(device_.Calls(), (std::vector<std::string>{"Pause 1", "Pause 0", "Stop", "Free"}));
}

struct NoSoundCase {
    const char* what;
    int devices;
    int initResult;
    std::vector<std::string> calls;
};

TEST(SoundSystem, WithoutADeviceOrAStartSoundStaysOffAndTablesAreKept)
{
    const NoSoundCase cases[] = {
        {"no device", 0, Platform::kSoundOk, {"GetNumDevice"}},
        {"start fails", 1, Platform::kSoundErrNoDevice, {"GetNumDevice", "Init 0 0 44100 16 32 1 1 0 500 0 = -2"}},
    };
    for (const NoSoundCase& c : cases) {
        RecordingSoundDevice device;
        device.SetNumDevices(c.devices);
        device.SetInitResult(c.initResult);
        Platform::SoundDevice* previous = Platform::SetSoundDevice(&device);
        InitSoundSystem(0);
        EXPECT_FALSE(IsSoundSystemUp()) << c.what;
        EXPECT_TRUE(IsSoundSystemStarted()) << c.what;

        VTSoundManager manager;
        Platform::XmlDocument document = CreateXmlDocument();
        const std::string xml = R"(<root><sounds><sound name="click" group="ui" path="c.wav"/></sounds></root>)";
        ASSERT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document));
        manager.LoadFromXml(document.DocumentElement());
        manager.LoadAllSamples();
        manager.PlaySound("click");
        manager.SetGroupVolume(0, nullptr);
        PauseAllSound(true);
        EXPECT_EQ(manager.CreateInstance("click"), nullptr) << c.what;
        EXPECT_EQ(manager.SoundNames(), std::vector<std::string>{"click"}) << c.what;
        EXPECT_EQ(manager.EffectVolume(), 0) << c.what;
        manager.Clear();
        ShutdownSoundSystem();
        EXPECT_EQ(device.Calls(), c.calls) << c.what;
        Platform::SetSoundDevice(previous);
    }
}

// Publishes a reader over one archive holding files, written with the project's archive writer.
class ArchiveOnly {
public:
    ArchiveOnly(const TestSupport::TempFolder& folder, const TestSupport::ArchiveFiles& files)
    {
        const std::vector<uint8_t> bytes = TestSupport::MakeArchive(files);
        const std::string path = folder.File("sound.pak");
        TestSupport::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
        EXPECT_EQ(GetPakInterface(), &reader_);
        EXPECT_TRUE(reader_.OpenPakArchive(path));
    }

private:
    PakInterface reader_;
};

TEST_F(SoundSystemTest, SamplesLoadFromInsideAnArchive)
{
    const std::string bytes(3000, 'w');
    ArchiveOnly archive(folder_, {{"sfx\\inside.wav", bytes}});
    VTSoundManager manager;
    manager.LoadFromXml(ParseRoot(R"(<root><sounds>
        <sound name="inside" group="ui" path="sfx\inside.wav"/>
        <sound name="lost" group="ui" path="sfx\lost.wav"/>
    </sounds></root>)"));
    manager.LoadAllSamples();

    EXPECT_GT(manager.FindRecord("inside")->sampleId.load(), 0);
    EXPECT_EQ(device_.BytesRead("sfx\\inside.wav"), long(bytes.size()));
    // A file the open callback cannot find fails the load; the record keeps the failure.
    EXPECT_EQ(manager.FindRecord("lost")->sampleId.load(), Platform::kSoundErrFileOpen);
}

// End to end on the real mixer (dummy output): libsndfile seeks and reads a WAV entry of an
// archive through the engine's callbacks and the archive reader.
TEST(SoundSystem, RealDeviceDecodesASampleFromAnArchive)
{
    TestSupport::TempFolder folder;
    const std::string source = folder.File("tone.wav");
    SoundTestFiles::Write(source, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1,
                          SoundTestFiles::Constant(441, 1234));
    ArchiveOnly archive(folder, {{"sfx\\tone.wav", TestSupport::ReadFileBytes(source)}});
    std::filesystem::remove(source);

    setenv("SDL_AUDIODRIVER", "dummy", 1); // silent output, also when run by hand
    auto device = Platform::SdlSoundDevice::Create();
    ASSERT_NE(device, nullptr);
    Platform::SoundDevice* previous = Platform::SetSoundDevice(device.get());
    InitSoundSystem(0);
    ASSERT_TRUE(IsSoundSystemUp());
    VTSoundManager manager;
    Platform::XmlDocument document = CreateXmlDocument();
    const std::string xml = R"(<root><sounds><sound name="tone" path="sfx\tone.wav"/></sounds></root>)";
    ASSERT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document));
    manager.LoadFromXml(document.DocumentElement());
    manager.LoadAllSamples();
    const int sample = manager.FindRecord("tone")->sampleId.load();
    EXPECT_GT(sample, 0);
    EXPECT_EQ(device->SamplePath(sample), "sfx\\tone.wav");
    manager.Clear();
    ShutdownSoundSystem();
    Platform::SetSoundDevice(previous);
}

} // namespace
