// Debug settings and log: the timed line, the traceback sink, key names, frame graphs and the
// flags file.
#include "engine/core/DebugLog.h"
#include "engine/core/DebugSettings.h"
#include "engine/core/KeyNames.h"
#include "framework/graphics/Graphics.h"
#include "platform/fake/FakeClock.h"
#include "support/DebugOutputCapture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

// Captures the debugger output and restores the process's debug mode after one test.
class DebugOutputTest : public testing::Test {
protected:
    void TearDown() override { gDebugSettings->debugMode = savedDebugMode_; }
    const std::string& Output() const { return capture_.Text(); }
    void ClearOutput() { capture_.Clear(); }

private:
    TestSupport::DebugOutputCapture capture_;
    bool savedDebugMode_ = gDebugSettings->debugMode;
};

struct Line { int32_t x1, y1, x2, y2; };

class LineRecorder : public Fw::Image {
public:
    LineRecorder() { width = height = 1000; }
    void DrawLine(double x1, double y1, double x2, double y2, const Fw::Color& color, int32_t) override
    {
        lines.push_back({int32_t(x1), int32_t(y1), int32_t(x2), int32_t(y2)});
        colors.push_back(color.ToInt());
    }
    std::vector<Line> lines;
    std::vector<uint32_t> colors;
};

} // namespace

TEST_F(DebugOutputTest, TimedLinesOnlyInDebugModeAndStampedFromTheReference)
{
    Platform::FakeClock clock(0xFFFF0000u); // the elapsed time crosses the clock's wrap
    Platform::ScopedClock installed(clock);
    ResetDebugLogClock();
    clock.Advance(3723456);

    gDebugSettings->debugMode = false;
    DebugLogTimed("sound %d", 7);
    EXPECT_EQ(Output(), "");
    DebugLog("always %s", "here");
    EXPECT_EQ(Output(), "always here");

    ClearOutput();
    gDebugSettings->debugMode = true;
    DebugLogTimed("Play2(%d): %s", 3, "a.ogg");
    EXPECT_EQ(Output(), "[01:02:03.456] Play2(3): a.ogg\n");
}

