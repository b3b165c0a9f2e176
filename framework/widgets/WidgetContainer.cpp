// Tree building, ordering, dirty marking and the update, draw and hit-test walks of a widget node.
#include "framework/widgets/WidgetContainer.h"

#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>

namespace Fw {

WidgetContainer::WidgetContainer() : updateCursor_(children_.end()) {}

WidgetContainer::~WidgetContainer()
{
    for (Widget* child : children_)
        child->parent_ = nullptr;
}

Rect WidgetContainer::GetRect() const
{
    return Rect(x, y, width, height);
}

bool WidgetContainer::Intersects(const WidgetContainer& other) const
{
    return x + width > other.x && y + height > other.y && x < other.x + other.width &&
           y < other.y + other.height;
}

WidgetContainer::WidgetList::iterator WidgetContainer::Find(const Widget* w)
{
    return std::find(children_.begin(), children_.end(), w);
}

bool WidgetContainer::HasWidget(const Widget* w) const
{
    return std::find(children_.begin(), children_.end(), w) != children_.end();
}

void WidgetContainer::InsertByZOrder(Widget* w, WidgetList::iterator hint)
{
    const int32_t z = w->zOrder;
    auto pos = hint;
    while (pos != children_.end() && (*pos)->zOrder < z)
        ++pos;
    if (pos != children_.end() && (pos == children_.begin() || (*pos)->zOrder == z)) {
        children_.insert(pos, w);
        return;
    }
    for (;;) {
        if (pos == children_.begin()) {
            children_.push_front(w);
            return;
        }
        --pos;
        if ((*pos)->zOrder <= z)
            break;
    }
    children_.insert(std::next(pos), w);
}

void WidgetContainer::Unlink(WidgetList::iterator pos)
{
    if (pos == updateCursor_) {
        ++updateCursor_;
        updateCursorMoved_ = true;
    }
    children_.erase(pos);
}

void WidgetContainer::AddWidget(Widget* w)
{
    if (w == nullptr || HasWidget(w))
        return;
    // A node cannot hold one of its own ancestors (or itself): the tree would become a cycle.
    for (const WidgetContainer* n = this; n != nullptr; n = n->parent_)
        if (n == w)
            return;
    // A widget lives in one list only; adding it here takes it from its old parent.
    if (w->parent_ != nullptr)
        w->parent_->RemoveWidget(w);

    InsertByZOrder(w, children_.end());
    w->manager_ = manager_;
    w->parent_ = this;
    if (manager_ != nullptr) {
        w->AddedToManager(manager_);
        w->MarkDirtyWithBackground();
        manager_->RefreshMouseOver();
    }
    MarkDirty();
}

void WidgetContainer::DetachFromManager(Widget* w)
{
    WidgetManager* m = w->manager_;
    if (m == nullptr)
        return;
    for (Widget* child : w->children_)
        DetachFromManager(child);
    m->DropWidgetReferences(w);
    for (ModalLayer& layer : m->modalLayers_) {
        if (layer.previousBase == w)
            layer.previousBase = nullptr;
        if (layer.previousFocus == w)
            layer.previousFocus = nullptr;
    }
    w->RemovedFromManager(m);
    w->MarkChildDirtyWithBackground(w); // repaints w's area with what lies under it while still linked
    w->manager_ = nullptr;
}

void WidgetContainer::RemoveWidget(Widget* w)
{
    if (Find(w) == children_.end())
        return;
    DetachFromManager(w);
    // The hooks run while detaching may have taken w out already.
    const auto pos = Find(w);
    if (pos == children_.end())
        return;
    w->parent_ = nullptr;
    Unlink(pos);
}

void WidgetContainer::RemoveAllWidgets(bool deleteWidgets, bool recursive)
{
    while (!children_.empty()) {
        Widget* w = children_.front();
        RemoveWidget(w);
        if (!children_.empty() && children_.front() == w) {
            // A hook put it back; take it out for good so that the loop ends.
            Unlink(children_.begin());
            w->parent_ = nullptr;
        }
        if (recursive)
            w->RemoveAllWidgets(deleteWidgets, recursive);
        if (deleteWidgets)
            delete w;
    }
}

namespace {

// 1: a met first, -1: b met first, 0: neither in the subtree.
int FindFirstOf(const WidgetContainer& node, const Widget* a, const Widget* b)
{
    for (const Widget* child : node.GetChildren()) {
        if (child == a)
            return 1;
        if (child == b)
            return -1;
        if (const int r = FindFirstOf(*child, a, b))
            return r;
    }
    return 0;
}

} // namespace

bool WidgetContainer::IsBelow(const Widget* a, const Widget* b) const
{
    return FindFirstOf(*this, a, b) > 0;
}

void WidgetContainer::MarkAllDirty()
{
    MarkDirty();
    for (Widget* child : children_) {
        child->dirty = true;
        child->MarkAllDirty();
    }
}

void WidgetContainer::Reorder(Widget* w, Place place, const Widget* ref)
{
    const auto pos = Find(w);
    if (pos == children_.end())
        return;
    Unlink(pos);
    WidgetList::iterator hint = children_.end();
    switch (place) {
    case Place::Front:
        break;
    case Place::Back:
        hint = children_.begin();
        break;
    case Place::Behind:
        hint = Find(ref);
        break;
    case Place::InFront:
        hint = Find(ref);
        if (hint != children_.end())
            ++hint;
        break;
    }
    InsertByZOrder(w, hint);
    w->OrderChanged();
}

void WidgetContainer::BringToFront(Widget* w)
{
    Reorder(w, Place::Front, nullptr);
}

void WidgetContainer::BringToBack(Widget* w)
{
    Reorder(w, Place::Back, nullptr);
}

void WidgetContainer::PutBehind(Widget* w, Widget* ref)
{
    Reorder(w, Place::Behind, ref);
}

void WidgetContainer::PutInFront(Widget* w, Widget* ref)
{
    Reorder(w, Place::InFront, ref);
}

Point WidgetContainer::GetAbsolutePosition() const
{
    if (parent_ == nullptr)
        return Point(x, y);
    const Point p = parent_->GetAbsolutePosition();
    return Point(p.x + x, p.y + y);
}

void WidgetContainer::MarkDirty()
{
    if (parent_ != nullptr)
        parent_->MarkChildDirty(this);
    else
        dirty = true;
}

void WidgetContainer::MarkDirtyWithBackground()
{
    if (parent_ != nullptr)
        parent_->MarkChildDirtyWithBackground(this);
    else
        dirty = true;
}

void WidgetContainer::MarkChildDirty(WidgetContainer* child)
{
    if (child->dirty)
        return;
    MarkDirty();
    child->dirty = true;
    if (parent_ != nullptr)
        return;
    if (child->hasAlpha) {
        MarkChildDirtyWithBackground(child);
        return;
    }
    // Widgets drawn later over the dirty one are drawn again too.
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end())
        return;
    for (++it; it != children_.end(); ++it) {
        Widget* s = *it;
        if (s->visible && s->Intersects(*child))
            MarkChildDirty(s);
    }
}

