// Framework dialogs and buttons on an application object over the fake platform: sizing and
// button layout with a fake font, answering through the window procedure, the modal wait,
// dragging, colour tables, fading, and a rendered dialog checked pixel by pixel.
#include "framework/assets/ImageLib.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"
#include "framework/graphics/GraphicsFakes.h"
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using namespace Platform;

// Records the application's button events.
class ButtonApp : public Fw::AppBase {
public:
    std::vector<std::string> events;
    void ButtonDownById(int32_t id) override { events.push_back("down " + std::to_string(id)); }
    void ButtonClicked(int32_t id) override { events.push_back("clicked " + std::to_string(id)); }
};

class Dialogs : public ::testing::Test {
protected:
    void SetUp() override
    {
        app.Init();
        env.ws.activeWindow = app.mainWindow;
        Send(Msg::ActivateApp, 1);
        Drain();
    }
    void Send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0)
    {
        app.WindowProc(app.mainWindow, message, wParam, lParam);
    }
    void Drain()
    {
        while (app.ProcessDeferredMessages(true)) {
        }
    }
    // A dialog measured with the fake font (8 ascent, 1 padding, 12 high, 14 line spacing).
    Fw::Dialog* Make(int32_t id, int32_t set, const std::wstring& footer = L"")
    {
        Fw::Dialog* d = app.NewDialog(id, true, L"Title", L"Hello world", footer, set);
        d->SetHeaderFont(&font);
        d->SetLinesFont(&font);
        d->SetButtonFont(&font);
        return d;
    }
    void Click(Fw::Widget* w)
    {
        const intptr_t at = MakePointParam(w->x + w->width / 2, w->y + w->height / 2);
        Send(Msg::MouseMove, 0, at);
        Send(Msg::LButtonDown, 0, at);
        Send(Msg::LButtonUp, 0, at);
    }

    FwTest::AppEnvironment env;
    ButtonApp app;
    FwTest::FakeFont font;
};

TEST_F(Dialogs, ZeroWidthDialogIsCentredWithItsPreferredHeight)
{
    struct Case {
        int32_t set;
        const wchar_t* footer;
        int32_t height; // 24 + 24 insets, header 12 - 1, gap 10, one wrapped line 11, ...
    };
    const Case cases[] = {
        {Fw::Dialog::kYesNo, L"", 48 + 11 + 10 + 11 + 8 + 8 + 24},
        {Fw::Dialog::kYesNo, L"Footer", 48 + 11 + 10 + 11 + 8 + 14 + 8 + 8 + 24},
        {Fw::Dialog::kFooterButton, L"Footer", 48 + 11 + 10 + 11 + 8 + 8 + 24}, // footer is the button
        {Fw::Dialog::kNoButtons, L"", 48 + 11 + 10 + 11},
    };
    for (const Case& c : cases) {
        Fw::Dialog* d = Make(7, c.set, c.footer);
        app.AddDialog(d);
        EXPECT_EQ(d->x, 200);
        EXPECT_EQ(d->y, 120);
        EXPECT_EQ(d->width, 400);
        EXPECT_EQ(d->height, c.height) << "button set " << c.set;
        if (c.set == Fw::Dialog::kFooterButton) {
            ASSERT_NE(d->firstButton, nullptr);
            EXPECT_EQ(d->secondButton, nullptr);
            EXPECT_EQ(d->firstButton->label, L"Footer");
            EXPECT_EQ(d->firstButton->GetRect(), Fw::Rect(224, 120 + c.height - 24 - 24, 352, 24));
        }
        if (c.set == Fw::Dialog::kYesNo) {
            // (400 - 48 - 8) / 2 = 172 each, 8 apart.
            EXPECT_EQ(d->firstButton->GetRect(), Fw::Rect(224, 120 + c.height - 48, 172, 24));
            EXPECT_EQ(d->secondButton->GetRect(), Fw::Rect(404, 120 + c.height - 48, 172, 24));
            EXPECT_EQ(d->firstButton->label, L"YES");
            EXPECT_EQ(d->secondButton->label, L"NO");
        }
    }
    EXPECT_EQ(app.GetDialogCount(), 1); // each AddDialog replaced the one before
}

