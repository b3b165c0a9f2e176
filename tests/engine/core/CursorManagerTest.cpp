// The cursor manager: the cursor table of the skin, mode selection through the application's
// cursor numbers, and drawing at the mouse position less the hot spot.
#include "engine/core/CursorManager.h"
#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAccess.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include "support/FakeImageServices.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

// Records the cursor calls as text; the mouse position is set by the test.
class RecordingCursorHost : public VTCursorHost {
public:
    void SetCustomCursorsEnabled(bool on) override { calls.push_back(on ? "custom on" : "custom off"); }
    void SelectCursorNumber(int32_t number) override { calls.push_back("cursor " + std::to_string(number)); }
    void SetCursorSlotImage(int32_t slot, Fw::Image* image) override
    {
        calls.push_back("slot " + std::to_string(slot) + (image ? " image" : " none"));
    }
    void GetLastMousePosition(int32_t& x, int32_t& y) override
    {
        x = mouseX;
        y = mouseY;
    }
    std::vector<std::string> calls;
    int32_t mouseX = 0, mouseY = 0;
};

class CursorManagerTest : public testing::Test {
protected:
    CursorManagerTest()
    {
        images.Add("tex\\UI\\cursor\\arrow.png", 2, 2, 0xFFFF0000);
        images.Add("tex\\UI\\cursor\\hand.png", 2, 2, 0xFF00FF00);
        catalogue.GetImage("arrow", true); // an id whose path is not a file: the fake knows it by name
        images.Add("arrow", 2, 2, 0xFFFF0000);
        images.Add("hand", 2, 2, 0xFF00FF00);
        catalogue.GetImage("hand", true);
        const std::string xml = "<root>"
                                "<cursors mode='normal' image='arrow' hot_spot_x='16' hot_spot_y='16'/>"
                                "<cursors mode='normal' image='hand' hot_spot_x='1' hot_spot_y='1'/>"
                                "<cursors mode='point' image='hand'/>"
                                "<cursors mode='lost' image='not_in_catalogue'/>"
                                "<cursors image='arrow'/>"
                                "<cursors mode='noimage'/>"
                                "</root>";
        EXPECT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document));
    }

    TestSupport::FakeImageServices images;
    VTTextureCatalogue catalogue{images};
    RecordingCursorHost host;
    Platform::XmlDocument document;
};

TEST_F(CursorManagerTest, ReadsTheTableKeepingTheFirstRecordOfAMode)
{
    VTCursorManager cursors(host, &catalogue);
    EXPECT_TRUE(cursors.LoadFromXml(document.DocumentElement()));
    EXPECT_EQ(images.Created(), 2) << "cursor images load at once";

    cursors.SetCursor("normal");
    ASSERT_NE(cursors.Current(), nullptr);
    EXPECT_EQ(cursors.Current()->hotSpotX, 16);
    EXPECT_EQ(cursors.Current()->image.Descriptor()->Path(), "arrow");
    cursors.SetCursor("point");
    ASSERT_NE(cursors.Current(), nullptr);
    EXPECT_EQ(cursors.Current()->hotSpotX, 0) << "no hot spot given: 0";

    // Skipped elements give no mode: selecting them falls back to the standard pointer.
    for (const char* mode : {"lost", "noimage", ""}) {
        cursors.SetCursor(mode);
        EXPECT_EQ(cursors.Current(), nullptr) << mode;
    }

    VTCursorManager withoutCatalogue(host, nullptr);
    EXPECT_TRUE(withoutCatalogue.LoadFromXml(document.DocumentElement()));
    withoutCatalogue.SetCursor("normal");
    EXPECT_EQ(withoutCatalogue.Current(), nullptr);
}

