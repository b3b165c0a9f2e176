// Starting the sound system on the recording device: the start sequence, no device, a failing
// start, pausing on focus changes, shutdown, and samples read through the archive layer.
#include "engine/core/SoundSystem.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "engine/core/SoundManager.h"
#include "framework/core/PakFile.h"
#include "tests/engine/core/SoundFixture.h"

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

// An archive reader holding files in memory: names it knows open from memory, nothing else
// opens (so the file system is never asked).
class MemoryArchive final : public PakInterfaceBase {
public:
    std::map<std::string, std::string> files;
    int opened = 0;

    PakFile* FOpen(const char* name, const char* mode) override
    {
        auto found = files.find(name);
        if (found == files.end() || std::strcmp(mode, "rb") != 0)
            return nullptr;
        ++opened;
        auto* file = new PakFile;
        open_[file] = &found->second;
        return file;
    }
    int FClose(PakFile* file) override
    {
        open_.erase(file);
        delete file;
        return 0;
    }
    int FSeek(PakFile* file, long offset, int origin) override
    {
        const long size = long(open_.at(file)->size());
        const long base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? file->position : size;
        if (base + offset < 0 || base + offset > size)
            return -1;
        file->position = int32_t(base + offset);
        return 0;
    }
    long FTell(PakFile* file) override { return file->position; }
    size_t FRead(void* buffer, size_t elementSize, size_t count, PakFile* file) override
    {
        const std::string& data = *open_.at(file);
        const size_t available = data.size() - size_t(file->position);
        const size_t elements = elementSize == 0 ? 0 : std::min(count, available / elementSize);
        std::memcpy(buffer, data.data() + file->position, elements * elementSize);
        file->position += int32_t(elements * elementSize);
        return elements;
    }
    int FGetC(PakFile*) override { return EOF; }
    int FGetWC(PakFile*) override { return 0xFFFF; }
    int UnGetC(int, PakFile*) override { return EOF; }
    char16_t* FGetWS(char16_t*, int, PakFile*) override { return nullptr; }
    char* FGetS(char*, int, PakFile*) override { return nullptr; }
    int FEof(PakFile* file) override { return size_t(file->position) >= open_.at(file)->size(); }
    PakFindHandle FindFirstFile(const char*, PakFindFileData*) override { return kInvalidPakFindHandle; }
    bool FindNextFile(PakFindHandle, PakFindFileData*) override { return false; }
    bool FindClose(PakFindHandle) override { return false; }

private:
    std::map<PakFile*, const std::string*> open_;
};

TEST_F(SoundSystemTest, SamplesLoadThroughTheArchiveLayer)
{
    MemoryArchive archive;
    const std::string bytes(3000, 'w');
    archive.files["sfx\\inside.wav"] = bytes;
    ASSERT_TRUE(PublishPakInterface(&archive));
    VTSoundManager manager;
    manager.LoadFromXml(ParseRoot(R"(<root><sounds>
        <sound name="inside" group="ui" path="sfx\inside.wav"/>
        <sound name="lost" group="ui" path="sfx\lost.wav"/>
    </sounds></root>)"));
    manager.LoadAllSamples();
    UnpublishPakInterface(&archive);

    EXPECT_GT(manager.FindRecord("inside")->sampleId.load(), 0);
    EXPECT_EQ(device_.BytesRead("sfx\\inside.wav"), long(bytes.size()));
    EXPECT_EQ(archive.opened, 1);
    // A file the open callback cannot find fails the load; the record keeps the failure.
    EXPECT_EQ(manager.FindRecord("lost")->sampleId.load(), Platform::kSoundErrFileOpen);
}

} // namespace
