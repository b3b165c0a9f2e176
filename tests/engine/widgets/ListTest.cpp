// Lists: paging with the scroll bar, selection by click, the line height and its faults, the check
// texture, and the drawn lines.
#include "engine/core/Texture.h"
#include "engine/widgets/Button.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/List.h"
#include "engine/widgets/ScrollBar.h"
#include "framework/widgets/WidgetManager.h"

#include "WidgetTestSupport.h"

#include <string>

namespace {

using WidgetTest::Canvas;
using WidgetTest::ParseXml;

// A list 100 x 50 with the block font (line height 10) and a scroll bar of up, down and slider
// buttons, built by a dialog.
class ListTest : public WidgetTest::Fixture {
protected:
    VTList* Build(const std::string& listAttributes, const std::string& inner)
    {
        doc = ParseXml("<dialog width='200' height='100' visible='1'><element type='vtlist' name='list' " +
                       listAttributes + ">" + inner + "</element></dialog>");
        dialog.LoadFromXml(doc.SelectSingleNode("dialog"));
        return dynamic_cast<VTList*>(dialog.FindChild("list"));
    }
    static std::string ScrollSkin()
    {
        return "<element name='scroll' width='10' visible='1'>"
               "<element name='up' width='10' height='10' visible='1'><texture id='normal' texture='red'/></element>"
               "<element name='down' width='10' height='10' visible='1'><texture id='normal' texture='red'/></element>"
               "<element name='slider' width='10' height='6' visible='1'><texture id='normal' texture='white'/></element>"
               "</element>";
    }
    static std::string Lines(VTList& list, int count)
    {
        for (int i = 0; i < count; ++i)
            list.AddLine(L"line " + std::to_wstring(i));
        return {};
    }

    Platform::XmlDocument doc;
    VTDialog dialog{nullptr, &app};
};

TEST_F(ListTest, ScrollBarPagesTheLines)
{
    VTList* list = Build("x='10' y='10' width='100' height='50' visible='1' sel_color='ff203040' line_spacing='25'",
                         ScrollSkin() + "<textattr id='normal' color='ffffffff' font='block'/>");
    ASSERT_NE(list, nullptr);
    VTScrollBar* bar = list->GetScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(list->GetLineHeight(), 10); // the normal font's height wins over "line_spacing"
    // Along the right edge; up at the top, down at the bottom; the slider's track between them.
    EXPECT_EQ(bar->x, 90);
    EXPECT_EQ(bar->height, 50);
    EXPECT_EQ(bar->GetDownButton()->y, 40);
    EXPECT_EQ(bar->trackYStart, 10);
    EXPECT_EQ(bar->trackYEnd, 40);

    Lines(*list, 10);
    EXPECT_EQ(bar->GetMaximum(), 5); // ten lines, five shown
    EXPECT_TRUE(bar->GetDownButton()->visible);
    bar->GetDownButton()->MouseDown(2, 2, 0, 1);
    bar->GetDownButton()->MouseDown(2, 2, 0, 1);
    EXPECT_FALSE(list->IsImageValid());
    list->Update();
    bar->Update();
    EXPECT_EQ(list->GetFirstVisibleLine(), 2);
    EXPECT_EQ(bar->GetSliderButton()->y, 10 + (40 - 6 - 10) * 2 / 5);

    list->AddLine(L"more"); // each new line goes back to the top
    list->Update();
    EXPECT_EQ(list->GetFirstVisibleLine(), 0);
    EXPECT_EQ(bar->GetMaximum(), 6);

    list->Clear();
    EXPECT_EQ(bar->GetMaximum(), 0);
    EXPECT_FALSE(bar->GetUpButton()->visible);
    EXPECT_FALSE(bar->GetSliderButton()->visible);
}

TEST_F(ListTest, ClickSelectsTheLineUnderIt)
{
    VTList* list = Build("width='100' height='45' visible='1'", ScrollSkin() + "<textattr id='normal' font='block'/>");
    ASSERT_NE(list, nullptr);
    Lines(*list, 10);
    list->GetScrollBar()->position = 3;
    list->Update();
    list->MouseDown(5, 25, 0, 1); // row 2 under first line 3
    EXPECT_EQ(list->GetSelectedItem(), 5);
    EXPECT_EQ(list->GetFirstVisibleLine(), 3);

    // The fifth row is cut by the bottom edge (45): selecting it scrolls down by one.
    list->MouseDown(5, 42, 0, 1);
    EXPECT_EQ(list->GetSelectedItem(), 7);
    EXPECT_EQ(list->GetFirstVisibleLine(), 4);
    EXPECT_EQ(list->GetScrollBar()->position, 4);

    // Below the last line: the selection stays, the lines are drawn again.
    list->Clear();
    list->AddLine(L"only");
    list->Update();
    Canvas canvas(100, 45);
    Fw::Graphics g(&canvas.image);
    list->Draw(&g);
    ASSERT_TRUE(list->IsImageValid());
    list->SetSelectedItem(0);
    list->MouseDown(5, 30, 0, 1);
    EXPECT_EQ(list->GetSelectedItem(), 0);
    EXPECT_FALSE(list->IsImageValid());
}

TEST_F(ListTest, BadLineHeightFontOrCheckTextureKeepsWhatWasThere)
{
    // Line height 0 and no font: clicks select nothing and drawing divides by nothing.
    VTList* list = Build("width='100' height='50' visible='1' line_spacing='0'",
                         ScrollSkin() + "<textattr id='normal' font='missing'/><texture id='check' texture='nope'/>");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetLineHeight(), 0);
    EXPECT_EQ(list->GetTextAttr(2).font, nullptr);
    EXPECT_TRUE(list->CheckTexture().frames.empty());
    Lines(*list, 4);
    list->SetSelectedItem(1);
    list->MouseDown(5, 20, 0, 1);
    EXPECT_EQ(list->GetSelectedItem(), 1);
    Canvas canvas(200, 100);
    Fw::Graphics g(&canvas.image);
    list->Update();
    list->Draw(&g);