TEST_F(Dialogs, SecondButtonAnswersAndTheApplicationSeesIdPlus3000)
{
    Fw::Dialog* d = Make(5, Fw::Dialog::kYesNo);
    app.AddDialog(d);
    Click(d->secondButton);
    Drain();
    EXPECT_EQ(d->result, 1001);
    EXPECT_EQ(app.events, (std::vector<std::string>{"down 3005", "clicked 3005"}));

    app.events.clear();
    Click(d->firstButton);
    Drain();
    EXPECT_EQ(d->result, 1000);
    EXPECT_EQ(app.events, (std::vector<std::string>{"down 2005", "clicked 2005"}));
}

TEST_F(Dialogs, NoClickWhileTheApplicationLacksFocus)
{
    Fw::Dialog* d = Make(5, Fw::Dialog::kOkCancel);
    app.AddDialog(d);
    app.widgetManager->LostFocus();
    Click(d->firstButton);
    Drain();
    EXPECT_EQ(d->result, Fw::Dialog::kNoResult);
    EXPECT_EQ(app.events, (std::vector<std::string>{"down 2005"}));
}

TEST_F(Dialogs, WaitForResultReturnsAfterAClickThroughTheWindowProcedure)
{
    app.primaryThreadId = std::this_thread::get_id();
    Fw::Dialog* d = Make(9, Fw::Dialog::kOkCancel);
    app.AddDialog(d);
    Fw::Widget* b = d->secondButton;
    const intptr_t at = MakePointParam(b->x + 3, b->y + 3);
    env.ws.Push(app.mainWindow, Msg::MouseMove, 0, at);
    env.ws.Push(app.mainWindow, Msg::LButtonDown, 0, at);
    env.ws.Push(app.mainWindow, Msg::LButtonUp, 0, at);
    EXPECT_EQ(d->WaitForResult(true), 1001);
    EXPECT_EQ(app.GetDialog(9), nullptr);
    EXPECT_FALSE(app.widgetManager->HasWidget(d));
    EXPECT_FALSE(app.KillDialog(9)); // already gone
}

TEST_F(Dialogs, KillingAModalDialogPopsItsLayerAndFreesItLater)
{
    Fw::Dialog* first = Make(3, Fw::Dialog::kOkCancel);
    app.AddDialog(first);
    EXPECT_EQ(app.widgetManager->GetModalLayers().size(), 1u);
    Fw::Dialog* second = Make(3, Fw::Dialog::kYesNo); // same id: replaces the first
    app.AddDialog(second);
    EXPECT_EQ(app.GetDialog(3), second);
    EXPECT_EQ(app.widgetManager->GetModalLayers().size(), 1u);
    EXPECT_FALSE(app.widgetManager->HasWidget(first));
    EXPECT_FALSE(app.widgetManager->HasWidget(first->firstButton));
    EXPECT_TRUE(app.widgetManager->HasWidget(second->secondButton));
    EXPECT_FALSE(app.KillDialog(4));
    EXPECT_TRUE(app.KillDialog(3));
    EXPECT_TRUE(app.widgetManager->GetModalLayers().empty());
    EXPECT_EQ(app.GetDialogCount(), 0);
}

TEST_F(Dialogs, DraggingStopsEightPixelsBeyondTheEdges)
{
    Fw::Dialog* d = Make(1, Fw::Dialog::kNoButtons);
    app.AddDialog(d);
    d->MouseDown(20, 30, 0, 1);
    EXPECT_TRUE(d->beingDragged);
    d->MouseDrag(20 - 500, 30);
    EXPECT_EQ(d->x, -8);
    EXPECT_EQ(d->y, 120);
    d->MouseDrag(20 + 2000, 30 + 2000);
    EXPECT_EQ(d->x, 800 - 400 + 8);
    EXPECT_EQ(d->y, 600 - d->height + 8);
    d->MouseUp(0, 0, 0, 1);
    EXPECT_FALSE(d->beingDragged);
    EXPECT_EQ(app.cursorNum, 0);
}

