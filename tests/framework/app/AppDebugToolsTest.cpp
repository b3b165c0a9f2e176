// Debug tools of the application object: screenshot numbering and contents, the image dump's
// order and totals, the overlay keys and the screen-saver error log.
#include "framework/assets/ImageLib.h"
#include "framework/core/PathUtils.h"
#include "framework/graphics/MemoryImage.h"
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// A display whose screen is a plain memory image the test fills.
class MemoryScreenDisplay : public Fw::StubDisplay {
public:
    Fw::MemoryImage screen;
    Fw::Image* GetScreenImage() override { return &screen; }
};

std::string ReadText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class DebugTools : public ::testing::Test {
protected:
    void SetUp() override
    {
        old = fs::current_path();
        fs::current_path(env.temp.Path());
        Fw::SetAppDataFolder(env.temp.Path() + "/");
    }
    void TearDown() override { fs::current_path(old); }

    FwTest::AppEnvironment env;
    Fw::AppBase app;
    fs::path old;
};

TEST_F(DebugTools, ScreenshotTakesTheNextNumberAndHoldsTheScreen)
{
    auto display = std::make_unique<MemoryScreenDisplay>();
    MemoryScreenDisplay& d = *display;
    app.display = std::move(display);
    d.screen.Create(5, 3);
    uint32_t* px = d.screen.GetBits();
    for (int i = 0; i < 15; ++i)
        px[i] = 0xFF000000u | uint32_t(i * 0x0F0A05);
    d.screen.BitsChanged();

    const std::string folder = env.temp.Path() + "/_screenshots/";
    fs::create_directories(folder);
    for (const char* name : {"image3.png", "image10.png", "foo.png", "image99.jpg"})
        std::ofstream(folder + name) << "x";
    EXPECT_TRUE(app.DebugKeyDown(0x7A)); // F11
    ASSERT_TRUE(fs::exists(folder + "image11.png"));
    std::unique_ptr<ImageLib::Image> shot = ImageLib::LoadImageFile(folder + "image11.png", false);
    ASSERT_NE(shot, nullptr);
    ASSERT_EQ(shot->GetWidth(), 5);
    ASSERT_EQ(shot->GetHeight(), 3);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(shot->GetBits()[i], 0xFF000000u | uint32_t(i * 0x0F0A05)) << i;
}

TEST_F(DebugTools, NoScreenNoScreenshot)
{
    app.TakeScreenshot();
    EXPECT_FALSE(fs::exists(env.temp.Path() + "/_screenshots"));
}

TEST_F(DebugTools, ImageDumpListsLargestFirstWithTotals)
{
    Fw::MemoryImage small, big, empty;
    small.Create(2, 2);
    small.GetBits(); // 16 bytes of bits
    big.Create(4, 4);
    big.GetBits(); // 64 bytes
    big.filePath = "images/big";
    empty.width = 3;
    empty.height = 3; // no pixels at all: 0 bytes
    app.DumpProgramInfo();
    const std::string html = ReadText(env.temp.Path() + "/_dump/imagelist.html");
    EXPECT_NE(html.find("Total Image Allocation: 80 bytes<BR>"), std::string::npos) << html;
    const size_t bigRow = html.find("4 x 4<BR>64 bytes"), smallRow = html.find("2 x 2<BR>16 bytes"),
                 emptyRow = html.find("3 x 3<BR>0 bytes");
    ASSERT_NE(bigRow, std::string::npos);
    ASSERT_NE(smallRow, std::string::npos);
    ASSERT_NE(emptyRow, std::string::npos);
    EXPECT_LT(bigRow, smallRow);
    EXPECT_LT(smallRow, emptyRow);
    EXPECT_NE(html.find("<TD>mBits<BR>64</TD>"), std::string::npos);
    EXPECT_NE(html.find("<TD>images/big</TD>"), std::string::npos);
    EXPECT_NE(html.find("<TR><TD>Totals</TD><TD>80</TD><TD>80</TD><TD>0</TD>"), std::string::npos);
    EXPECT_TRUE(fs::exists(env.temp.Path() + "/_dump/img0000.png"));
    EXPECT_TRUE(fs::exists(env.temp.Path() + "/_dump/thumb0001.jpg"));
    std::unique_ptr<ImageLib::Image> first = ImageLib::LoadImageFile(env.temp.Path() + "/_dump/img0000.png", false);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetWidth(), 4);
}