    // A null normal font keeps the line height.
    list->SetTextAttr(2, &services.font, Fw::Color::White, Fw::Color::White);
    list->SetTextAttr(2, nullptr, Fw::Color::White, Fw::Color::White);
    EXPECT_EQ(list->GetLineHeight(), 10);
}

TEST_F(ListTest, DrawsSelectionCheckAndText)
{
    services.AddImage("tick", 6, 6, 0xFFFF0000);
    VTList* list = Build("width='100' height='50' visible='1' left='12' sel_color='ff0000ff'",
                         "<textattr id='normal' color='ffffffff' font='block'/>"
                         "<texture id='check' texture='tick'/>");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->CheckTexture().width, 6);
    Lines(*list, 3);
    list->SetSelectedItem(1);
    list->SetActiveItem(2);
    list->checkX = 2;

    Fw::WidgetManager manager(nullptr);
    manager.AddWidget(&dialog);
    manager.UpdateFrame();
    Canvas canvas(200, 100);
    manager.image = &canvas.image;
    manager.MarkAllDirty();
    manager.DrawScreen();
    canvas.Dump("list");
    manager.RemoveWidget(&dialog);

    // Row 1 (y 10..19) carries the selection bar; text blocks start at x 12 + 1, y 1..7 of a row;
    // row 2 has the check (6 x 6, centred: y 22..27) at x 2.
    EXPECT_EQ(canvas.At(5, 15) & 0xF0F0F0, 0x0000F0u);
    EXPECT_EQ(canvas.At(14, 13) & 0xF0F0F0, 0xF0F0F0u);
    EXPECT_EQ(canvas.At(14, 3) & 0xF0F0F0, 0xF0F0F0u);
    EXPECT_EQ(canvas.At(3, 24) & 0xF0F0F0, 0xF00000u);
    EXPECT_EQ(canvas.At(5, 5), 0u);
}

} // namespace
