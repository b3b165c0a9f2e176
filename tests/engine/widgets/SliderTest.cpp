// Sliders and scroll bars: the value of a press, the thumb's placement, skins built by dialogs,
// stepping, the slider button's placement and hiding the buttons.
#include "engine/core/Texture.h"
#include "engine/widgets/Bar.h"
#include "engine/widgets/Button.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/ScrollBar.h"
#include "engine/widgets/Slider.h"
#include "framework/widgets/WidgetManager.h"

#include "WidgetTestSupport.h"

namespace {

using WidgetTest::Canvas;
using WidgetTest::ParseXml;

class SliderTest : public WidgetTest::Fixture {
protected:
    // A visible slider 220 x 20, zone 0, 0, 220, 20, maximum 100, dead zones 5 and 5.
    void Setup(VTSlider& slider)
    {
        slider.Resize(0, 0, 220, 20);
        slider.zoneWidth = 220;
        slider.zoneHeight = 20;
        slider.lowDeadZone = 5;
        slider.highDeadZone = 5;
        slider.SetMaximum(100);
        slider.SetVisible(true);
    }
};

TEST_F(SliderTest, PressSetsTheValueOfItsPlace)
{
    struct Case {
        int x, y, expected;
    };
    const Case cases[] = {
        {110, 10, 50}, {216, 10, 100}, {3, 10, 0}, {5, 10, 2}, {215, 10, 97},
        {110, 30, 7},  // below the zone: unchanged
        {221, 10, 7},  // right of the zone: unchanged
    };
    VTSlider slider(nullptr);
    Setup(slider);
    for (const Case& c : cases) {
        slider.SetValue(7);
        slider.MouseDown(c.x, c.y, 0, 1);
        EXPECT_EQ(slider.GetValue(), c.expected) << "x " << c.x << " y " << c.y;
    }

    slider.zoneWidth = 0; // a zone without width takes no presses
    slider.highDeadZone = 300;
    slider.SetValue(7);
    slider.SetValueAtPoint(0, 10);
    EXPECT_EQ(slider.GetValue(), 7);
}

TEST_F(SliderTest, ThumbTravelsBetweenItsMargins)
{
    VTSlider slider(nullptr);
    Setup(slider);
    auto* thumb = new VTCandyWidget(&slider);
    thumb->Resize(0, 3, 20, 14);
    slider.AddChild("thumb", thumb);
    thumb->SetVisible(true);
    slider.thumbMargin = 10;
    EXPECT_FALSE(thumb->mouseVisible);

    struct Case {
        int value, x;
    };
    for (const Case& c : {Case{0, 10}, Case{100, 190}, Case{50, 100}, Case{150, 190}, Case{-4, 10}}) {
        slider.SetValue(c.value);
        slider.Update();
        EXPECT_EQ(thumb->x, c.x) << "value " << c.value;
        EXPECT_EQ(thumb->y, 3);
    }
    EXPECT_EQ(slider.GetValue(), 0); // the update clamped -4

    slider.SetMaximum(0); // never moves the thumb
    thumb->Move(55, 3);
    slider.SetValue(0);
    slider.Update();
    EXPECT_EQ(thumb->x, 55);
}

TEST_F(SliderTest, BuiltFromASkinWithBackBarAndThumb)
{
    services.AddImage("track", 220, 4, 0xFF808080);
    services.AddImage("knob", 20, 20, 0xFFFFFFFF);
    services.AddImage("fill", 10, 20, 0xFF00FF00);
    services.AddImage("empty", 10, 20, 0xFF0000FF);
    auto doc = ParseXml(
        "<dialog width='300' height='60' visible='1'>"
        "<element type='vtslider' name='volume' x='20' y='20' width='220' height='20' visible='1'"
        " mz_width='220' mz_height='20' mz_dz1='5' mz_dz2='5'>"
        "<element name='back' y='16' width='220' height='4' visible='1'><texture id='normal' texture='track'/></element>"
        "<element name='bar' width='220' height='20' seg_width='10'>"
        "<texture id='fill' texture='fill'/><texture id='empty' texture='empty'/></element>"
        "<element name='thumb' x='10' y='0' width='20' height='20' visible='1'>"
        "<texture id='normal' texture='knob'/></element>"
        "</element></dialog>");
    VTDialog dialog(nullptr, &app);
    dialog.LoadFromXml(doc.SelectSingleNode("dialog"));
    auto* slider = dynamic_cast<VTSlider*>(dialog.FindChild("volume"));
    ASSERT_NE(slider, nullptr);
    ASSERT_NE(slider->GetBar(), nullptr);
    ASSERT_NE(slider->GetThumb(), nullptr);
    ASSERT_NE(slider->GetBack(), nullptr);
    EXPECT_EQ(slider->thumbMargin, 10);
    EXPECT_EQ(slider->zoneWidth, 220);
    EXPECT_FALSE(slider->GetBack()->mouseVisible);
    slider->SetMaximum(100);
    slider->MouseDown(110, 10, 0, 1);
    EXPECT_EQ(slider->GetValue(), 50);
    EXPECT_EQ(slider->GetBar()->GetValue(), 50);

    Fw::WidgetManager manager(nullptr);
    manager.AddWidget(&dialog);
    manager.UpdateFrame();
    Canvas canvas(300, 60);
    manager.image = &canvas.image;
    manager.MarkAllDirty();
    manager.DrawScreen();
    canvas.Dump("slider");
    manager.RemoveWidget(&dialog);
    // Half the bar filled (the invisible bar is drawn by the slider, under its children), the back
    // along the bottom, the thumb in the middle.
    EXPECT_EQ(canvas.At(25, 38) & 0xF0F0F0, 0x808080u);
    EXPECT_EQ(canvas.At(25, 30) & 0xF0F0F0, 0x00F000u);
    EXPECT_EQ(canvas.At(235, 30) & 0xF0F0F0, 0x0000F0u);
    EXPECT_EQ(slider->GetThumb()->x, 100);
}

// A scroll bar 20 x 100 with up (20 x 20), down (20 x 20) and slider (20 x 10) buttons and a track
// from y 20 to y 80.
class ScrollBarTest : public WidgetTest::Fixture {
protected:
    ScrollBarTest()
    {
        doc = ParseXml("<s width='20' height='100' visible='1' distx1='0' distx2='0' disty1='20' disty2='80'>"
                       "<element name='up' width='20' height='20' visible='1'><texture id='normal' texture='red'/></element>"
                       "<element name='down' y='80' width='20' height='20' visible='1'><texture id='normal' texture='red'/></element>"
                       "<element name='slider' width='20' height='10' visible='1'><texture id='normal' texture='white'/></element>"
                       "</s>");
        bar.LoadFromXml(doc.SelectSingleNode("s"), &app);
    }
    Platform::XmlDocument doc;
    VTScrollBar bar{nullptr};
};

TEST_F(ScrollBarTest, ButtonsStepWithinTheRange)
{
    ASSERT_NE(bar.GetUpButton(), nullptr);
    EXPECT_EQ(bar.GetUpButton()->GetId(), VTScrollBar::kUp);
    EXPECT_EQ(bar.GetDownButton()->GetId(), VTScrollBar::kDown);
    bar.SetRange(2, 10);
    bar.GetUpButton()->MouseDown(5, 5, 0, 1);
    EXPECT_EQ(bar.position, 0);
    bar.GetDownButton()->MouseDown(5, 5, 0, 1);
    bar.GetDownButton()->MouseDown(5, 5, 0, 1);
    bar.GetDownButton()->MouseDown(5, 5, 0, 1);
    EXPECT_EQ(bar.position, 2);
    bar.GetSliderButton()->MouseDown(5, 5, 0, 1);
    EXPECT_EQ(bar.position, 2);
    bar.GetUpButton()->MouseDown(5, 5, 0, 1);
    EXPECT_EQ(bar.position, 1);
}

TEST_F(ScrollBarTest, SliderFollowsThePosition)
{
    bar.SetRange(4, 10);
    struct Case {
        int position, y;
    };
    // y = 20 + trunc((80 - 10 - 20) x position / 4)
    for (const Case& c : {Case{0, 20}, Case{1, 32}, Case{2, 45}, Case{4, 70}, Case{9, 70}}) {
        bar.position = c.position;
        bar.Update();
        EXPECT_EQ(bar.GetSliderButton()->y, c.y) << "position " << c.position;
    }
    EXPECT_EQ(bar.position, 4);
    EXPECT_EQ(bar.GetSliderButton()->GetTexture(VTButton::kNormal, 0)->height, 10);
}

TEST_F(ScrollBarTest, RangeZeroHidesTheButtons)
{
    bar.SetRange(0, 3);
    for (VTButton* b : {bar.GetUpButton(), bar.GetDownButton(), bar.GetSliderButton()})
        EXPECT_FALSE(b->visible);
    EXPECT_FALSE(bar.disabled);
    bar.SetRange(3, 6);
    for (VTButton* b : {bar.GetUpButton(), bar.GetDownButton(), bar.GetSliderButton()})
        EXPECT_TRUE(b->visible);
}

TEST_F(ScrollBarTest, WithoutButtonsNothingIsSteppedOrMoved)
{
    VTScrollBar bare(nullptr);
    auto plain = ParseXml("<s width='20' height='100' visible='1'/>");
    bare.LoadFromXml(plain.SelectSingleNode("s"), &app);
    bare.SetRange(5, 10);
    bare.position = 3;
    bare.Update();
    bare.SetRange(0, 0);
    EXPECT_EQ(bare.position, 3);
    EXPECT_EQ(bare.GetSliderButton(), nullptr);
}

} // namespace
