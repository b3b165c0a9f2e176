// Input distribution (hover, capture, focus, keys), modal layers, and the per-frame update and dirty
// drawing of the widget tree's root.
#include "framework/widgets/WidgetManager.h"

#include "framework/core/Profiler.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetHost.h"

#include <algorithm>

namespace Fw {

namespace {

constexpr int kKeyTab = 9;
constexpr int kKeyControl = 17;

// Button bit of a click code: 3 middle, negative right, anything else left.
int ButtonBit(int clickCode)
{
    if (clickCode == 3)
        return WidgetManager::kMiddleBit;
    if (clickCode < 0)
        return WidgetManager::kRightBit;
    return WidgetManager::kLeftBit;
}

// The point relative to the widget's top-left corner, from manager coordinates.
Point ToLocal(const Widget* w, int32_t mx, int32_t my)
{
    const Point a = w->GetAbsolutePosition();
    return Point(mx - a.x, my - a.y);
}

} // namespace

WidgetManager::WidgetManager(WidgetHost* app) : app_(app)
{
    manager_ = this;
}

WidgetManager::~WidgetManager()
{
    RemoveAllWidgets(false, false);
}

void WidgetManager::SetScreenRects(const Rect& appRect, const Rect& windowRect)
{
    appRect_ = appRect;
    windowRect_ = windowRect;
    width = appRect.width + 2 * appRect.x;
    height = appRect.height + 2 * appRect.y;
}

void WidgetManager::MapMouseCoords(int32_t& mx, int32_t& my) const
{
    if (windowRect_.width == 0 || windowRect_.height == 0)
        return;
    // 64-bit products: multiply before divide must not overflow for far-off points.
    mx = int32_t(int64_t(mx - windowRect_.x) * appRect_.width / windowRect_.width + appRect_.x);
    my = int32_t(int64_t(my - windowRect_.y) * appRect_.height / windowRect_.height + appRect_.y);
}

uint32_t WidgetManager::GetWidgetFlags() const
{
    return hasFocus_ ? widgetFlags : lostFocusMod.Apply(widgetFlags);
}

void WidgetManager::InitModalFlags(ModalFlags* mf) const
{
    mf->isOver = modalBase_ == nullptr;
    mf->overFlags = GetWidgetFlags();
    mf->underFlags = belowModalMod_.Apply(mf->overFlags);
}

Widget* WidgetManager::GetAnyWidgetAt(int32_t mx, int32_t my, Point* local)
{
    bool found = false;
    return FindWidgetAtRecursive(mx, my, GetWidgetFlags(), &found, local);
}

Widget* WidgetManager::GetWidgetAt(int32_t mx, int32_t my, Point* local)
{
    Widget* w = GetAnyWidgetAt(mx, my, local);
    return w != nullptr && w->disabled ? nullptr : w;
}

// ---- mouse ---------------------------------------------------------------------------------------

bool WidgetManager::MouseMove(int32_t mx, int32_t my)
{
    lastInputUpdate_ = updateCount;
    if (downButtons_ == 0) {
        mouseInWindow_ = true;
        TrackMouse(mx, my);
    } else {
        MouseDrag(mx, my);
    }
    return true;
}

bool WidgetManager::MouseDrag(int32_t mx, int32_t my)
{
    lastInputUpdate_ = updateCount;
    mouseInWindow_ = true;
    lastMouseX_ = mx;
    lastMouseY_ = my;
    if (overWidget_ != nullptr && overWidget_ != downWidget_)
        ClearOver();
    if (downWidget_ != nullptr) {
        const Point local = ToLocal(downWidget_, mx, my);
        downWidget_->MouseDrag(local.x, local.y);
    }
    // The drag hook may have dropped the capture.
    if (downWidget_ != nullptr) {
        if (GetWidgetAt(mx, my, nullptr) == downWidget_) {
            if (overWidget_ != downWidget_) {
                overWidget_ = downWidget_;
                EnterWidget(downWidget_);
            }
        } else if (overWidget_ != nullptr) {
            ClearOver();
        }
    }
    return true;
}

bool WidgetManager::MouseDown(int32_t mx, int32_t my, int clickCode)
{
    lastInputUpdate_ = updateCount;
    const int bit = ButtonBit(clickCode);
    allDownButtons_ |= bit;
    TrackMouseUnlessCaptured(mx, my);

    Widget* target = nullptr;
    Point local;
    if (downWidget_ != nullptr && downButtons_ != 0) {
        // The widget holding a button takes every further press, in its own coordinates.
        target = downWidget_;
        local = ToLocal(target, mx, my);
    } else {
        target = GetWidgetAt(mx, my, &local);
    }
    lastButtonId_ = clickCode == 3 ? 2 : clickCode < 0 ? -1 : 1;
    if (target == nullptr)
        return true; // a press on no widget only counts in allDownButtons
    downButtons_ |= bit;
    downWidget_ = target;
    if (target->WantsFocus())
        SetFocus(target);
    if (downWidget_ != target) // the focus change took the widget out of the tree
        return true;
    target->isDown = true;
    target->MouseDownByClickCode(local.x, local.y, clickCode);
    return true;
}

bool WidgetManager::MouseUp(int32_t mx, int32_t my, int clickCode)
{
    lastInputUpdate_ = updateCount;
    const int bit = ButtonBit(clickCode);
    allDownButtons_ &= ~bit;
    if (downWidget_ != nullptr && (downButtons_ & bit)) {
        downButtons_ &= ~bit;
        Widget* w = downWidget_;
        if (downButtons_ == 0)
            downWidget_ = nullptr;
        w->isDown = false;
        const Point local = ToLocal(w, mx, my);
        w->MouseUpByClickCode(local.x, local.y, clickCode);
    } else {
        downButtons_ &= ~bit;
    }
    TrackMouseUnlessCaptured(mx, my);
    return true;
}

bool WidgetManager::MouseExit(int32_t /*mx*/, int32_t /*my*/)
{
    lastInputUpdate_ = updateCount;
    mouseInWindow_ = false;
    if (overWidget_ != nullptr)
        ClearOver();
    return true;
}

bool WidgetManager::MouseWheel(int delta)
{
    lastInputUpdate_ = updateCount;
    if (focusWidget_ != nullptr)
        focusWidget_->MouseWheel(delta);
    return true;
}

// ---- keyboard ------------------------------------------------------------------------------------

bool WidgetManager::IsKeyDown(int keyCode) const
{
    return keyCode >= 0 && keyCode < kKeyCount && keysDown[size_t(keyCode)];
}

bool WidgetManager::KeyDown(int keyCode)
{
    lastInputUpdate_ = updateCount;
    if (keyCode >= 0 && keyCode < kKeyCount)
        keysDown[size_t(keyCode)] = true;
    if (focusWidget_ != nullptr)
        focusWidget_->KeyDown(keyCode);
    return true;
}

bool WidgetManager::KeyUp(int keyCode)
{
    lastInputUpdate_ = updateCount;
    if (keyCode >= 0 && keyCode < kKeyCount)
        keysDown[size_t(keyCode)] = false;
    if (keyCode == kKeyTab && IsKeyDown(kKeyControl))
        return true;
    if (focusWidget_ != nullptr)
        focusWidget_->KeyUp(keyCode);
    return true;
}

bool WidgetManager::KeyChar(wchar_t c)
{
    lastInputUpdate_ = updateCount;
    if (c == wchar_t(kKeyTab) && IsKeyDown(kKeyControl))
        return true;
    if (focusWidget_ != nullptr)
        focusWidget_->KeyChar(c);
    return true;
}

// ---- focus ---------------------------------------------------------------------------------------

void WidgetManager::SetFocus(Widget* w)
{
    if (w == focusWidget_)
        return;
    Widget* old = focusWidget_;
    focusWidget_ = nullptr;
    if (old != nullptr)
        old->LostFocus();
    if (w != nullptr && w->GetManager() == this) {
        focusWidget_ = w;
        if (hasFocus_)
            w->GotFocus();
    }
}

void WidgetManager::GotFocus()
{
    if (hasFocus_)
        return;
    hasFocus_ = true;
    if (focusWidget_ != nullptr)
        focusWidget_->GotFocus();
}

void WidgetManager::LostFocus()
{
    if (!hasFocus_)
        return;
    allDownButtons_ = 0;
    for (int key = 0; key < kKeyCount; ++key)
        if (keysDown[size_t(key)])
            KeyUp(key);
    hasFocus_ = false;
    if (focusWidget_ != nullptr)
        focusWidget_->LostFocus();
}

void WidgetManager::ReleaseDownWidget()
{
    if (downWidget_ != nullptr && downButtons_ != 0)
        DropDownWidget();
}

// ---- hover and capture ---------------------------------------------------------------------------

void WidgetManager::EnterWidget(Widget* w)
{
    w->isOver = true;
    w->MouseEnter();
    if (w->handCursor)
        w->ShowHandCursor(true);
}

void WidgetManager::LeaveWidget(Widget* w)
{
    w->isOver = false;
    w->MouseLeave();
    if (w->handCursor)
        w->ShowHandCursor(false);
}

void WidgetManager::ClearOver()
{
    Widget* w = overWidget_;
    overWidget_ = nullptr;
    LeaveWidget(w);
}

void WidgetManager::DropDownWidget()
{
    Widget* w = downWidget_;
    const int buttons = downButtons_;
    downWidget_ = nullptr;
    downButtons_ = 0;
    ReleaseMouseButtons(w, buttons);
}

void WidgetManager::TrackMouse(int32_t mx, int32_t my)
{
    const bool moved = mx != lastMouseX_ || my != lastMouseY_;
    lastMouseX_ = mx;
    lastMouseY_ = my;
    Point local;
    Widget* w = GetWidgetAt(mx, my, &local);
    if (w == overWidget_) {
        if (w != nullptr && moved)
            w->MouseMove(local.x, local.y);
        return;
    }
    if (overWidget_ != nullptr)
        ClearOver();
    overWidget_ = w;
    if (w != nullptr) {
        EnterWidget(w);
        w->MouseMove(local.x, local.y);
    }
}

void WidgetManager::TrackMouseUnlessCaptured(int32_t mx, int32_t my)
{
    // While a widget holds buttons only it may be "over", and MouseDrag keeps that; tracking here
    // would hover whatever other widget lies under the mouse.
    if (downWidget_ != nullptr) {
        lastMouseX_ = mx;
        lastMouseY_ = my;
        return;
    }
    TrackMouse(mx, my);
}

void WidgetManager::RefreshMouseOver()
{
    if (downWidget_ == nullptr) {
        if (mouseInWindow_)
            TrackMouse(lastMouseX_, lastMouseY_);
    } else if (overWidget_ != nullptr && GetWidgetAt(lastMouseX_, lastMouseY_, nullptr) != downWidget_) {
        ClearOver();
    }
}

void WidgetManager::ReleaseMouseButtons(Widget* w, int buttons)
{
    static constexpr struct {
        int bit;
        int clickCode;
    } kReleases[] = {{kLeftBit, 1}, {kRightBit, -1}, {kMiddleBit, 3}};
    for (const auto& r : kReleases) {
        if (!(buttons & r.bit))
            continue;
        w->isDown = false;
        const Point local = ToLocal(w, lastMouseX_, lastMouseY_);
        w->MouseUpByClickCode(local.x, local.y, r.clickCode);
    }
}

void WidgetManager::DropWidgetReferences(Widget* w)
{
    if (w == nullptr)
        return;
    if (w == overWidget_)
        ClearOver();
    if (w == downWidget_)
        DropDownWidget();
    if (w == focusWidget_) {
        focusWidget_ = nullptr;
        w->LostFocus();
    }
    if (w == modalBase_)
        modalBase_ = nullptr;
}

// ---- modal layers --------------------------------------------------------------------------------

void WidgetManager::SetModalBase(Widget* w, const FlagsMod& mod)
{
    modalBase_ = w;
    belowModalMod_ = mod;
    if (w == nullptr) // no base: nothing lies below one
        return;
    if (mod.removeFlags & WidgetFlags::AllowMouse) {
        if (overWidget_ != nullptr && IsBelow(overWidget_, w))
            ClearOver();
        if (downWidget_ != nullptr && IsBelow(downWidget_, w))
            DropDownWidget();
    }
    if ((mod.removeFlags & WidgetFlags::AllowFocus) && focusWidget_ != nullptr && IsBelow(focusWidget_, w)) {
        Widget* old = focusWidget_;
        focusWidget_ = nullptr;
        old->LostFocus();
    }
}

void WidgetManager::PushModalLayer(Widget* w)
{
    PushModalLayerWithFlags(w, defaultModalMod);
}

void WidgetManager::PushModalLayerWithFlags(Widget* w, const FlagsMod& mod)
{
    modalLayers_.push_back({w, modalBase_, focusWidget_, belowModalMod_});
    SetModalBase(w, mod);
}

void WidgetManager::PopModalLayer(Widget* w)
{
    if (modalLayers_.empty() || modalLayers_.back().widget != w)
        return;
    for (;;) {
        const ModalLayer layer = modalLayers_.back();
        const size_t layersBefore = modalLayers_.size();
        SetModalBase(layer.previousBase, layer.previousUnderMod);
        if (focusWidget_ == nullptr && layer.previousFocus != nullptr) {
            focusWidget_ = layer.previousFocus;
            if (hasFocus_)
                focusWidget_->GotFocus();
        }
        if (!modalLayers_.empty())
            modalLayers_.pop_back();
        // A null saved base means the widget that was the base has left the tree: its own layer goes too.
        if (layer.previousBase != nullptr || layersBefore <= 1 || modalLayers_.empty())
            break;
    }
}

// ---- frame work ----------------------------------------------------------------------------------

bool WidgetManager::UpdateFrame()
{
    ProfileScope section("WidgetManager::UpdateFrame");
    ModalFlags mf;
    InitModalFlags(&mf);
    ++updateCount;
    lastUpdateCount = updateCount; // the manager's own Update does not run
    UpdateAll(&mf);
    return dirty;
}

bool WidgetManager::UpdateFrameF(float fraction)
{
    ProfileScope section("WidgetManager::UpdateFrame");
    ModalFlags mf;
    InitModalFlags(&mf);
    UpdateFAll(&mf, fraction);
    return dirty;
}

bool WidgetManager::DrawScreen()
{
    ProfileScope section("WidgetManager::DrawScreen");
    ModalFlags mf;
    InitModalFlags(&mf);
    const bool anyDirty =
        std::any_of(GetChildren().begin(), GetChildren().end(), [](const Widget* w) { return w->dirty; });
    if (!anyDirty)
        return false;

    // TODO(issue 4): lock the surface for the pass when the screen image is a surface image (they do not
    // exist yet), so that the drawing calls below nest inside one lock.
    Graphics screen(image);
    Graphics translated(screen);
    translated.Translate(-appRect_.x, -appRect_.y);
    const bool is3D = app_ != nullptr && app_->Is3DAccelerated();
    bool drew = false;
    for (Widget* child : GetChildren()) {
        if (child == modalBase_)
            mf.isOver = true;
        if (!child->dirty || !child->visible)
            continue;
        Graphics g(translated);
        g.SetFastStretch(!is3D);
        g.SetLinearBlend(is3D);
        g.Translate(child->x, child->y);
        child->DrawAll(&mf, &g);
        drew = true;
        child->dirty = false;
    }
    if (app_ != nullptr)
        app_->DrawOverlay(&translated);
    return drew;
}

} // namespace Fw
