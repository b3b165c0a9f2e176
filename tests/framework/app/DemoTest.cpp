// Demo recording and playback: exact record bits, the demo file format and its errors, values
// passed through the demo, demo file numbering, and a whole recorded run replayed by a second
// application object through the same window procedure and update steps.
#include "framework/core/Demo.h"
#include "framework/app/DemoDialogs.h"
#include "framework/graphics/GraphicsFakes.h"
#include "framework/core/MersenneTwister.h"
#include "framework/core/Rand15.h"
#include "framework/widgets/WidgetManager.h"
#include "support/AppEnvironment.h"
#include "support/RecordingWidget.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

namespace {

using namespace Platform;
using FwTest::AppEnvironment;

std::vector<uint8_t> Bytes(const Fw::Buffer& b)
{
    const uint8_t* p = b.GetDataPtr();
    return p ? std::vector<uint8_t>(p, p + b.GetDataLen()) : std::vector<uint8_t>();
}

std::vector<uint8_t> ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void Put32(std::vector<uint8_t>& v, uint32_t x)
{
    for (int i = 0; i < 4; ++i)
        v.push_back(uint8_t(x >> (8 * i)));
}

TEST(DemoStreamBits, FortyUpdateGapIsTwoIdleRecordsThenDeltaTen)
{
    int32_t updateCount = 40;
    Fw::Demo d(updateCount);
    d.WriteTimingBlock();
    // 1111 0 11111 | 1111 0 11111 | 0101, least significant bit first.
    EXPECT_EQ(Bytes(d.stream), (std::vector<uint8_t>{0xEF, 0xBF, 0x0A << 4 | 0x0F}));
    EXPECT_EQ(d.stream.GetSizeBits(), 24);
    EXPECT_EQ(d.lastUpdateCount, 40);
    EXPECT_EQ(d.commandOrder, 2);

    // Read back: two idle records are passed over by playback, the third header is due at 40.
    int32_t now = 0;
    Fw::Demo p(now);
    p.stream = d.stream;
    p.stream.SeekFront();
    EXPECT_FALSE(p.Prepare(false));
    EXPECT_EQ(p.command, 31);
    EXPECT_EQ(p.lastUpdateCount, 15);
}

// The first video-data record goes in front of what was recorded before it; later ones stay where
// they are written. Playback reads the opening one with the file and goes on behind it.
TEST(DemoStreamBits, FirstVideoDataRecordOpensTheStream)
{
    int32_t updateCount = 0;
    Fw::Demo d(updateCount);
    d.WriteTimingBlock(); // a settings read at update 0 (failed: result bit 0)
    d.stream.WriteNumBits(0, 1);
    d.stream.WriteNumBits(11, 5);
    d.stream.WriteNumBits(0, 1);
    updateCount = 3;
    d.WriteVideoData({false, 75});
    d.WriteVideoData({true, 60});

    int32_t now = 0;
    Fw::Demo p(now);
    p.stream = d.stream;
    p.stream.SeekFront();
    p.ReadStartRecord();
    ASSERT_TRUE(p.startVideoData.has_value());
    EXPECT_FALSE(p.startVideoData->windowed);
    EXPECT_EQ(p.startVideoData->refreshRate, 75);
    EXPECT_TRUE(p.Prepare(true));
    EXPECT_EQ(p.command, 11);
    EXPECT_EQ(p.stream.ReadNumBits(1, false), 0);
    p.needsCommand = true;
    EXPECT_FALSE(p.Prepare(false));
    EXPECT_EQ(p.command, 23);
    EXPECT_EQ(p.lastUpdateCount, 3);

    // A stream that opens with another record is left at its front.
    Fw::Demo other(now);
    other.stream = d.stream;
    other.stream.SeekFront();
    other.stream.ReadNumBits(26, false); // past the opening video-data record
    Fw::Buffer rest;
    while (!other.stream.AtEnd())
        rest.WriteNumBits(other.stream.ReadNumBits(1, false), 1);
    other.stream = rest;
    other.stream.SeekFront();
    other.ReadStartRecord();
    EXPECT_FALSE(other.startVideoData.has_value());
    EXPECT_EQ(other.stream.GetReadPos(), 0);
    EXPECT_TRUE(other.Prepare(true));
    EXPECT_EQ(other.command, 11);
}

// A recording application on the fake platform, with the real demo stream.
class DemoRecording : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.recordingDemo = true;
        app.demoFileName = env.temp.Path() + "/rec.dmo";
        app.Init();
        app.mouseInWindow = true;
        ASSERT_NE(app.demoData, nullptr);
    }
    // The header of the next record after the position the stream had at mark.
    struct Header {
        bool isShort;
        int32_t command;
    };
    Header NextRecord(int32_t& readPos)
    {
        Fw::Buffer& s = app.demoData->stream;
        Fw::Buffer copy = s;
        copy.SeekFront();
        for (int32_t i = 0; i < readPos; ++i)
            copy.ReadNumBits(1, false);
        copy.ReadNumBits(4, false);
        Header h{copy.ReadNumBits(1, false) == 1, 0};
        h.command = copy.ReadNumBits(h.isShort ? 1 : 5, false);
        readPos = s.GetSizeBits();
        return h;
    }
    void Move(int32_t x, int32_t y)
    {
        app.WindowProc(app.mainWindow, Msg::MouseMove, 0, MakePointParam(x, y));
        app.ProcessDeferredMessages(false);
    }

    AppEnvironment env;
    Fw::AppBase app;
};