void WidgetContainer::MarkChildDirtyWithBackground(WidgetContainer* child)
{
    MarkDirtyWithBackground();
    child->dirty = true;
    if (parent_ != nullptr)
        return;
    const auto pos = std::find(children_.begin(), children_.end(), child);
    if (pos == children_.end())
        return;
    const Rect r = child->GetRect().Intersection(Rect(0, 0, width, height));

    // Repaint what lies under the child, down to the first opaque sibling that covers it.
    for (auto it = std::make_reverse_iterator(pos); it != children_.rend(); ++it) {
        Widget* s = *it;
        if (!s->visible)
            continue;
        if (!s->hasTransparencies && !s->hasAlpha && s->Contains(r.x, r.y) &&
            s->Contains(r.x + r.width - 1, r.y + r.height - 1)) {
            s->MarkDirty();
            break;
        }
        if (s->Intersects(*child))
            MarkChildDirty(s);
    }
    // And what is drawn over it.
    for (auto it = pos; it != children_.end(); ++it) {
        Widget* s = *it;
        if (s->visible && s->Intersects(*child))
            MarkChildDirty(s);
    }
}

void WidgetContainer::AddedToManager(WidgetManager* m)
{
    for (Widget* child : children_) {
        child->manager_ = m;
        child->AddedToManager(m);
    }
    MarkDirty();
}

void WidgetContainer::RemovedFromManager(WidgetManager* m)
{
    for (Widget* child : children_) {
        // Children are detached before their parent; one already detached has nothing left to drop.
        if (child->manager_ == nullptr)
            continue;
        m->DropWidgetReferences(child);
        child->RemovedFromManager(m);
        child->manager_ = nullptr;
    }
}

void WidgetContainer::Update()
{
    ++updateCount;
}

bool WidgetContainer::IsModalBase(const Widget* w) const
{
    return manager_ != nullptr && manager_->modalBase_ == w;
}