TEST_F(DebugTools, F3TogglesAndShiftF3CyclesTheOverlayMode)
{
    EXPECT_FALSE(app.DebugKeyDown(0x72));
    EXPECT_TRUE(app.fpsDisplay);
    EXPECT_EQ(app.fpsDisplayMode, 0);
    app.DebugKeyDown(0x72);
    EXPECT_FALSE(app.fpsDisplay);
    app.fpsDisplayMode = 1;
    app.Widgets().KeyDown(Platform::Vk::Shift);
    app.DebugKeyDown(0x72);
    EXPECT_EQ(app.fpsDisplayMode, 0);
    EXPECT_TRUE(app.fpsDisplay);
    EXPECT_FALSE(app.DebugKeyDown('Q'));
    EXPECT_TRUE(app.DebugKeyDown(0x79));
}

TEST_F(DebugTools, ScreenSaverMessagesGoToTheErrorLog)
{
    std::ofstream("ScrError.txt") << "old run\n";
    app.screenSaverMode = true;
    EXPECT_EQ(app.MsgBoxW(L"first problem", L"Caption", 0), 1);
    app.PopupW(L"second problem");
    const std::string log = ReadText("ScrError.txt");
    std::istringstream lines(log);
    std::string one, two, three;
    std::getline(lines, one);
    std::getline(lines, two);
    EXPECT_FALSE(std::getline(lines, three)) << log;
    // "<text> hh:mm:ss <tick count>"
    const std::string tick = std::to_string(env.clock.GetTickCount());
    EXPECT_EQ(one.rfind("first problem ", 0), 0u) << one;
    EXPECT_EQ(one.size(), std::string("first problem 00:00:00 ").size() + tick.size()) << one;
    EXPECT_EQ(one.substr(one.size() - tick.size()), tick);
    EXPECT_EQ(two.rfind("second problem ", 0), 0u) << two;
    EXPECT_TRUE(env.boxes.ShownBoxes().empty());
}

TEST_F(DebugTools, OverlaysSitInTheBottomRightCorner)
{
    app.Init();
    auto display = std::make_unique<MemoryScreenDisplay>();
    MemoryScreenDisplay& d = *display;
    app.display = std::move(display);
    d.screen.Create(200, 100);
    std::fill(d.screen.GetBits(), d.screen.GetBits() + 200 * 100, 0xFF00FF00u);

    app.DebugKeyDown(0x72); // F3: frame rate, restarted with the reset flag set
    app.DrawDebugOverlay();
    EXPECT_EQ(env.ws.windows.at(app.mainWindow).desc.title, "FPS: 0");
    const int32_t h = app.fpsOverlay.image->height;
    EXPECT_EQ(app.fpsOverlay.image->width, 50);
    EXPECT_EQ(h, app.fpsOverlay.font->GetHeight() + 4);

    app.fpsDisplayMode = 1; // mouse position: white on black
    app.DrawDebugOverlay();
    const uint32_t* px = d.screen.GetBits();
    EXPECT_EQ(px[99 * 200 + 199], 0xFF000000u);          // the overlay's corner
    EXPECT_EQ(px[(100 - h - 1) * 200 + 199], 0xFF00FF00u); // just above it: untouched
    EXPECT_EQ(px[99 * 200 + 149], 0xFF00FF00u);           // just left of it
    bool white = false;
    for (int32_t y = 100 - h; y < 100; ++y)
        for (int32_t x = 150; x < 200; ++x)
            white = white || (px[y * 200 + x] & 0xFFFFFF) > 0x808080;
    EXPECT_TRUE(white) << "the position text";
}

} // namespace