TEST_F(DemoRecording, SmallMovesAreShortRecordsLargeOnesAbsolute)
{
    Move(100, 100);
    int32_t pos = app.demoData->stream.GetSizeBits();
    struct Case {
        int32_t x, y;
        int32_t bits; // record length, header included
        bool isShort;
    };
    const Case cases[] = {
        {131, 69, 4 + 1 + 1 + 12, true},   // (+31, -31)
        {163, 69, 4 + 1 + 5 + 24, false},  // (+32, 0)
        {163, 69, 0, false},               // no move: nothing
        {131, 100, 4 + 1 + 5 + 24, false}, // (-32, +31)
    };
    for (const Case& c : cases) {
        const int32_t before = app.demoData->stream.GetSizeBits();
        Move(c.x, c.y);
        const int32_t written = app.demoData->stream.GetSizeBits() - before;
        EXPECT_EQ(written, c.bits) << c.x << "," << c.y;
        if (c.bits == 0)
            continue;
        const Header h = NextRecord(pos);
        EXPECT_EQ(h.isShort, c.isShort) << c.x << "," << c.y;
        EXPECT_EQ(h.command, 0);
    }
}

TEST_F(DemoRecording, CapturedPositionsOutsideTheWindowAreClampedAndKept)
{
    Move(10, 10);
    Move(-500, 5000); // captured drag far outside: clamped to (0, 4095)
    EXPECT_EQ(app.lastRecordedMouseX, 0);
    EXPECT_EQ(app.lastRecordedMouseY, 4095);
    const int32_t before = app.demoData->stream.GetSizeBits();
    Move(-20, 4200); // clamps to the same place: nothing to record
    EXPECT_EQ(app.demoData->stream.GetSizeBits(), before);
}

TEST_F(DemoRecording, RuntimeGeneratorStartsFromTheDemoSeed)
{
    const int first = Fw::Rand();
    Fw::SeedRand(app.randSeed);
    EXPECT_EQ(Fw::Rand(), first);
}

// ---- the demo file ----

class DemoFile : public ::testing::Test {
protected:
    std::string Path(const char* name) const { return env.temp.Path() + "/" + name; }
    bool Read(const std::string& path, std::string& error)
    {
        uint32_t seed = 0;
        return reader.ReadFile(path, "1.0", seed, error);
    }
    AppEnvironment env;
    int32_t updateCount = 0;
    Fw::Demo reader{updateCount};
};

TEST_F(DemoFile, HeaderLayoutAndRoundTrip)
{
    int32_t count = 3;
    Fw::Demo d(count);
    d.WriteTimingBlock();
    d.stream.WriteNumBits(0, 1);
    d.stream.WriteNumBits(31, 5);
    d.markers.emplace_back("boss", 7);
    ASSERT_TRUE(d.WriteFile(Path("a.dmo"), 0x01020304, "1.0", 99));
    const std::vector<uint8_t> bytes = ReadAll(Path("a.dmo"));
    std::vector<uint8_t> expected = {0x78, 0xEF, 0xBE, 0x42, 0x02, 0, 0, 0, 0x04, 0x03, 0x02, 0x01, 3, 0, '1', '.', '0'};
    // Marker section: count 1, "boss" (short length + bytes), update 7.
    Put32(expected, 4 + 2 + 4 + 4);
    Put32(expected, 1);
    expected.insert(expected.end(), {4, 0, 'b', 'o', 's', 's'});
    Put32(expected, 7);
    Put32(expected, 99);
    expected.insert(expected.end(), {0xE3, 0x03}); // delta 3 (0011), long (0), command 31 (11111)
    EXPECT_EQ(bytes, expected);

    std::string error;
    uint32_t seed = 0;
    ASSERT_TRUE(reader.ReadFile(Path("a.dmo"), "1.0", seed, error)) << error;
    EXPECT_EQ(seed, 0x01020304u);
    EXPECT_EQ(reader.demoLength, 99);
    ASSERT_EQ(reader.markers.size(), 1u);
    EXPECT_EQ(reader.markers[0], (std::pair<std::string, int32_t>("boss", 7)));
    EXPECT_EQ(Bytes(reader.stream), (std::vector<uint8_t>{0xE3, 0x03}));
}