TEST_F(CursorManagerTest, ModesSelectTheApplicationsCursorNumbers)
{
    VTCursorManager cursors(host, &catalogue);
    cursors.LoadFromXml(document.DocumentElement());
    struct Case {
        const char* mode;
        bool current;
        std::vector<std::string> calls;
    } cases[] = {
        {"none", false, {"custom off", "cursor 11", "slot 12 none"}},
        {"normal", true, {"custom on", "cursor 12", "slot 12 none"}},
        {"unknown", false, {"custom off", "cursor 0", "slot 12 none"}},
        {"None", false, {"custom off", "cursor 0", "slot 12 none"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        host.calls.clear();
        cursors.SetCursor(c.mode);
        EXPECT_EQ(cursors.Current() != nullptr, c.current);
        EXPECT_EQ(host.calls, c.calls);
    }

    // Reset: the standard pointer, and every image released.
    VTImage::VTImageDesc* arrow = catalogue.GetImage("arrow", false).Descriptor();
    EXPECT_EQ(arrow->LoadCount(), 1);
    host.calls.clear();
    cursors.Reset();
    EXPECT_EQ(host.calls, (std::vector<std::string>{"custom off", "cursor 0", "slot 12 none"}));
    EXPECT_EQ(arrow->LoadCount(), 0);
    EXPECT_EQ(cursors.Current(), nullptr);
    host.calls.clear();
    cursors.SetCursor("normal");
    EXPECT_TRUE(host.calls.empty()) << "a record whose image was released changes nothing";
}

TEST_F(CursorManagerTest, DrawsAtTheMouseLessTheHotSpot)
{
    VTCursorManager cursors(host, &catalogue);
    cursors.LoadFromXml(document.DocumentElement());
    auto canvas = std::make_unique<Fw::MemoryImage>(nullptr);
    canvas->Create(64, 64);
    Fw::Graphics g(canvas.get());
    auto pixel = [&](int x, int y) { return canvas->GetBits()[y * 64 + x]; };

    host.mouseX = 30;
    host.mouseY = 40;
    cursors.Draw(g);
    EXPECT_EQ(pixel(14, 24), 0u) << "no current cursor yet";

    cursors.SetCursor("normal");
    cursors.DisableDrawing();
    cursors.Draw(g);
    EXPECT_EQ(pixel(14, 24), 0u) << "drawing disabled";

    cursors.EnableDrawing();
    cursors.Draw(g);
    EXPECT_EQ(pixel(14, 24) >> 24, 0xFFu) << "hot spot (16, 16): the image's corner at (30 - 16, 40 - 16)";
    EXPECT_EQ(pixel(15, 25) >> 24, 0xFFu);
    EXPECT_EQ(pixel(13, 24), 0u);
    EXPECT_EQ(pixel(14, 23), 0u);
    EXPECT_EQ(pixel(16, 26), 0u);
}

using CursorManagerThreads = CursorManagerTest;

// The engine's loading step switches drawing off on the loading thread while the main thread
// draws its frames (the loading screen, the cursor over it).
TEST_F(CursorManagerThreads, DrawingSwitchedOnAnotherThreadWhileFramesDraw)
{
    VTCursorManager cursors(host, &catalogue);
    cursors.LoadFromXml(document.DocumentElement());
    cursors.SetCursor("normal");
    auto canvas = std::make_unique<Fw::MemoryImage>(nullptr);
    canvas->Create(64, 64);
    Fw::Graphics g(canvas.get());
    host.mouseX = 30;
    host.mouseY = 40;

    std::thread loading([&] {
        for (int i = 0; i < 2000; ++i) {
            cursors.DisableDrawing();
            cursors.EnableDrawing();
        }
        cursors.DisableDrawing();
    });
    for (int i = 0; i < 200; ++i)
        cursors.Draw(g);
    loading.join();

    EXPECT_FALSE(cursors.IsDrawingEnabled());
    canvas->Clear();
    cursors.Draw(g);
    EXPECT_EQ(canvas->GetBits()[24 * 64 + 14], 0u) << "drawing left off by the other thread";
}

} // namespace
