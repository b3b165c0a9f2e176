// Registry settings of the application object: round trip through the user's settings file across
// two application objects, typed reads, key paths, the crash marker, and registry reads replayed
// from a demo.
#include "platform/linux/FileRegistryStore.h"
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

using Platform::kRegDword;
using Platform::kRegSz;

constexpr const char* kKey = "SOFTWARE\\Test Company\\Test Game";

class AppRegistry : public ::testing::Test {
protected:
    FwTest::AppEnvironment env;
    std::unique_ptr<Fw::AppBase> MakeApp()
    {
        auto app = std::make_unique<Fw::AppBase>();
        app->registryKey = "Test Company\\Test Game";
        return app;
    }
    std::optional<int32_t> StoredInt(Platform::RegistryStore& store, const char* name)
    {
        auto v = store.ReadValue(kKey, name);
        if (!v || v->type != kRegDword || v->data.size() != 4)
            return std::nullopt;
        return int32_t(uint32_t(v->data[0]) | uint32_t(v->data[1]) << 8 | uint32_t(v->data[2]) << 16 |
                       uint32_t(v->data[3]) << 24);
    }
};

TEST_F(AppRegistry, SettingsRoundTripAcrossTwoRunsInTheSettingsFile)
{
    const std::string file = env.temp.File("settings/registry.txt");
    Platform::FileRegistryStore store(file);
    Platform::ScopedRegistryStore useFile(store);
    {
        auto app = MakeApp();
        app->Init();
        // The crash marker is on disk while the program runs.
        Platform::FileRegistryStore reader(file);
        EXPECT_EQ(StoredInt(reader, "InProgress"), 1);
        app->musicVolume = 0.58; // 0.58 * 100 is 57.999...
        app->sfxVolume = 0.3;
        app->preferredX = 123;
        app->preferredY = 45;
        app->waitForVSync = true;
        app->Mute(false);
        app->Mute(true); // automatic mutes are not stored
        app->Shutdown();
    }
    Platform::FileRegistryStore reader(file);
    EXPECT_EQ(StoredInt(reader, "InProgress"), 0);
    EXPECT_EQ(StoredInt(reader, "MusicVolume"), 58);
    EXPECT_EQ(StoredInt(reader, "Muted"), 1);
    for (int run = 0; run < 3; ++run) { // stored volumes do not drift from run to run
        auto app = MakeApp();
        app->Init();
        EXPECT_DOUBLE_EQ(app->musicVolume, 0.58);
        EXPECT_DOUBLE_EQ(app->sfxVolume, 0.3);
        EXPECT_EQ(app->preferredX, 123);
        EXPECT_EQ(app->preferredY, 45);
        EXPECT_TRUE(app->waitForVSync);
        EXPECT_EQ(app->muteCount - app->autoMuteCount, 1); // the window starts inactive: auto-muted too
        EXPECT_TRUE(app->lastShutdownWasGraceful);
        app->Shutdown();
    }
    Platform::FileRegistryStore after(file);
    EXPECT_EQ(StoredInt(after, "MusicVolume"), 58);
}

TEST_F(AppRegistry, ARunThatDidNotEndInOrderIsNoticed)
{
    {
        auto app = MakeApp();
        app->ReadFromRegistry(); // sets the marker; no orderly end follows
        app->registryRead = false;
    }
    auto app = MakeApp();
    app->ReadFromRegistry();
    EXPECT_FALSE(app->lastShutdownWasGraceful);
}

TEST_F(AppRegistry, ValuesOfAnotherTypeKeepTheDefaults)
{
    env.registry.WriteValue(kKey, "MusicVolume", kRegSz, "50", 2);
    const uint8_t two[2] = {1, 0};
    env.registry.WriteValue(kKey, "ScreenMode", kRegDword, two, 2); // too short for a dword
    const uint8_t seven[4] = {7, 0, 0, 0};
    env.registry.WriteValue(kKey, "SfxVolume", kRegDword, seven, 4);
    auto app = MakeApp();
    app->ReadFromRegistry();
    EXPECT_DOUBLE_EQ(app->musicVolume, 0.85);
    EXPECT_TRUE(app->isWindowed);
    EXPECT_DOUBLE_EQ(app->sfxVolume, 0.07);
}