TEST_F(DemoFile, VersionOneHasNoMarkerSection)
{
    std::vector<uint8_t> v = {0x78, 0xEF, 0xBE, 0x42, 1, 0, 0, 0, 9, 0, 0, 0, 3, 0, '1', '.', '0'};
    Put32(v, 50);
    v.push_back(0xAB);
    WriteAll(Path("v1.dmo"), v);
    std::string error;
    ASSERT_TRUE(Read(Path("v1.dmo"), error)) << error;
    EXPECT_EQ(reader.demoLength, 50);
    EXPECT_TRUE(reader.markers.empty());
    EXPECT_EQ(Bytes(reader.stream), (std::vector<uint8_t>{0xAB}));
}

TEST_F(DemoFile, ErrorTexts)
{
    auto file = [](uint32_t magic, const std::string& version, std::vector<uint8_t> tail) {
        std::vector<uint8_t> v;
        Put32(v, magic);
        Put32(v, 2);
        Put32(v, 1);
        v.push_back(uint8_t(version.size()));
        v.push_back(uint8_t(version.size() >> 8));
        v.insert(v.end(), version.begin(), version.end());
        v.insert(v.end(), tail.begin(), tail.end());
        return v;
    };
    std::vector<uint8_t> goodMarkers;
    Put32(goodMarkers, 4);
    Put32(goodMarkers, 0);
    std::vector<uint8_t> noStream = goodMarkers;
    Put32(noStream, 10);
    std::vector<uint8_t> markerTooLong;
    Put32(markerTooLong, 400);
    Put32(markerTooLong, 0);
    std::vector<uint8_t> missingMarker;
    Put32(missingMarker, 4);
    Put32(missingMarker, 2); // two markers promised, none there
    Put32(missingMarker, 10);
    missingMarker.push_back(0);
    const std::string longVersion(300, 'v');
    std::vector<uint8_t> afterLong = goodMarkers;
    Put32(afterLong, 10);
    afterLong.push_back(0);

    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::string error;
    };
    const Case cases[] = {
        {"bad magic", file(0x42BEEF79, "1.0", noStream), "Invalid demo file."},
        {"other version", file(Fw::Demo::kMagic, "0.9", noStream), "This demo file appears to be for '0.9'"},
        {"long version is read whole", file(Fw::Demo::kMagic, longVersion, afterLong),
         "This demo file appears to be for '" + longVersion + "'"},
        {"no stream bytes", file(Fw::Demo::kMagic, "1.0", noStream), "Invalid demo file."},
        {"marker section past the end", file(Fw::Demo::kMagic, "1.0", markerTooLong), "Invalid demo file."},
        {"markers missing", file(Fw::Demo::kMagic, "1.0", missingMarker), "Invalid demo file."},
        {"truncated header", {0x78, 0xEF, 0xBE, 0x42, 2}, "Invalid demo file."},
    };
    for (const Case& c : cases) {
        WriteAll(Path("bad.dmo"), c.bytes);
        std::string error;
        EXPECT_FALSE(Read(Path("bad.dmo"), error)) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
    }
    std::string error;
    EXPECT_FALSE(Read(Path("missing.dmo"), error));
    EXPECT_EQ(error, "Demo file not found: " + Path("missing.dmo"));
}

