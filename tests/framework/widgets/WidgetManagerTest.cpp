#include "framework/widgets/WidgetManager.h"

#include "framework/core/Profiler.h"
#include "support/RecordingWidget.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using Fw::Point;
using Fw::Rect;
using Fw::WidgetManager;
using FwTest::EventLog;
using FwTest::RecordingHost;
using FwTest::RecordingWidget;

TEST(WidgetManagerCoords, MapMouseCoords)
{
    struct Case {
        const char* what;
        Rect app, window;
        Point in, expected;
    };
    const Case cases[] = {
        {"window twice the drawing size", {0, 0, 800, 600}, {0, 0, 1600, 1200}, {801, 601}, {400, 300}},
        {"window offset and drawing margin", {10, 20, 800, 600}, {100, 50, 800, 600}, {100, 50}, {10, 20}},
        {"points left of the window map negative", {0, 0, 800, 600}, {0, 0, 400, 300}, {-3, -1}, {-6, -2}},
        {"zero-size window leaves the point", {0, 0, 800, 600}, {0, 0, 0, 0}, {123, 45}, {123, 45}},
        {"zero-height window leaves the point", {0, 0, 800, 600}, {0, 0, 800, 0}, {123, 45}, {123, 45}},
    };
    for (const Case& c : cases) {
        WidgetManager m(nullptr);
        m.SetScreenRects(c.app, c.window);
        Point p = c.in;
        m.MapMouseCoords(p.x, p.y);
        EXPECT_EQ(p, c.expected) << c.what;
    }
    WidgetManager m(nullptr);
    m.SetScreenRects(Rect(16, 12, 800, 600), Rect(0, 0, 832, 624));
    EXPECT_EQ(m.width, 832);
    EXPECT_EQ(m.height, 624);
}

// A 200 x 200 manager with an application stand-in.
struct ManagerFixture : ::testing::Test {
    RecordingHost host;
    WidgetManager manager{&host};
    EventLog log;
    std::vector<std::unique_ptr<RecordingWidget>> owned;

    ManagerFixture() { manager.SetScreenRects(Rect(0, 0, 200, 200), Rect(0, 0, 200, 200)); }
    ~ManagerFixture() override { manager.RemoveAllWidgets(false, true); }

    RecordingWidget* Make(const std::string& name, Rect r)
    {
        owned.push_back(std::make_unique<RecordingWidget>(name, &log, r.x, r.y, r.width, r.height));
        return owned.back().get();
    }
    RecordingWidget* Add(const std::string& name, Rect r)
    {
        RecordingWidget* w = Make(name, r);
        manager.AddWidget(w);
        return w;
    }
};

using WidgetManagerInput = ManagerFixture;

TEST_F(WidgetManagerInput, HitSearchHonoursInsetsAndStillFindsChildren)
{
    RecordingWidget* under = Add("under", Rect(0, 0, 100, 100));
    RecordingWidget* w = Add("w", Rect(10, 10, 50, 50));
    w->mouseInsets = Fw::Insets(5, 5, 5, 5);
    RecordingWidget* child = Make("child", Rect(0, 0, 4, 4)); // lies within w's inset band
    w->AddWidget(child);

    struct Case {
        Point at;
        RecordingWidget* expected;
        Point local;
    };
    const Case cases[] = {
        {{12, 12}, child, {2, 2}},     {{14, 20}, under, {14, 20}}, {{15, 15}, w, {5, 5}},
        {{54, 54}, w, {44, 44}},       {{55, 30}, under, {55, 30}}, {{30, 55}, under, {30, 55}},
        {{150, 150}, nullptr, {0, 0}},
    };
    for (const Case& c : cases) {
        Point local;
        EXPECT_EQ(manager.GetWidgetAt(c.at.x, c.at.y, &local), c.expected) << c.at.x << "," << c.at.y;
        if (c.expected != nullptr) {
            EXPECT_EQ(local, c.local) << c.at.x << "," << c.at.y;
        }
    }

    // A failing HitTest lets the point through; a disabled widget stops it.
    w->hitTestResult = false;
    EXPECT_EQ(manager.GetWidgetAt(30, 30, nullptr), under);
    w->hitTestResult = true;
    w->SetDisabled(true);
    EXPECT_EQ(manager.GetWidgetAt(30, 30, nullptr), nullptr);
    EXPECT_EQ(manager.GetAnyWidgetAt(30, 30, nullptr), w);
    // Hidden widgets and a subtree without AllowMouse are never hit.
    w->SetDisabled(false);
    w->flagsMod.removeFlags = Fw::WidgetFlags::AllowMouse;
    EXPECT_EQ(manager.GetWidgetAt(12, 12, nullptr), under);
    w->flagsMod.removeFlags = 0;
    w->SetVisible(false);
    EXPECT_EQ(manager.GetWidgetAt(30, 30, nullptr), under);
}