TEST(DebugLogFormat, TimedLineStamps)
{
    struct Case { uint32_t ms; const char* line; };
    const Case cases[] = {
        {0, "[00:00:00.000] m\n"},
        {59999, "[00:00:59.999] m\n"},
        {3723456, "[01:02:03.456] m\n"},
        {360000000, "[100:00:00.000] m\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatTimedLine(c.ms, "m"), c.line) << c.ms;
}

TEST_F(DebugOutputTest, LongMessagesAreWrittenWhole)
{
    const std::string message(3000, 'q');
    DebugLog("<%s>", message.c_str());
    EXPECT_EQ(Output(), "<" + message + ">");
}

TEST_F(DebugOutputTest, TracebackLinesBecomeJumpableAfterTheLastPiece)
{
    VTDebugSettings::PythonOutputHook("  File \"a.py\", li");
    EXPECT_EQ(Output(), "");
    VTDebugSettings::PythonOutputHook("ne 12, in f\n");
    EXPECT_EQ(Output(), "a.py(12): f\n");

    ClearOutput();
    VTDebugSettings::PythonOutputHook("NameError: name 'x' is not defined\n");
    EXPECT_EQ(Output(), "NameError: name 'x' is not defined\n");

    ClearOutput();
    VTDebugSettings::PythonOutputHook("100% done, \"quoted\"\n"); // no format is applied to it
    EXPECT_EQ(Output(), "100% done, \"quoted\"\n");
    VTDebugSettings::PythonOutputHook(nullptr);
}

TEST(ParseTracebackLine, SplitsFileLineAndFunction)
{
    struct Case { const char* line; bool ok; const char* file; const char* number; const char* function; };
    const Case cases[] = {
        {"  File \"a.py\", line 12, in f\n", true, "a.py", "12", "f\n"},
        {"  File \"C:\\g\\b c.py\", line 3, in <module>", true, "C:\\g\\b c.py", "3", "<module>"},
        {"  File \"a.py\", line 12\n", false, "", "", ""},
        {" File \"a.py\", line 12, in f\n", false, "", "", ""},
        {"  File \"a.py, line 12, in f\n", false, "", "", ""},
        {"", false, "", "", ""},
    };
    for (const Case& c : cases) {
        std::string file, number, function;
        EXPECT_EQ(VTDebugSettings::ParseTracebackLine(c.line, file, number, function), c.ok) << c.line;
        if (c.ok) {
            EXPECT_EQ(file, c.file);
            EXPECT_EQ(number, c.number);
            EXPECT_EQ(function, c.function);
        }
    }
}

TEST(KeyCodeToName, NamedCodesCharactersAndUnknown)
{
    struct Case { int32_t code; const char* name; };
    const Case cases[] = {
        {0, "UNKNOWN"},  {1, "LBUTTON"}, {13, "RETURN"},  {27, "ESCAPE"}, {32, "SPACE"},
        {47, "HELP"},    {48, "0"},      {58, ":"},       {65, "A"},      {90, "Z"},
        {91, "LWIN"},    {96, "NUMPAD0"}, {111, "DIVIDE"}, {112, "F1"},    {119, "F8"},
        {123, "F12"},    {124, "unknown"}, {144, "NUMLOCK"}, {145, "SCROLL"}, {150, "unknown"},
        {5, "unknown"},  {178, "unknown"}, {186, "\xC2\xBA"}, {224, "\xC3\xA0"}, {225, "unknown"},
        {-1, "unknown"}, {97 + 256, "unknown"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyCodeToName(c.code), c.name) << c.code;
}

TEST(FrameGraphs, KeepTheNewestSamplesAndDrawRelativeToTheirBaseLines)
{
    VTDebugSettings settings;
    for (int i = 1; i <= 801; ++i)
        settings.AddFrameSample(0, float(i));
    settings.AddFrameSample(2, 1.0f);
    const std::vector<float> samples = settings.FrameSamples(0);
    ASSERT_EQ(samples.size(), 800u);
    EXPECT_EQ(samples.front(), 2.0f);
    EXPECT_EQ(samples.back(), 801.0f);

    VTDebugSettings drawn;
    drawn.AddFrameSample(0, 1.0f);
    drawn.AddFrameSample(0, 0.0f);
    drawn.AddFrameSample(0, 0.5f);
    drawn.AddFrameSample(1, 0.25f);
    drawn.AddFrameSample(1, 1.5f);
    LineRecorder image;
    Fw::Graphics g(&image);
    drawn.DrawFrameGraphs(g);
    EXPECT_TRUE(image.lines.empty()) << "debug mode is off";

    drawn.debugMode = true;
    drawn.DrawFrameGraphs(g);
    ASSERT_EQ(image.lines.size(), 3u);
    // The clipper may hand the ends over in either order.
    auto same = [](const Line& a, const Line& b) {
        return (a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2) ||
               (a.x1 == b.x2 && a.y1 == b.y2 && a.x2 == b.x1 && a.y2 == b.y1);
    };
    EXPECT_TRUE(same(image.lines[0], {0, 100, 1, 200}));
    EXPECT_TRUE(same(image.lines[1], {1, 200, 2, 150}));
    EXPECT_TRUE(same(image.lines[2], {0, 325, 1, 200}));
    EXPECT_EQ(image.colors[0], 0xFFFFFFFFu);
}

TEST(DebugSettingsLoad, ReadsTheFlagsOnlyInDebugMode)
{
    TestSupport::TempFolder folder;
    const std::string path = folder.File("usersettings.xml");
    TestSupport::WriteFileBytes(path, "<usersettings><debugflags ShowFrames='1' SoundLog='0' NoSplash='2' "
                           "DbgScene='kitchen' PerfomanceShow='1' SkipChargeOFF='1' HiddensColor='0 1 0 0.25'/>"
                           "</usersettings>");

    VTDebugSettings off;
    off.Load(path);
    EXPECT_FALSE(off.showFrames);

    VTDebugSettings on;
    on.debugMode = true;
    on.soundLog = true;
    on.Load(path);
    EXPECT_TRUE(on.showFrames);
    EXPECT_FALSE(on.soundLog);
    EXPECT_TRUE(on.noSplash);
    EXPECT_TRUE(on.performanceShow);
    EXPECT_TRUE(on.skipChargeOff);
    EXPECT_FALSE(on.showMouseOwner);
    EXPECT_EQ(on.dbgScene, "kitchen");
    EXPECT_EQ(on.hiddensColor, (std::array<float, 4>{0, 1, 0, 0.25f}));

    VTDebugSettings missing;
    missing.debugMode = true;
    missing.Load(folder.File("absent.xml"));
    EXPECT_EQ(missing.hiddensColor, (std::array<float, 4>{1, 0, 0, 0.5f}));
}