TEST(DemoDialogText, JumpTimesAndMarkerEntries)
{
    struct Case {
        const char* text;
        int32_t seconds;
    };
    const Case cases[] = {{"", 0}, {"90", 90}, {"1:30", 90}, {"1:0:0", 3600}, {"2:", 120}, {"x", 0}};
    for (const Case& c : cases)
        EXPECT_EQ(Fw::ParseDemoJumpTime(c.text), c.seconds) << '"' << c.text << '"';
    // Empty text: one second before the end, at 10 ms per update.
    EXPECT_EQ(Fw::DemoJumpTarget("", 5000, 10), 4900);
    EXPECT_EQ(Fw::DemoJumpTarget("1:30", 100000, 10), 100000 - 9100);
    EXPECT_EQ(Fw::FormatDemoMarker("Level 2", 1000, 1000 + 366100, 10), "Level 2 (01:01:01)");
    EXPECT_EQ(Fw::FormatDemoTimeLeft(6000, 0, 10), "00:01:00");
}

// ---- values passed through the demo ----

class DemoSync : public ::testing::Test {
protected:
    AppEnvironment env;
    Fw::AppBase app;
};

TEST_F(DemoSync, BufferLengthBeyondTheStreamEndsTheDemo)
{
    app.playingDemo = true;
    app.StartDemo();
    Fw::Demo& d = *app.demoData;
    // Header at update 0: delta 0, long, command 18; then a length of 1000 but only 3 bytes.
    d.stream.WriteNumBits(0, 4);
    d.stream.WriteNumBits(0, 1);
    d.stream.WriteNumBits(18, 5);
    d.stream.WriteLong(1000);
    d.stream.WriteByte('a');
    d.stream.WriteByte('b');
    d.stream.WriteByte('c');
    Fw::Buffer b;
    b.WriteByte(0x55);
    app.DemoSyncBuffer(b);
    EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{'a', 'b', 'c'}));
    EXPECT_TRUE(d.stream.AtEnd());
}

// Playback near the end of the stream: a record whose header ends on the stream's last bit is
// still played; the zero pad bits of a stream read from whole bytes, and a record cut off by the
// end, are not.
TEST_F(DemoSync, RecordsAtTheEndOfTheStream)
{
    struct Case {
        const char* what;
        std::function<void(Fw::Buffer&)> write;
        bool wholeBytes; // the stream as a file gives it back
        int32_t mouseX, mouseY;
        bool loadingSeen;
    };
    auto header = [](Fw::Buffer& b, int32_t delta, int32_t command) {
        b.WriteNumBits(delta, 4);
        b.WriteNumBits(0, 1);
        b.WriteNumBits(command, 5);
    };
    auto moveTo = [&](Fw::Buffer& b, int32_t delta, int32_t x, int32_t y) {
        header(b, delta, 0);
        b.WriteNumBits(x, 12);
        b.WriteNumBits(y, 12);
    };
    const Case cases[] = {
        {"payload-less record on the last bit", [&](Fw::Buffer& b) { moveTo(b, 0, 100, 50); header(b, 1, 9); },
         false, 100, 50, true},
        {"pad bits of the last byte", [&](Fw::Buffer& b) { moveTo(b, 0, 100, 50); }, true, 100, 50, false},
        {"payload cut off", [&](Fw::Buffer& b) { moveTo(b, 0, 100, 50); header(b, 1, 0); b.WriteNumBits(7, 12); },
         true, 100, 50, false},
    };
    for (const Case& c : cases) {
        Fw::AppBase player;
        player.playingDemo = true;
        player.StartDemo();
        Fw::Demo& d = *player.demoData;
        Fw::Buffer written;
        c.write(written);
        if (c.wholeBytes)
            d.stream.WriteBytes(written.GetDataPtr(), written.GetDataLen());
        else
            d.stream = written;
        d.stream.SeekFront();
        for (player.updateCount = 0; player.updateCount < 3; ++player.updateCount)
            player.ProcessDemo();
        EXPECT_EQ(d.lastMouseX, c.mouseX) << c.what;
        EXPECT_EQ(d.lastMouseY, c.mouseY) << c.what;
        EXPECT_EQ(d.loadingCompleteSeen, c.loadingSeen) << c.what;
    }
}

TEST_F(DemoSync, StringsAndBoolsRecordAndReplay)
{
    app.recordingDemo = true;
    app.StartDemo();
    EXPECT_EQ(app.DemoSyncString("clip"), "clip");
    bool b = true;
    app.DemoSyncBool(b);
    EXPECT_TRUE(b);

    // The same stream played back: the recorded values replace what the outside world says now.
    Fw::Demo& d = *app.demoData;
    d.stream.SeekFront();
    d.lastUpdateCount = 0;
    app.recordingDemo = false;
    app.playingDemo = true;
    EXPECT_EQ(app.DemoSyncString("other"), "clip");
    b = false;
    app.DemoSyncBool(b);
    EXPECT_TRUE(b);
    // After the user closed the window, playback answers from the outside world again.
    app.manualShutdown = true;
    EXPECT_EQ(app.DemoSyncString("now"), "now");
}