TEST_F(Dialogs, EachDialogKeepsItsOwnColourTable)
{
    Fw::Image buttonImage;
    buttonImage.height = 30;
    Fw::Dialog plain(&app, nullptr, nullptr, 1, false, L"", L"", L"", Fw::Dialog::kOkCancel);
    Fw::Dialog boxed(&app, nullptr, &buttonImage, 2, false, L"", L"", L"", Fw::Dialog::kOkCancel);
    EXPECT_EQ(plain.GetColor(3), Fw::Color(0, 0, 0));
    EXPECT_EQ(plain.firstButton->GetColor(0), Fw::Color(0, 0, 0));
    EXPECT_EQ(boxed.GetColor(3), Fw::Color(255, 255, 255));
    EXPECT_EQ(boxed.secondButton->GetColor(1), Fw::Color(255, 255, 255));
    EXPECT_EQ(boxed.buttonRowHeight, 30);
}

TEST(ButtonFade, FadeOutOnlyStartsAtFullStrengthAndFallsToZero)
{
    Fw::ButtonWidget b(1, nullptr);
    b.fadeOutStep = 0.3;
    b.MouseLeave();
    EXPECT_DOUBLE_EQ(b.overFade, 1.0);
    std::vector<double> seen;
    for (int i = 0; i < 5; ++i) {
        b.Update();
        seen.push_back(b.overFade);
    }
    EXPECT_NEAR(seen[0], 0.7, 1e-9);
    EXPECT_NEAR(seen[2], 0.1, 1e-9);
    EXPECT_EQ(seen[3], 0.0);
    EXPECT_EQ(seen[4], 0.0);
}

// The plain look of a dialog with two plain buttons, drawn into a memory image.
TEST_F(Dialogs, RenderedPlainDialog)
{
    Fw::Dialog* d = app.NewDialog(2, false, L"Save changes?", L"Your progress will be kept for the next game.",
                                  L"", Fw::Dialog::kYesNo);
    app.AddDialog(d);
    Fw::MemoryImage image;
    image.Create(800, 600);
    Fw::Graphics g(&image);
    g.SetColor(Fw::Color(0, 40, 80));
    g.FillRect(0, 0, 800, 600);
    for (Fw::Widget* w : {static_cast<Fw::Widget*>(d), static_cast<Fw::Widget*>(d->firstButton),
                          static_cast<Fw::Widget*>(d->secondButton)}) {
        g.PushState();
        g.Translate(w->x, w->y);
        w->Draw(&g);
        g.PopState();
    }
    const uint32_t* px = image.GetBits();
    auto at = [&](int32_t x, int32_t y) { return px[y * 800 + x]; };
    EXPECT_EQ(at(d->x + 12, d->y + 12), 0xFFFFFFFFu);      // outline corner
    EXPECT_EQ(at(d->x + 13, d->y + 40), 0xFF505050u);      // body, left of the text
    EXPECT_EQ(at(d->x + d->width - 6, d->y + 50), 0xFF001428u); // shadow: half of (0,40,80) over black
    Fw::Widget* yes = d->firstButton;
    EXPECT_EQ(at(yes->x + 2, yes->y + 2), 0xFFD4D4D4u);    // button face
    EXPECT_EQ(at(yes->x, yes->y + 5), 0xFFFFFFFFu);        // light edge
    EXPECT_EQ(at(yes->x + yes->width - 1, yes->y + 5), 0xFF000000u); // dark edge
    if (const char* dir = std::getenv("FW_DIALOG_SCENE_DIR"); dir && *dir) {
        ImageLib::Image out(800, 600);
        std::copy(px, px + 800 * 600, out.GetBits());
        ImageLib::WritePng(std::string(dir) + "/dialog.png", out);
    }
}

} // namespace