TEST_F(WidgetManagerInput, HoverEntersAndLeavesWithTheHandCursor)
{
    RecordingWidget* a = Add("a", Rect(0, 0, 50, 50));
    a->handCursor = true;
    manager.MouseMove(10, 10);
    manager.MouseMove(10, 10); // no change of position: no move
    manager.MouseMove(11, 10);
    manager.MouseMove(100, 100);
    EXPECT_EQ(log, (EventLog{"a:MouseEnter", "a:MouseMove 10,10", "a:MouseMove 11,10", "a:MouseLeave"}));
    EXPECT_EQ(host.cursors, (std::vector<int>{1, 0}));
    EXPECT_FALSE(a->isOver);

    manager.MouseMove(5, 5);
    log.clear();
    manager.MouseExit(5, 5);
    EXPECT_EQ(log, EventLog{"a:MouseLeave"});
    EXPECT_FALSE(manager.IsMouseInWindow());
}

TEST_F(WidgetManagerInput, CaptureLastsUntilEveryButtonIsReleased)
{
    RecordingWidget* a = Add("a", Rect(10, 10, 50, 50));
    RecordingWidget* b = Add("b", Rect(100, 10, 50, 50));
    // The window procedure sends a move before every press and release.
    manager.MouseMove(20, 20);
    manager.MouseDown(20, 20, 1);
    manager.MouseMove(110, 20);
    manager.MouseDown(110, 20, -1); // over b, but a holds the capture
    EXPECT_EQ(manager.GetDownWidget(), a);
    EXPECT_EQ(manager.GetDownButtons(), WidgetManager::kLeftBit | WidgetManager::kRightBit);
    EXPECT_FALSE(b->isOver) << "no other widget is hovered during a capture";

    manager.MouseMove(110, 20);
    manager.MouseUp(110, 20, 1);
    EXPECT_EQ(manager.GetDownWidget(), a) << "right is still held";
    EXPECT_FALSE(a->isDown);
    EXPECT_FALSE(b->isOver);
    manager.MouseMove(120, 25);
    manager.MouseUp(120, 25, -1);
    EXPECT_EQ(manager.GetDownWidget(), nullptr);
    EXPECT_EQ(manager.GetDownButtons(), 0);
    EXPECT_EQ(manager.GetOverWidget(), b) << "hover follows the mouse again";

    const EventLog expected{"a:MouseEnter",       "a:MouseMove 10,10",   "a:MouseDown 10,10 b0 c1",
                            "a:MouseDrag 100,10", "a:MouseLeave",        "a:MouseDown 100,10 b1 c1",
                            "a:MouseDrag 100,10", "a:MouseUpAny 100,10", "a:MouseUp 100,10 b0 c1",
                            "a:MouseDrag 110,15", "a:MouseUpAny 110,15", "a:MouseUp 110,15 b1 c1",
                            "b:MouseEnter",       "b:MouseMove 20,15"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(manager.GetLastButtonId(), -1);
}

TEST_F(WidgetManagerInput, APressOnNoWidgetOnlyCountsInAllDownButtons)
{
    Add("a", Rect(0, 0, 10, 10));
    manager.MouseDown(100, 100, 3);
    EXPECT_EQ(manager.GetDownWidget(), nullptr);
    EXPECT_EQ(manager.GetDownButtons(), 0);
    EXPECT_EQ(manager.GetAllDownButtons(), WidgetManager::kMiddleBit);
    EXPECT_EQ(manager.GetLastButtonId(), 2);
    manager.MouseUp(100, 100, 3);
    EXPECT_EQ(manager.GetAllDownButtons(), 0);
}

TEST_F(WidgetManagerInput, NestedWidgetsGetTheirOwnCoordinatesForEveryMouseEvent)
{
    RecordingWidget* parent = Add("parent", Rect(50, 60, 100, 100));
    RecordingWidget* child = Make("child", Rect(10, 20, 30, 30));
    parent->AddWidget(child);
    manager.MouseMove(65, 85);
    manager.MouseDown(65, 85, 1);
    manager.MouseMove(70, 90);
    manager.MouseUp(70, 90, 1);
    const EventLog expected{"child:MouseEnter",      "child:MouseMove 5,5",    "child:MouseDown 5,5 b0 c1",
                            "child:MouseDrag 10,10", "child:MouseUpAny 10,10", "child:MouseUp 10,10 b0 c1"};
    EXPECT_EQ(log, expected);
}

TEST_F(WidgetManagerInput, PressGivesFocusToWidgetsThatWantIt)
{
    RecordingWidget* a = Add("a", Rect(0, 0, 50, 50));
    RecordingWidget* b = Add("b", Rect(100, 0, 50, 50));
    a->wantsFocus = true;
    manager.MouseDown(110, 10, 1);
    manager.MouseUp(110, 10, 1);
    EXPECT_EQ(manager.GetFocusWidget(), nullptr);
    manager.MouseDown(10, 10, 1);
    EXPECT_EQ(manager.GetFocusWidget(), a);
    EXPECT_TRUE(a->hasFocus);
    (void)b;
}

TEST_F(WidgetManagerInput, KeysGoToTheFocusWidgetOnly)
{
    RecordingWidget* a = Add("a", Rect(0, 0, 50, 50));
    manager.KeyDown(65); // no focus: only the table changes
    EXPECT_TRUE(manager.IsKeyDown(65));
    EXPECT_TRUE(log.empty());

    manager.SetFocus(a);
    manager.KeyDown(17);
    manager.KeyUp(9); // Ctrl+Tab is swallowed
    manager.KeyChar(9);
    manager.KeyChar(L'x');
    manager.KeyUp(17);
    manager.MouseWheel(-2);
    manager.KeyDown(300); // outside the table: passed on, not stored
    EXPECT_EQ(log, (EventLog{"a:GotFocus", "a:KeyDown 17", "a:KeyChar 120", "a:KeyUp 17", "a:MouseWheel -2",
                             "a:KeyDown 300"}));
}

TEST_F(WidgetManagerInput, LosingFocusReleasesHeldKeysInAscendingOrder)
{
    RecordingWidget* a = Add("a", Rect(0, 0, 50, 50));
    manager.SetFocus(a);
    manager.KeyDown(200);
    manager.KeyDown(65);
    manager.KeyDown(16);
    manager.MouseDown(10, 10, 1);
    log.clear();

    manager.LostFocus();
    EXPECT_EQ(log, (EventLog{"a:KeyUp 16", "a:KeyUp 65", "a:KeyUp 200", "a:LostFocus"}));
    EXPECT_EQ(manager.GetAllDownButtons(), 0);
    EXPECT_FALSE(manager.IsKeyDown(65));
    EXPECT_EQ(manager.GetFocusWidget(), a) << "the focus widget stays recorded";
    EXPECT_EQ(manager.GetWidgetFlags(), Fw::WidgetFlags::Default);
    manager.lostFocusMod.removeFlags = Fw::WidgetFlags::AllowMouse;
    EXPECT_EQ(manager.GetWidgetAt(10, 10, nullptr), nullptr) << "the lost-focus modifier applies";

    log.clear();
    manager.LostFocus(); // already lost: nothing
    manager.GotFocus();
    manager.GotFocus();
    EXPECT_EQ(log, EventLog{"a:GotFocus"});
}

TEST_F(WidgetManagerInput, ReleaseDownWidgetSendsTheReleasesAtTheLastPosition)
{
    RecordingWidget* a = Add("a", Rect(10, 10, 50, 50));
    manager.MouseDown(20, 20, 1);
    manager.MouseDown(20, 20, 3);
    manager.MouseMove(30, 25);
    log.clear();
    manager.ReleaseDownWidget();
    EXPECT_EQ(log, (EventLog{"a:MouseUpAny 20,15", "a:MouseUp 20,15 b0 c1", "a:MouseUpAny 20,15",
                             "a:MouseUp 20,15 b2 c1"}));
    EXPECT_EQ(manager.GetDownWidget(), nullptr);
    EXPECT_FALSE(a->isDown);
}

TEST_F(WidgetManagerInput, DisablingTheHoveredWidgetLeavesIt)
{
    RecordingWidget* a = Add("a", Rect(0, 0, 50, 50));
    manager.MouseMove(10, 10);
    a->SetDisabled(true);
    EXPECT_EQ(manager.GetOverWidget(), nullptr);
    EXPECT_FALSE(a->isOver);
    a->SetDisabled(false);
    EXPECT_EQ(manager.GetOverWidget(), a) << "enabling under the mouse tracks it again";
}

using WidgetManagerModal = ManagerFixture;

TEST_F(WidgetManagerModal, PushingALayerCutsTheWidgetsBelowOff)
{
    RecordingWidget* below = Add("below", Rect(0, 0, 100, 100));
    below->wantsFocus = true;
    manager.MouseMove(10, 10);
    manager.MouseDown(10, 10, 1);
    manager.MouseMove(12, 11);
    ASSERT_EQ(manager.GetFocusWidget(), below);
    RecordingWidget* dialog = Add("dialog", Rect(150, 150, 40, 40));
    log.clear();

    manager.PushModalLayer(dialog);
    EXPECT_EQ(log, (EventLog{"below:MouseLeave", "below:MouseUpAny 12,11", "below:MouseUp 12,11 b0 c1",
                             "below:LostFocus"}));
    EXPECT_EQ(manager.GetModalBase(), dialog);
    EXPECT_EQ(manager.GetOverWidget(), nullptr);
    EXPECT_EQ(manager.GetDownWidget(), nullptr);
    EXPECT_EQ(manager.GetFocusWidget(), nullptr);
    EXPECT_EQ(manager.GetWidgetAt(10, 10, nullptr), nullptr) << "widgets under the modal one cannot be hit";
    EXPECT_EQ(manager.GetWidgetAt(160, 160, nullptr), dialog);

    // Widgets under the modal one keep updating.
    log.clear();
    manager.UpdateFrame();
    EXPECT_EQ(log, (EventLog{"below:Update", "dialog:Update"}));

    log.clear();
    manager.PopModalLayer(dialog);
    EXPECT_EQ(manager.GetModalBase(), nullptr);
    EXPECT_EQ(manager.GetFocusWidget(), below) << "nothing took the focus meanwhile";
    EXPECT_EQ(log, EventLog{"below:GotFocus"});
    EXPECT_EQ(manager.GetWidgetAt(10, 10, nullptr), below);
}

TEST_F(WidgetManagerModal, PoppingKeepsAFocusTakenMeanwhile)
{
    RecordingWidget* below = Add("below", Rect(0, 0, 100, 100));
    RecordingWidget* dialog = Add("dialog", Rect(150, 150, 40, 40));
    manager.SetFocus(below);
    manager.PushModalLayer(dialog);
    manager.SetFocus(dialog);
    manager.PopModalLayer(below); // not the top layer: nothing
    EXPECT_EQ(manager.GetModalBase(), dialog);
    manager.PopModalLayer(dialog);
    EXPECT_EQ(manager.GetFocusWidget(), dialog);
    EXPECT_TRUE(manager.GetModalLayers().empty());
}

TEST_F(WidgetManagerModal, RemovingTheModalWidgetClearsTheBaseAndPoppingUnwindsIt)
{
    Add("below", Rect(0, 0, 100, 100));
    RecordingWidget* first = Add("first", Rect(100, 100, 50, 50));
    RecordingWidget* second = Add("second", Rect(150, 150, 40, 40));
    manager.PushModalLayer(first);
    manager.PushModalLayer(second);
    manager.RemoveWidget(first);
    EXPECT_EQ(manager.GetModalBase(), second);
    ASSERT_EQ(manager.GetModalLayers().size(), 2u);
    EXPECT_EQ(manager.GetModalLayers()[1].previousBase, nullptr) << "the saved base left the tree";

    manager.PopModalLayer(second); // unwinds first's layer with it
    EXPECT_TRUE(manager.GetModalLayers().empty());
    EXPECT_EQ(manager.GetModalBase(), nullptr);

    manager.PushModalLayer(second);
    manager.RemoveWidget(second);
    EXPECT_EQ(manager.GetModalBase(), nullptr);
    manager.PopModalLayer(second);
    EXPECT_TRUE(manager.GetModalLayers().empty());
}

using WidgetManagerDraw = ManagerFixture;

TEST_F(WidgetManagerDraw, NothingDirtyDrawsNothingAndSkipsTheOverlay)
{
    Add("a", Rect(0, 0, 10, 10));
    manager.DrawScreen();
    ASSERT_EQ(host.overlayCalls, 1);
    EXPECT_FALSE(manager.DrawScreen());
    EXPECT_EQ(host.overlayCalls, 1);
}

TEST_F(WidgetManagerDraw, OnlyDirtyVisibleTopLevelWidgetsDrawWithTheirSubtree)
{
    manager.SetScreenRects(Rect(16, 8, 100, 100), Rect(0, 0, 132, 116));
    RecordingWidget* a = Add("a", Rect(10, 20, 50, 50));
    RecordingWidget* aChild = Make("aChild", Rect(5, 6, 10, 10));
    a->AddWidget(aChild);
    RecordingWidget* b = Add("b", Rect(100, 100, 10, 10));
    RecordingWidget* hidden = Add("hidden", Rect(0, 0, 5, 5));
    hidden->SetVisible(false);
    manager.DrawScreen();
    log.clear();

    aChild->MarkDirty(); // marks its top-level ancestor
    EXPECT_TRUE(manager.DrawScreen());
    EXPECT_EQ(log, (EventLog{"a:Draw", "aChild:Draw"}));
    EXPECT_FALSE(a->dirty || aChild->dirty);
    EXPECT_EQ(a->lastDrawTranslation, Point(10 - 16, 20 - 8));
    EXPECT_EQ(aChild->lastDrawTranslation, Point(15 - 16, 26 - 8));
    EXPECT_EQ(host.overlayTranslation, Point(-16, -8));
    EXPECT_EQ(b->drawCount, 1) << "drawn once, when first added";
    EXPECT_EQ(hidden->drawCount, 0);
}

TEST_F(WidgetManagerDraw, UpdatesAndDrawsAreProfiledSections)
{
    Add("a", Rect(0, 0, 10, 10));
    Fw::ProfileStart();
    manager.UpdateFrame();
    manager.UpdateFrameF(0.5f);
    manager.DrawScreen();
    Fw::ProfileStop();
    const auto& sections = Fw::GetProfiler().Sections();
    ASSERT_TRUE(sections.count("WidgetManager::UpdateFrame"));
    ASSERT_TRUE(sections.count("WidgetManager::DrawScreen"));
    EXPECT_EQ(sections.at("WidgetManager::UpdateFrame").calls, 2);
    EXPECT_EQ(sections.at("WidgetManager::DrawScreen").calls, 1);
}

TEST(WidgetManagerNoHost, DrawsWithoutAnApplication)
{
    WidgetManager manager(nullptr);
    RecordingWidget a("a", nullptr, 0, 0, 10, 10);
    manager.AddWidget(&a);
    EXPECT_TRUE(manager.DrawScreen());
    a.handCursor = true;
    a.ShowHandCursor(true); // no application: nothing to ask
    EXPECT_EQ(a.drawCount, 1);
}

} // namespace