// ---- demo file numbering ----

TEST_F(DemoSync, MaxDemoFileNumberKeepsAndDeletes)
{
    struct Chdir {
        std::string old;
        explicit Chdir(const std::string& to) : old(std::filesystem::current_path()) { std::filesystem::current_path(to); }
        ~Chdir() { std::filesystem::current_path(old); }
    } cd(env.temp.Path());
    for (const char* name : {"fwapp3.dmo", "fwapp7.dmo", "fwappx.dmo", "other9.dmo", "fwapp8.dmox"})
        WriteAll(name, {1});
    EXPECT_EQ(app.GetMaxDemoFileNum(2, false), 7);
    EXPECT_TRUE(std::filesystem::exists("fwapp3.dmo"));
    EXPECT_EQ(app.GetMaxDemoFileNum(2, true), 7);
    EXPECT_FALSE(std::filesystem::exists("fwapp3.dmo"));
    EXPECT_TRUE(std::filesystem::exists("fwapp7.dmo"));
    app.demoFilePrefix = "sub/fwapp";
    EXPECT_EQ(app.GetMaxDemoFileNum(2, false), 0);
}

} // namespace

namespace {

// ---- a whole run recorded and replayed ----

struct Input {
    int32_t update;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
};

// Runs one application object for a number of update steps: the window procedure gets the
// scripted input (recording only), then the step plays demo records, drains the input queue and
// updates. Returns what the widget saw, each entry prefixed with the update count.
std::vector<std::string> RunSession(bool record, const std::string& file,
                                    const std::vector<Input>& script, int32_t steps)
{
    Fw::AppBase app;
    app.registryKey = "Test\\Demo";
    app.productVersion = "1.0";
    app.demoFileName = file;
    (record ? app.recordingDemo : app.playingDemo) = true;
    app.Init();

    FwTest::EventLog events;
    std::vector<std::string> stamped;
    FwTest::RecordingWidget widget("w", &events, 0, 0, 800, 600);
    auto stamp = [&] {
        for (const std::string& e : events)
            stamped.push_back(std::to_string(app.updateCount) + " " + e);
        events.clear();
    };
    widget.onUpdate = [&] {
        if (app.updateCount == 4)
            app.RegistryWriteInteger("Score", 42);
        if (app.updateCount == 6) {
            int32_t v = -1;
            const bool ok = app.RegistryReadInteger("Score", v);
            events.push_back("registry " + std::to_string(ok) + " " + std::to_string(v));
        }
        if (app.updateCount == 8)
            events.push_back("clipboard " + app.GetClipboard());
    };
    app.widgetManager->AddWidget(&widget);
    app.widgetManager->SetFocus(&widget);

    for (int32_t i = 0; i < steps && !app.shutdown; ++i) {
        if (record) {
            for (const Input& in : script)
                if (in.update == app.updateCount)
                    app.WindowProc(app.mainWindow, in.message, in.wParam, in.lParam);
        }
        app.ProcessDemo();
        while (app.ProcessDeferredMessages(true)) {
        }
        stamp();
        app.DoUpdateFrames();
        // Only what the widget was handed counts, not its own per-update bookkeeping.
        std::erase(events, std::string("w:Update"));
        stamp();
    }
    app.widgetManager->RemoveWidget(&widget);
    return stamped;
}

TEST(DemoRoundTrip, PlaybackRepeatsTheRecordedRun)
{
    AppEnvironment env;
    const std::string file = env.temp.Path() + "/run.dmo";
    env.ws.SetClipboardText("first");
    const std::vector<Input> script = {
        {1, Msg::MouseMove, 0, MakePointParam(100, 100)},
        {2, Msg::MouseMove, 0, MakePointParam(110, 95)},
        {2, Msg::LButtonDown, 0, MakePointParam(110, 95)},
        {3, Msg::MouseMove, 0, MakePointParam(400, 300)},
        {3, Msg::LButtonUp, 0, MakePointParam(400, 300)},
        {5, Msg::KeyDown, 'A', 0},
        {5, Msg::Char, 0x20AC, 0},
        {5, Msg::KeyUp, 'A', 0},
        {30, Msg::MouseWheel, uintptr_t(uint16_t(int16_t(-240))) << 16, 0},
        {31, Msg::RButtonDown, 0, MakePointParam(-40, 5000)}, // captured, outside the window
    };
    const std::vector<std::string> recorded = RunSession(true, file, script, 40);
    ASSERT_TRUE(std::filesystem::exists(file));
    // The recorded run saw the input and the outside values.
    for (const char* expected : {"2 w:MouseDown 110,95 b0 c1", "5 w:KeyDown 65", "5 w:KeyChar 8364",
                                 "6 registry 1 42", "8 clipboard first"}) {
        EXPECT_NE(std::find(recorded.begin(), recorded.end(), expected), recorded.end()) << expected;
    }

    // The outside world changes; playback must not see it, nor change the settings.
    env.ws.SetClipboardText("second");
    std::string key, value;
    env.registry.WriteValue("SOFTWARE\\Test\\Demo", "Score", 4, "\x07\0\0\0", 4);
    const int writesBefore = env.registry.WriteCount();
    const std::vector<std::string> played = RunSession(false, file, {}, 40);
    EXPECT_EQ(played, recorded);
    EXPECT_EQ(env.registry.WriteCount(), writesBefore);
}

TEST(DemoRoundTrip, SettingsStoredBeforeStartReplay)
{
    AppEnvironment env;
    const std::string file = env.temp.Path() + "/stored.dmo";
    env.registry.WriteValue("SOFTWARE\\Test\\Demo", "Is3D", 4, "\0\0\0\0", 4);
    const std::vector<Input> script = {
        {1, Msg::MouseMove, 0, MakePointParam(100, 100)},
        {2, Msg::LButtonDown, 0, MakePointParam(100, 100)},
        {5, Msg::KeyDown, 'A', 0},
    };
    const std::vector<std::string> recorded = RunSession(true, file, script, 12);
    EXPECT_NE(std::find(recorded.begin(), recorded.end(), "5 w:KeyDown 65"), recorded.end());

    // The file opens with the video-data record at update 0; the stored setting's read follows.
    int32_t now = 0;
    Fw::Demo reader(now);
    uint32_t seed = 0;
    std::string error;
    ASSERT_TRUE(reader.ReadFile(file, "1.0", seed, error)) << error;
    Fw::Buffer s = reader.stream;
    s.SeekFront();
    EXPECT_EQ(s.ReadNumBits(4, false), 0);
    EXPECT_EQ(s.ReadNumBits(1, false), 0);
    EXPECT_EQ(s.ReadNumBits(5, false), 23);
    s.ReadNumBits(16, false);
    EXPECT_EQ(s.ReadNumBits(4, false), 0);
    EXPECT_EQ(s.ReadNumBits(1, false), 0);
    EXPECT_EQ(s.ReadNumBits(5, false), 11);
    EXPECT_EQ(s.ReadNumBits(1, false), 1);

    EXPECT_EQ(RunSession(false, file, {}, 12), recorded);
}

TEST(DemoDialogs, JumpTextTakesDigitsAndColons)
{
    Fw::DemoJumpDialog d(nullptr, "1:");
    for (wchar_t c : {L'3', L'x', L'0', L'8', L'8'})
        d.KeyChar(c);
    d.KeyChar(8); // Backspace
    EXPECT_EQ(d.GetText(), "1:308");
    EXPECT_TRUE(d.IsModal());
    ASSERT_NE(d.secondButton, nullptr); // OK and CANCEL
}

TEST(DemoDialogs, DoubleClickOnAMarkerPicksItsUpdate)
{
    FwTest::FakeFont font; // 12 high, 1 ascent padding, 14 line spacing
    Fw::DemoMarkerDialog d(nullptr, {{"a (00:01:00)", 500}, {"b (00:00:30)", 3500}});
    d.SetHeaderFont(&font);
    d.SetLinesFont(&font);
    // Lines start at 24 + (12 - 1) + 10 = 45.
    EXPECT_EQ(d.EntryAt(44), -1);
    EXPECT_EQ(d.EntryAt(45), 0);
    EXPECT_EQ(d.EntryAt(59), 1);
    EXPECT_EQ(d.EntryAt(73), -1);
    d.MouseDown(30, 60, 0, 1); // a single click only starts a drag
    EXPECT_EQ(d.picked, -1);
    d.MouseDown(30, 60, 0, 2);
    EXPECT_EQ(d.picked, 3500);
    EXPECT_EQ(d.result, Fw::Dialog::kFirstButton);
}

} // namespace