template <class Visit> void WidgetContainer::WalkChildren(ModalFlags* mf, Visit visit)
{
    updateCursor_ = children_.begin();
    while (updateCursor_ != children_.end()) {
        updateCursorMoved_ = false;
        Widget* child = *updateCursor_;
        if (IsModalBase(child))
            mf->isOver = true;
        visit(child);
        // When the child was removed or reordered, the cursor already stands on the next one. A nested
        // walk of this node leaves the cursor at the end, marked as moved.
        if (!updateCursorMoved_)
            ++updateCursor_;
    }
    updateCursorMoved_ = true;
}

namespace {

// Applies a node's modifier to both words of the shared record and restores them on leaving;
// isOver stays as the walk left it.
class ScopedFlagsMod {
public:
    ScopedFlagsMod(ModalFlags* mf, const FlagsMod& mod)
        : mf_(mf), over_(mf->overFlags), under_(mf->underFlags)
    {
        mf->overFlags = mod.Apply(over_);
        mf->underFlags = mod.Apply(under_);
    }
    ~ScopedFlagsMod()
    {
        mf_->overFlags = over_;
        mf_->underFlags = under_;
    }
    ScopedFlagsMod(const ScopedFlagsMod&) = delete;
    ScopedFlagsMod& operator=(const ScopedFlagsMod&) = delete;

private:
    ModalFlags* mf_;
    uint32_t over_;
    uint32_t under_;
};

} // namespace

void WidgetContainer::UpdateAll(ModalFlags* mf)
{
    ScopedFlagsMod scoped(mf, flagsMod);
    const uint32_t f = mf->GetFlags();
    if (f & WidgetFlags::MarkDirty)
        MarkDirty();
    if (manager_ == nullptr)
        return;
    // Once per manager update, even when the walk reaches this node twice.
    if ((f & WidgetFlags::Update) && lastUpdateCount != manager_->updateCount) {
        lastUpdateCount = manager_->updateCount;
        Update();
    }
    WalkChildren(mf, [mf](Widget* child) { child->UpdateAll(mf); });
}

void WidgetContainer::UpdateFAll(ModalFlags* mf, float fraction)
{
    ScopedFlagsMod scoped(mf, flagsMod);
    if (mf->GetFlags() & WidgetFlags::Update)
        UpdateF(fraction);
    WalkChildren(mf, [mf, fraction](Widget* child) { child->UpdateFAll(mf, fraction); });
}

void WidgetContainer::DrawAll(ModalFlags* mf, Graphics* g)
{
    ScopedFlagsMod scoped(mf, flagsMod);
    const uint32_t f = mf->GetFlags();
    if (clip && (f & WidgetFlags::Clip))
        g->ClipRect(0, 0, width, height);
    if (children_.empty()) {
        if (f & WidgetFlags::Draw)
            Draw(g);
        return;
    }
    if (f & WidgetFlags::Draw) {
        g->PushState();
        Draw(g);
        g->PopState();
    }
    for (Widget* child : children_) {
        if (!child->visible)
            continue;
        if (IsModalBase(child))
            mf->isOver = true;
        Graphics childGraphics(*g);
        childGraphics.Translate(child->x, child->y);
        child->DrawAll(mf, &childGraphics);
        child->dirty = false;
    }
}

void WidgetContainer::SystemColorsChangedAll()
{
    SystemColorsChanged();
    for (Widget* child : children_)
        child->SystemColorsChangedAll();
}

Widget* WidgetContainer::FindWidgetAtRecursive(int32_t px, int32_t py, uint32_t flags, bool* found,
                                               Point* local)
{
    flags = flagsMod.Apply(flags);
    bool belowModal = false;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) {
        Widget* ch = *it;
        uint32_t cf = ch->flagsMod.Apply(flags);
        if (belowModal)
            cf = manager_->belowModalMod_.Apply(cf);
        if ((cf & WidgetFlags::AllowMouse) && ch->visible) {
            bool childFound = false;
            if (Widget* hit = ch->FindWidgetAtRecursive(px - ch->x, py - ch->y, cf, &childFound, local)) {
                if (found != nullptr)
                    *found = true;
                return hit;
            }
            const Rect r = ch->GetInsetRect();
            if (ch->mouseVisible && px >= r.x && px < r.x + r.width && py >= r.y && py < r.y + r.height &&
                ch->HitTest(px - ch->x, py - ch->y)) {
                if (found != nullptr)
                    *found = true;
                if (local != nullptr)
                    *local = Point(px - ch->x, py - ch->y);
                return ch;
            }
        }
        if (IsModalBase(ch))
            belowModal = true;
    }
    if (found != nullptr)
        *found = false;
    return nullptr;
}

} // namespace Fw
