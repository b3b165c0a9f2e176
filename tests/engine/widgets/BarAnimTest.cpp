// Bars (segments filled by value, defaults of segment width and maximum) and animations (frame
// stepping by fps, one-shot, restart on show).
#include "engine/widgets/Anim.h"
#include "engine/widgets/Bar.h"

#include "WidgetTestSupport.h"

namespace {

// Colourised drawing may round a full channel down to 0xFE: 'R' mostly red, 'B' mostly blue, 'G'
// mostly green, '.' nothing, '?' anything else.
char Hue(uint32_t p)
{
    const uint32_t a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (p == 0)
        return '.';
    if (a < 0xF0)
        return '?';
    if (r >= 0xF0 && g < 0x10 && b < 0x10)
        return 'R';
    if (g >= 0xF0 && r < 0x10 && b < 0x10)
        return 'G';
    if (b >= 0xF0 && r < 0x10 && g < 0x10)
        return 'B';
    return '?';
}

class BarTest : public WidgetTest::Fixture {
protected:
    std::unique_ptr<VTBar> Make(const std::string& attrs)
    {
        doc = WidgetTest::ParseXml("<element x='0' y='0' width='100' height='10' visible='1' " + attrs +
                                   "><texture id='fill' texture='red'/><texture id='empty' texture='blue'/>"
                                   "</element>");
        auto bar = std::make_unique<VTBar>(nullptr);
        bar->LoadFromXml(doc.SelectSingleNode("element"), &app);
        return bar;
    }
    // 'F' filled, 'E' empty, '.' nothing, for each 10-pixel cell of the drawn bar.
    std::string Cells(VTBar& bar, const std::string& scene = "")
    {
        WidgetTest::Canvas canvas(100, 10);
        Fw::Graphics g(&canvas.image);
        bar.Draw(&g);
        if (!scene.empty())
            canvas.Dump(scene);
        std::string cells;
        for (int x = 5; x < 100; x += 10) {
            const char hue = Hue(canvas.At(x, 5));
            cells += hue == 'R' ? 'F' : hue == 'B' ? 'E' : hue;
        }
        return cells;
    }
    Platform::XmlDocument doc;
};

TEST_F(BarTest, SegmentsFilledByValue)
{
    auto bar = Make("seg_width='10'");
    bar->SetMaximum(4);
    bar->SetValue(3);
    EXPECT_EQ(Cells(*bar, "bar"), "FFFFFFFFEE") << "i / 10 < 0.75 for segments 0 to 7";
    bar->SetValue(0);
    EXPECT_EQ(Cells(*bar), "EEEEEEEEEE");
    bar->SetValue(4);
    EXPECT_EQ(Cells(*bar), "FFFFFFFFFF");
}

TEST_F(BarTest, DefaultsAndNothingDrawnWithoutSegmentsOrMaximum)
{
    auto bar = Make("");
    EXPECT_EQ(bar->GetMaximum(), 1) << "an unset maximum is 1";
    EXPECT_EQ(bar->SegmentWidth(), 8) << "no seg_width: the fill image's width";
    bar->SetValue(1);
    WidgetTest::Canvas canvas(100, 10);
    Fw::Graphics g(&canvas.image);
    bar->Draw(&g);
    EXPECT_EQ(Hue(canvas.At(4, 5)), 'R');
    EXPECT_EQ(Hue(canvas.At(95, 5)), 'R') << "12 segments of 8 fill 96 pixels";
    EXPECT_EQ(canvas.At(97, 5), 0u);

    bar->SetMaximum(0);
    EXPECT_EQ(Cells(*bar), "..........") << "a maximum of 0 draws nothing";
    bar->SetMaximum(-3);
    EXPECT_EQ(Cells(*bar), "..........");

    auto narrow = Make("seg_width='10'");
    narrow->Resize(0, 0, 9, 10);
    narrow->SetValue(1);
    EXPECT_EQ(Cells(*narrow), "..........") << "narrower than one segment";
}

TEST_F(BarTest, NothingWithoutBothImages)
{
    doc = WidgetTest::ParseXml("<element width='100' height='10' seg_width='10'>"
                               "<texture id='fill' texture='red'/><texture id='empty' texture='nosuch'/></element>");
    VTBar bar(nullptr);
    bar.LoadFromXml(doc.SelectSingleNode("element"), &app);
    EXPECT_EQ(Cells(bar), "..........");
}

class AnimTest : public WidgetTest::Fixture {
protected:
    std::unique_ptr<VTAnim> Make(const std::string& attrs)
    {
        doc = WidgetTest::ParseXml("<element width='8' height='8' " + attrs +
                                   "><texture texture='red'/><texture texture='green'/><texture texture='blue'/>"
                                   "<other/></element>");
        auto anim = std::make_unique<VTAnim>(nullptr);
        anim->LoadFromXml(doc.SelectSingleNode("element"), &app);
        return anim;
    }
    std::vector<int32_t> Run(VTAnim& anim, int updates)
    {
        std::vector<int32_t> frames;
        for (int i = 0; i < updates; ++i) {
            anim.Update();
            frames.push_back(anim.GetCurrentFrame());
        }
        return frames;
    }
    Platform::XmlDocument doc;
};

TEST_F(AnimTest, StepsByFps)
{
    auto anim = Make("fps='10'");
    EXPECT_EQ(anim->GetFrameCount(), 3u);
    EXPECT_EQ(Run(*anim, 2), (std::vector<int32_t>{0, 0})) << "stopped until it becomes visible";
    anim->SetVisible(true);
    EXPECT_EQ(Run(*anim, 4), (std::vector<int32_t>{1, 2, 0, 1})) << "one step per 100 ms update, looping";

    app.frameTime = 50;
    anim->SetVisible(false);
    EXPECT_EQ(anim->GetCurrentFrame(), -1);
    anim->SetVisible(true);
    EXPECT_EQ(anim->GetCurrentFrame(), 0) << "restarts when shown";
    EXPECT_EQ(Run(*anim, 4), (std::vector<int32_t>{0, 1, 1, 2})) << "every second 50 ms update";
}

TEST_F(AnimTest, OneShotStopsOnTheLastFrameAndNoFpsStays)
{
    auto anim = Make("fps='10' oneshot='1'");
    anim->SetVisible(true);
    EXPECT_EQ(Run(*anim, 4), (std::vector<int32_t>{1, 2, 2, 2}));
    EXPECT_TRUE(anim->IsStopped());

    auto still = Make("");
    still->SetVisible(true);
    EXPECT_EQ(Run(*still, 3), (std::vector<int32_t>{0, 0, 0}));
}

TEST_F(AnimTest, DrawsTheCurrentFrameStretched)
{
    auto anim = Make("fps='10'");
    anim->Resize(0, 0, 16, 16);
    anim->SetVisible(true);
    anim->Update();
    WidgetTest::Canvas canvas(16, 16);
    Fw::Graphics g(&canvas.image);
    anim->Draw(&g);
    EXPECT_EQ(Hue(canvas.At(12, 12)), 'G') << "frame 1 (green) over the whole widget";
    EXPECT_EQ(Hue(canvas.At(1, 1)), 'G');
}

} // namespace
