#include "framework/widgets/WidgetContainer.h"

#include "framework/widgets/WidgetManager.h"
#include "support/RecordingWidget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using Fw::Rect;
using Fw::Widget;
using Fw::WidgetManager;
using FwTest::EventLog;
using FwTest::RecordingWidget;

std::string Order(const Fw::WidgetContainer& c)
{
    std::string s;
    for (const Widget* w : c.GetChildren())
        s += (s.empty() ? "" : " ") + static_cast<const RecordingWidget*>(w)->Name();
    return s;
}

int Count(const EventLog& log, const std::string& entry)
{
    return int(std::count(log.begin(), log.end(), entry));
}

// A manager covering 100 x 100 with no application behind it.
struct TreeFixture : ::testing::Test {
    WidgetManager manager{nullptr};
    EventLog log;
    std::vector<std::unique_ptr<RecordingWidget>> owned;

    TreeFixture() { manager.SetScreenRects(Rect(0, 0, 100, 100), Rect(0, 0, 100, 100)); }
    ~TreeFixture() override { manager.RemoveAllWidgets(false, true); }

    RecordingWidget* Make(const std::string& name, Rect r = Rect(0, 0, 10, 10), int z = 0)
    {
        owned.push_back(std::make_unique<RecordingWidget>(name, &log, r.x, r.y, r.width, r.height));
        owned.back()->zOrder = z;
        return owned.back().get();
    }
    RecordingWidget* Add(const std::string& name, Rect r = Rect(0, 0, 10, 10), int z = 0)
    {
        RecordingWidget* w = Make(name, r, z);
        manager.AddWidget(w);
        return w;
    }
    void ClearDirty()
    {
        manager.dirty = false;
        for (auto& w : owned)
            w->dirty = false;
    }
};

using WidgetTree = TreeFixture;

TEST_F(WidgetTree, AddingTwiceKeepsOneEntryAndRemovingANonChildDoesNothing)
{
    RecordingWidget* a = Add("a");
    RecordingWidget* stranger = Make("stranger");
    manager.AddWidget(a);
    manager.RemoveWidget(stranger);
    EXPECT_EQ(Order(manager), "a");
    EXPECT_EQ(a->GetParent(), &manager);
    EXPECT_EQ(a->GetManager(), &manager);
}

