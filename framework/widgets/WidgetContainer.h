// Node of the widget tree: an ordered list of child widgets (ascending zOrder, drawn in list order),
// a rectangle in the parent's coordinates, the dirty flag and a flag modifier, and the tree walks
// (update, draw, hit test, dirty marking). A container never owns its children; whoever creates a
// widget removes and deletes it. Main thread only.
#pragma once
#include "framework/core/Point.h"
#include "framework/graphics/Rect.h"
#include "framework/widgets/WidgetFlags.h"

#include <cstdint>
#include <list>

namespace Fw {

class Graphics;
class Widget;
class WidgetManager;

class WidgetContainer {
public:
    using WidgetList = std::list<Widget*>;

    WidgetContainer();
    // Frees the child list only; children left in it are detached (their parent cleared), not deleted.
    virtual ~WidgetContainer();
    WidgetContainer(const WidgetContainer&) = delete;
    WidgetContainer& operator=(const WidgetContainer&) = delete;

    virtual Rect GetRect() const;
    // Overlap with positive area; touching edges do not intersect. Both rectangles in their own
    // parents' coordinates.
    virtual bool Intersects(const WidgetContainer& other) const;

    // Inserts w after every child of equal zOrder; nothing when w is already a direct child. A widget
    // still attached elsewhere is taken from its old parent first.
    virtual void AddWidget(Widget* w);
    // Takes w out of the tree (clearing every reference the manager holds to it or its subtree);
    // nothing when w is not a direct child. Does not delete it.
    virtual void RemoveWidget(Widget* w);
    virtual bool HasWidget(const Widget* w) const;
    virtual void DropWidgetReferences(Widget* /*w*/) {}
    // Removes every child, then optionally empties each removed child the same way and deletes it.
    virtual void RemoveAllWidgets(bool deleteWidgets, bool recursive);
    virtual void SetFocus(Widget* /*w*/) {}
    // Whether a is met before b in a depth-first walk of this subtree ("below" = drawn earlier).
    virtual bool IsBelow(const Widget* a, const Widget* b) const;
    virtual void MarkAllDirty();

    // Reordering within this node: re-inserts w by zOrder (front: after its equals; back: before them;
    // behind/in front of ref: at ref's position). Nothing when w is not a direct child; marks nothing.
    virtual void BringToFront(Widget* w);
    virtual void BringToBack(Widget* w);
    virtual void PutBehind(Widget* w, Widget* ref);
    virtual void PutInFront(Widget* w, Widget* ref);

    virtual Point GetAbsolutePosition() const;

    // Dirty marking. Every mark climbs to the manager; the manager then spreads it to the top-level
    // widgets drawn over (and, with background, under) the dirty one.
    virtual void MarkChildDirty(WidgetContainer* child);
    virtual void MarkDirty();
    virtual void MarkChildDirtyWithBackground(WidgetContainer* child);
    virtual void MarkDirtyWithBackground();

    virtual void AddedToManager(WidgetManager* m);
    virtual void RemovedFromManager(WidgetManager* m);

    virtual void Update();
    virtual void UpdateAll(ModalFlags* mf);
    virtual void UpdateF(float /*fraction*/) {}
    virtual void UpdateFAll(ModalFlags* mf, float fraction);
    // g is translated so that 0,0 is this node's top-left corner. Drawing must not change the tree.
    virtual void Draw(Graphics* /*g*/) {}
    virtual void DrawAll(ModalFlags* mf, Graphics* g);
    virtual void SystemColorsChangedAll();
    virtual void SystemColorsChanged() {}

    // Topmost widget under (px, py) (this node's coordinates) that the flags let the mouse reach,
    // children before their parent; null when none. local receives the point relative to it.
    Widget* FindWidgetAtRecursive(int32_t px, int32_t py, uint32_t flags, bool* found, Point* local);

    WidgetManager* GetManager() const { return manager_; }
    WidgetContainer* GetParent() const { return parent_; }
    const WidgetList& GetChildren() const { return children_; }

    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool dirty = false;
    bool hasAlpha = false; // the node does not cover its rectangle opaquely
    bool clip = true;
    FlagsMod flagsMod;
    int32_t zOrder = 0;
    int32_t lastUpdateCount = 0; // the manager's update count when Update last ran
    int32_t updateCount = 0;     // how many times Update ran (the manager: its update count)

private:
    friend class WidgetManager;

    enum class Place { Front, Back, Behind, InFront };

    WidgetList::iterator Find(const Widget* w);
    // Keeps the list ascending by zOrder: from the hint forward past smaller zOrders, then back past
    // larger ones; the hint thus decides where among equals w lands.
    void InsertByZOrder(Widget* w, WidgetList::iterator hint);
    // Unlinks the entry, moving the update walk's cursor on first when it stands there.
    void Unlink(WidgetList::iterator pos);
    void Reorder(Widget* w, Place place, const Widget* ref);
    // Clears every reference the manager holds to w's subtree, children first, then w's manager.
    static void DetachFromManager(Widget* w);
    // Visits the children through the update cursor, so a child may be removed or reordered meanwhile.
    template <class Visit> void WalkChildren(ModalFlags* mf, Visit visit);
    bool IsModalBase(const Widget* w) const;

    WidgetList children_;
    WidgetManager* manager_ = nullptr;
    WidgetContainer* parent_ = nullptr;
    WidgetList::iterator updateCursor_;
    bool updateCursorMoved_ = false;
};

} // namespace Fw