TEST_F(AppRegistry, ScreenModeAnyNonZeroIsFullScreen)
{
    for (int32_t v : {0, 1, 2, -1}) {
        auto app = MakeApp();
        app->RegistryWriteInteger("ScreenMode", v);
        app->ReadFromRegistry();
        EXPECT_EQ(app->isWindowed, v == 0) << v;
    }
}

TEST_F(AppRegistry, NamesWithBackslashesNameSubkeys)
{
    auto app = MakeApp();
    ASSERT_TRUE(app->RegistryWriteString("Test3D\\RuntimeError", "DrawPrimitive: DDERR_GENERIC"));
    auto v = env.registry.ReadValue(std::string(kKey) + "\\Test3D", "RuntimeError");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, kRegSz);
    EXPECT_EQ(std::string(v->data.begin(), v->data.end()), "DrawPrimitive: DDERR_GENERIC"); // no NUL stored
    ASSERT_TRUE(app->RegistryWriteInteger("A\\B\\Value", 9));
    EXPECT_TRUE(env.registry.ReadValue(std::string(kKey) + "\\A\\B", "Value"));
    int32_t read = 0;
    EXPECT_TRUE(app->RegistryReadInteger("a\\b\\value", read)); // any letter case
    EXPECT_EQ(read, 9);
}

TEST_F(AppRegistry, EmptyKeyDisablesTheLayer)
{
    Fw::AppBase app;
    app.ReadFromRegistry();
    EXPECT_TRUE(app.registryRead);
    EXPECT_FALSE(app.RegistryWriteInteger("X", 1));
    EXPECT_EQ(env.registry.WriteCount(), 0);
    // The string table's RegistryKey replaces it.
    app.SetString("RegistryKey", L"Test Company\\Test Game");
    app.ReadFromRegistry();
    EXPECT_EQ(app.registryKey, "Test Company\\Test Game");
    EXPECT_EQ(StoredInt(env.registry, "InProgress"), 1);
}

TEST_F(AppRegistry, ScreenSaverModeNeverSetsTheCrashMarker)
{
    auto app = MakeApp();
    app->screenSaverMode = true;
    app->ReadFromRegistry();
    EXPECT_FALSE(StoredInt(env.registry, "InProgress"));
}

// A demo stream that plays back a list of values and counts what was read.
class ListDemo : public Fw::DemoStream {
public:
    std::deque<uint32_t> values;
    int prepared = 0;
    void WriteHead() override {}
    void WriteBits(uint32_t, int) override {}
    void WriteLong(uint32_t) override {}
    void WriteByte(uint8_t) override {}
    void PrepareCommand(bool) override { ++prepared; }
    uint32_t ReadBits(int) override { return Next(); }
    uint32_t ReadLong() override { return Next(); }
    uint8_t ReadByte() override { return static_cast<uint8_t>(Next()); }

private:
    uint32_t Next()
    {
        if (values.empty())
            return 0;
        const uint32_t v = values.front();
        values.pop_front();
        return v;
    }
};

TEST_F(AppRegistry, DemoPlaybackReadsRecordsWithoutTouchingTheStore)
{
    auto app = MakeApp();
    ListDemo demo;
    app->demo = &demo;
    app->playingDemo = true;
    // A dword 42, a record of 8 bytes for a 4-byte buffer, a failed read, a successful write.
    demo.values = {1, kRegDword, 4, 42, 0, 0, 0, 1, kRegSz, 8, 1, 2, 3, 4, 5, 6, 7, 8, 0, 1};
    int32_t v = 0;
    EXPECT_TRUE(app->RegistryReadInteger("MusicVolume", v));
    EXPECT_EQ(v, 42);
    uint8_t buffer[4] = {};
    uint32_t type = 0, length = sizeof buffer;
    EXPECT_FALSE(app->RegistryRead("Name", type, buffer, length)); // did not fit
    EXPECT_EQ(length, 8u);
    EXPECT_EQ(buffer[3], 4);
    EXPECT_FALSE(app->RegistryReadInteger("Other", v)); // result bit 0: all 8 bytes were consumed
    EXPECT_TRUE(app->RegistryWriteInteger("X", 1));     // the recorded result, not the store's
    EXPECT_TRUE(demo.values.empty());
    EXPECT_EQ(env.registry.WriteCount(), 0);
    EXPECT_EQ(demo.prepared, 4);
}

} // namespace