TEST_F(WidgetTree, ZOrderInsertion)
{
    struct Case {
        const char* what;
        void (*op)(WidgetManager&, Widget* n, Widget* ref);
        const char* expected;
    };
    const Case cases[] = {
        {"a new z=0 goes after the equals, before z=1", [](WidgetManager&, Widget*, Widget*) {}, "a b n c"},
        {"BringToBack puts it before its equals",
         [](WidgetManager& m, Widget* n, Widget*) { m.BringToBack(n); }, "n a b c"},
        {"BringToFront stops before the z=1 widget",
         [](WidgetManager& m, Widget* n, Widget*) { m.BringToBack(n), m.BringToFront(n); }, "a b n c"},
        {"PutBehind a reference of equal z",
         [](WidgetManager& m, Widget* n, Widget* ref) { m.PutBehind(n, ref); }, "n a b c"},
        {"PutInFront of a reference of equal z",
         [](WidgetManager& m, Widget* n, Widget* ref) { m.BringToBack(n), m.PutInFront(n, ref); }, "a n b c"},
        {"PutInFront of a higher-z reference still keeps z order",
         [](WidgetManager& m, Widget* n, Widget*) {
             m.BringToBack(n);
             for (Widget* w : m.GetChildren())
                 if (w->zOrder == 1) {
                     m.PutInFront(n, w);
                     break;
                 }
         },
         "a b n c"},
        {"PutBehind a non-child goes to the end of its equals",
         [](WidgetManager& m, Widget* n, Widget*) { m.BringToBack(n), m.PutBehind(n, nullptr); }, "a b n c"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WidgetManager m(nullptr);
        RecordingWidget a("a", nullptr), b("b", nullptr), cc("c", nullptr), n("n", nullptr);
        cc.zOrder = 1;
        m.AddWidget(&a);
        m.AddWidget(&b);
        m.AddWidget(&cc);
        m.AddWidget(&n);
        c.op(m, &n, &a);
        EXPECT_EQ(Order(m), c.expected);
        m.RemoveAllWidgets(false, false);
    }
}

TEST_F(WidgetTree, ReorderingCallsOrderChangedAndIgnoresStrangers)
{
    RecordingWidget* a = Add("a");
    Add("b");
    RecordingWidget* stranger = Make("stranger");
    log.clear();
    manager.BringToFront(a);
    manager.BringToFront(stranger);
    EXPECT_EQ(Order(manager), "b a");
    EXPECT_EQ(log, EventLog{"a:OrderChanged"});
}

TEST_F(WidgetTree, AddingAWidgetHeldElsewhereMovesItAndCyclesAreRefused)
{
    RecordingWidget* p1 = Add("p1");
    RecordingWidget* p2 = Add("p2");
    RecordingWidget* child = Make("child");
    p1->AddWidget(child);
    p2->AddWidget(child);
    EXPECT_EQ(Order(*p1), "");
    EXPECT_EQ(Order(*p2), "child");
    EXPECT_EQ(child->GetParent(), p2);

    child->AddWidget(p2); // p2 is child's parent: would form a loop
    child->AddWidget(child);
    EXPECT_EQ(Order(*child), "");
    EXPECT_EQ(p2->GetParent(), &manager);
}

TEST_F(WidgetTree, UpdateWalkSurvivesAChildRemovingItself)
{
    RecordingWidget* a = Add("a");
    RecordingWidget* b = Add("b");
    Add("c");
    b->onUpdate = [&] { manager.RemoveWidget(b); };
    manager.UpdateFrame();
    EXPECT_EQ(log, (EventLog{"a:Update", "b:Update", "c:Update"}));
    EXPECT_EQ(Order(manager), "a c");

    // The first child removing itself.
    log.clear();
    a->onUpdate = [&] { manager.RemoveWidget(a); };
    manager.UpdateFrame();
    EXPECT_EQ(log, (EventLog{"a:Update", "c:Update"}));
}

TEST_F(WidgetTree, UpdateWalkSurvivesRemovalOfTheNextSiblingToo)
{
    RecordingWidget* a = Add("a");
    RecordingWidget* b = Add("b");
    RecordingWidget* c = Add("c");
    Add("d");
    b->onUpdate = [&] {
        manager.RemoveWidget(b);
        manager.RemoveWidget(c);
    };
    manager.UpdateFrame();
    EXPECT_EQ(log, (EventLog{"a:Update", "b:Update", "d:Update"}));
    (void)a;
}

TEST_F(WidgetTree, AWidgetReachedTwiceUpdatesOncePerManagerUpdate)
{
    RecordingWidget* a = Add("a");
    Add("b");
    Add("c");
    a->onUpdate = [&] { manager.BringToFront(a); }; // the walk meets a again at the end
    manager.UpdateFrame();
    EXPECT_EQ(Order(manager), "b c a");
    EXPECT_EQ(Count(log, "a:Update"), 1);
    EXPECT_EQ(Count(log, "b:Update"), 1);
    EXPECT_EQ(Count(log, "c:Update"), 1);

    log.clear();
    manager.UpdateFrame();
    manager.UpdateFrame();
    EXPECT_EQ(Count(log, "a:Update"), 2);
    EXPECT_EQ(Count(log, "b:Update"), 2);
    EXPECT_EQ(a->updateCount, 3);

    log.clear();
    manager.UpdateFrameF(0.5f);
    EXPECT_TRUE(log.empty()) << "a fractional update never runs Update";
}

TEST_F(WidgetTree, UpdateWalkHonoursFlagModifiers)
{
    RecordingWidget* parent = Add("parent", Rect(0, 0, 50, 50));
    RecordingWidget* child = Make("child");
    parent->AddWidget(child);
    parent->flagsMod.removeFlags = Fw::WidgetFlags::Update;
    child->flagsMod.addFlags = Fw::WidgetFlags::Update | Fw::WidgetFlags::MarkDirty;
    ClearDirty();
    manager.UpdateFrame();
    EXPECT_EQ(log, EventLog{"child:Update"});
    EXPECT_TRUE(child->dirty);
    EXPECT_TRUE(parent->dirty) << "marking the child marks its top-level ancestor";
}

TEST_F(WidgetTree, IntersectsNeedsPositiveOverlap)
{
    struct Case {
        const char* what;
        Rect a, b;
        bool expected;
    };
    const Case cases[] = {
        {"overlap by one pixel", {0, 0, 10, 10}, {9, 9, 10, 10}, true},
        {"shared right edge", {0, 0, 10, 10}, {10, 0, 10, 10}, false},
        {"shared bottom edge", {0, 0, 10, 10}, {0, 10, 10, 10}, false},
        {"corner touch", {0, 0, 10, 10}, {10, 10, 5, 5}, false},
        {"contained", {0, 0, 10, 10}, {2, 2, 2, 2}, true},
    };
    for (const Case& c : cases) {
        RecordingWidget a("a", nullptr, c.a.x, c.a.y, c.a.width, c.a.height);
        RecordingWidget b("b", nullptr, c.b.x, c.b.y, c.b.width, c.b.height);
        EXPECT_EQ(a.Intersects(b), c.expected) << c.what;
        EXPECT_EQ(b.Intersects(a), c.expected) << c.what << " (swapped)";
    }
}

TEST_F(WidgetTree, DirtyMarkingRedrawsWidgetsDrawnOver)
{
    RecordingWidget* a = Add("a", Rect(0, 0, 20, 20));
    RecordingWidget* over = Add("over", Rect(10, 10, 20, 20));
    RecordingWidget* touching = Add("touching", Rect(20, 0, 10, 10)); // shares a's right edge only
    RecordingWidget* under = Add("under", Rect(0, 0, 5, 5));
    manager.BringToBack(under);
    ClearDirty();

    a->MarkDirty();
    EXPECT_TRUE(a->dirty);
    EXPECT_TRUE(manager.dirty);
    EXPECT_TRUE(over->dirty);
    EXPECT_FALSE(touching->dirty);
    EXPECT_FALSE(under->dirty) << "without background nothing below is repainted";
}

TEST_F(WidgetTree, DirtyMarkingWithBackgroundStopsAtAnOpaqueCover)
{
    RecordingWidget* bottom = Add("bottom", Rect(0, 0, 100, 100));
    RecordingWidget* cover = Add("cover", Rect(0, 0, 50, 50));
    RecordingWidget* translucent = Add("translucent", Rect(30, 0, 20, 30));
    translucent->hasAlpha = true;
    RecordingWidget* edge = Add("edge", Rect(50, 10, 10, 10)); // touches the child's and the cover's edge
    RecordingWidget* child = Add("child", Rect(40, 10, 10, 10));
    RecordingWidget* top = Add("top", Rect(45, 15, 10, 10));
    ClearDirty();

    child->MarkDirtyWithBackground();
    EXPECT_TRUE(child->dirty);
    EXPECT_TRUE(top->dirty);
    EXPECT_FALSE(edge->dirty) << "touching edges do not intersect";
    EXPECT_TRUE(translucent->dirty) << "a translucent sibling is repainted and the walk goes on";
    EXPECT_TRUE(cover->dirty) << "the opaque cover is repainted";
    EXPECT_FALSE(bottom->dirty) << "nothing below the opaque cover needs repainting";

    // A cover with transparencies does not stop the walk.
    ClearDirty();
    cover->hasTransparencies = true;
    child->MarkDirtyWithBackground();
    EXPECT_TRUE(bottom->dirty);
}

TEST_F(WidgetTree, HidingRepaintsTheAreaUnderneath)
{
    RecordingWidget* bottom = Add("bottom", Rect(0, 0, 100, 100));
    RecordingWidget* w = Add("w", Rect(10, 10, 10, 10));
    ClearDirty();
    w->SetVisible(false);
    EXPECT_TRUE(bottom->dirty);
    EXPECT_EQ(manager.GetWidgetAt(15, 15, nullptr), bottom);
}

TEST_F(WidgetTree, MarkAllDirtyReachesEveryNode)
{
    RecordingWidget* a = Add("a", Rect(0, 0, 10, 10));
    RecordingWidget* child = Make("child");
    a->AddWidget(child);
    ClearDirty();
    manager.MarkAllDirty();
    EXPECT_TRUE(manager.dirty && a->dirty && child->dirty);
}

TEST_F(WidgetTree, IsBelowFollowsDrawingOrder)
{
    RecordingWidget* a = Add("a");
    RecordingWidget* b = Add("b");
    RecordingWidget* aChild = Make("aChild");
    a->AddWidget(aChild);
    RecordingWidget* stranger = Make("stranger");
    EXPECT_TRUE(manager.IsBelow(a, b));
    EXPECT_FALSE(manager.IsBelow(b, a));
    EXPECT_TRUE(manager.IsBelow(aChild, b)) << "a's subtree is drawn before b";
    EXPECT_TRUE(manager.IsBelow(a, aChild)) << "a parent is drawn before its children";
    EXPECT_FALSE(manager.IsBelow(stranger, nullptr));
}

TEST_F(WidgetTree, AbsolutePositionAddsTheParents)
{
    RecordingWidget* a = Add("a", Rect(10, 20, 50, 50));
    RecordingWidget* child = Make("child", Rect(3, 4, 5, 5));
    a->AddWidget(child);
    EXPECT_EQ(child->GetAbsolutePosition(), Fw::Point(13, 24));
    RecordingWidget* detached = Make("detached", Rect(7, 8, 1, 1));
    EXPECT_EQ(detached->GetAbsolutePosition(), Fw::Point(7, 8));
}

TEST_F(WidgetTree, RemovingASubtreeClearsTheManagersReferences)
{
    RecordingWidget* parent = Add("parent", Rect(0, 0, 50, 50));
    RecordingWidget* child = Make("child", Rect(0, 0, 20, 20));
    parent->AddWidget(child);
    child->wantsFocus = true;
    manager.MouseMove(5, 5);
    manager.MouseDown(5, 5, 1);
    ASSERT_EQ(manager.GetOverWidget(), child);
    ASSERT_EQ(manager.GetDownWidget(), child);
    ASSERT_EQ(manager.GetFocusWidget(), child);
    log.clear();

    manager.RemoveWidget(parent);
    EXPECT_EQ(manager.GetOverWidget(), nullptr);
    EXPECT_EQ(manager.GetDownWidget(), nullptr);
    EXPECT_EQ(manager.GetFocusWidget(), nullptr);
    EXPECT_EQ(manager.GetDownButtons(), 0);
    EXPECT_EQ(child->GetManager(), nullptr);
    EXPECT_EQ(child->GetParent(), parent) << "the subtree stays together";
    EXPECT_EQ(log, (EventLog{"child:MouseLeave", "child:MouseUpAny 5,5", "child:MouseUp 5,5 b0 c1",
                             "child:LostFocus"}));
}

TEST_F(WidgetTree, AddingToATreeGivesTheSubtreeTheManager)
{
    RecordingWidget* parent = Make("parent", Rect(0, 0, 50, 50));
    RecordingWidget* child = Make("child");
    RecordingWidget* grandchild = Make("grandchild");
    parent->AddWidget(child);
    child->AddWidget(grandchild);
    EXPECT_EQ(grandchild->GetManager(), nullptr);
    manager.AddWidget(parent);
    EXPECT_EQ(grandchild->GetManager(), &manager);
    EXPECT_TRUE(parent->dirty);
}

TEST_F(WidgetTree, RemoveAllWidgetsCanDeleteRecursively)
{
    auto* parent = new RecordingWidget("parent", &log);
    auto* child = new RecordingWidget("child", &log);
    parent->AddWidget(child);
    manager.AddWidget(parent);
    manager.RemoveAllWidgets(true, true); // deletes both; ASan reports a leak or double free otherwise
    EXPECT_TRUE(manager.GetChildren().empty());
}

TEST_F(WidgetTree, DeletingAnAttachedWidgetTakesItOutOfTheTree)
{
    auto w = std::make_unique<RecordingWidget>("w", &log, 0, 0, 10, 10);
    manager.AddWidget(w.get());
    manager.MouseMove(5, 5);
    ASSERT_EQ(manager.GetOverWidget(), w.get());
    w.reset();
    EXPECT_TRUE(manager.GetChildren().empty());
    EXPECT_EQ(manager.GetOverWidget(), nullptr);
}

} // namespace
