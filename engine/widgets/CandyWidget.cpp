// The engine widget base: transform and bounds caches, visibility passes that hold images only while
// visible, named children, the effect's hooks in update, draw, show and hide, and mouse forwarding to
// the game board.
#include "engine/widgets/CandyWidget.h"

#include "engine/widgets/BoardMouseTarget.h"
#include "engine/core/Texture.h"
#include "engine/core/XmlAttributes.h"
#include "engine/effects/EffectParticles.h"
#include "engine/effects/EffectValueIds.h"
#include "engine/effects/ParticleSystemRegistry.h"
#include "framework/app/AppBase.h"
#include "framework/core/SaturatingTrunc.h"
#include "framework/core/Transform2D.h"
#include "framework/graphics/Graphics.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The registry effects register their systems in (the engine's), whose systems advance with their
// effect; null when none.
VTParticleSystemRegistry* ParticleRegistry() { return GetEffectParticleRegistry(); }

float FrameSeconds() { return Fw::gApplication ? static_cast<float>(Fw::gApplication->frameTime / 1000.0) : 0.0f; }

enum MouseKind { kMouseDown, kMouseUp, kMouseMove };

} // namespace

Fw::Rect VTCandyWidget::ApplicationArea()
{
    if (!Fw::gApplication)
        return Fw::Rect();
    return Fw::Rect(0, 0, Fw::gApplication->width, Fw::gApplication->height);
}

VTCandyWidget::VTCandyWidget(VTCandyWidget* engineParent) : engineParent_(engineParent) { visible = false; }

VTCandyWidget::~VTCandyWidget()
{
    if (engineParent_)
        engineParent_->ForgetChild(this);
    effect_.reset();
    textures_.clear();
    childrenByName_.clear();
    for (const VTChildEffectRef& record : childRecords_)
        record.child->engineParent_ = nullptr;
    childRecords_.clear();
    for (Fw::Widget* child : GetChildren())
        if (auto* candy = dynamic_cast<VTCandyWidget*>(child); candy && candy->engineParent_ == this)
            candy->engineParent_ = nullptr;
    RemoveAllWidgets(true, false);
}

// ---- XML ----

bool VTCandyWidget::LoadCommonFromXml(const Platform::XmlNode& element)
{
    int32_t nx = 0, ny = 0, nw = 0, nh = 0;
    XmlGetAttributeInt(element, "x", nx);
    XmlGetAttributeInt(element, "y", ny);
    XmlGetAttributeInt(element, "width", nw);
    XmlGetAttributeInt(element, "height", nh);
    bool v = false;
    if (XmlGetAttributeBool(element, "visible", v))
        SetVisible(v);
    Resize(nx, ny, nw, nh);

    bool flag = true;
    XmlGetAttributeBool(element, "has_alpha", flag);
    hasAlpha = flag;
    flag = true;
    XmlGetAttributeBool(element, "mousevisible", flag);
    mouseVisible = flag;

    std::string effectName;
    if (XmlGetAttributeString(element, "effect", effectName, 128) && !effectName.empty()) {
        if (std::unique_ptr<VTWidgetEffect> effect = CreateWidgetEffect(effectName))
            SetEffect(std::move(effect));
    }

    int32_t point = 0;
    if (XmlGetAttributeInt(element, "scalepointx", point))
        SetScalePointX(point);
    const bool haveY = XmlGetAttributeInt(element, "scalepointy", point);
    if (haveY)
        SetScalePointY(point);
    return haveY;
}

void VTCandyWidget::SetEffect(std::unique_ptr<VTWidgetEffect> effect)
{
    effect_ = std::move(effect);
    if (!effect_)
        return;
    effect_->SetValue(VTEffectValueId::Offset, &offset);
    effect_->SetValue(VTEffectValueId::ScalePoint, &scalePoint);
    effect_->SetValue(VTEffectValueId::Widget, static_cast<Fw::Widget*>(this));
    effect_->SetValue(VTEffectValueId::ChildRecords, &childRecords_);
    effect_->SetTarget(this);
}

// ---- show, hide, visibility ----

void VTCandyWidget::Show()
{
    if (showing_)
        return;
    OnShow();
    if (effect_ && effect_->FireEvent("onshow")) {
        showing_ = true;
        hiding_ = false;
        return;
    }
    SetVisible(true);
}

void VTCandyWidget::Hide()
{
    if (hiding_)
        return;
    OnHide();
    if (effect_ && effect_->FireEvent("onhide")) {
        hiding_ = true;
        showing_ = false;
        return;
    }
    SetVisible(false);
}

void VTCandyWidget::SetVisible(bool v)
{
    if (v == visible)
        return;
    hiding_ = false;
    showing_ = false;
    if (v) {
        Fw::Widget::SetVisible(true);
        BecameVisiblePass();
    } else {
        BecameHiddenPass();
        Fw::Widget::SetVisible(false);
    }
}

bool VTCandyWidget::IsVisibleWithAncestors() const
{
    for (const VTCandyWidget* w = this; w; w = w->engineParent_)
        if (!w->visible)
            return false;
    return true;
}

void VTCandyWidget::BecameVisiblePass()
{
    if (!IsVisibleWithAncestors())
        return;
    OnBecameVisible();
    for (auto& [name, child] : childrenByName_)
        if (child->visible)
            child->BecameVisiblePass();
}

void VTCandyWidget::BecameHiddenPass()
{
    if (!IsVisibleWithAncestors())
        return;
    OnBecameHidden();
    for (auto& [name, child] : childrenByName_)
        if (child->visible)
            child->BecameHiddenPass();
}

void VTCandyWidget::OnBecameVisible()
{
    for (auto& [id, texture] : textures_)
        texture->LoadFrames();
}

void VTCandyWidget::OnBecameHidden()
{
    for (auto& [id, texture] : textures_)
        texture->UnloadFrames();
}

// ---- children ----

void VTCandyWidget::AddChild(const std::string& name, VTCandyWidget* child)
{
    if (!child)
        return;
    childRecords_.push_back({&child->offset, &child->scalePoint, child});
    child->InvalidateTransform();
    // A child moved here from another engine parent leaves that parent's names and records.
    if (child->engineParent_ && child->engineParent_ != this)
        child->engineParent_->ForgetChild(child);
    child->engineParent_ = this;
    AddWidget(child);
    childrenByName_.emplace(name, child);
}

void VTCandyWidget::RemoveChild(const std::string& name)
{
    auto it = childrenByName_.find(name);
    if (it == childrenByName_.end())
        return;
    VTCandyWidget* child = it->second;
    child->engineParent_ = nullptr;
    RemoveWidget(child);
    childrenByName_.erase(it);
    // Effects walk the records: none may reach a child that its new owner is free to delete.
    std::erase_if(childRecords_, [child](const VTChildEffectRef& r) { return r.child == child; });
}

void VTCandyWidget::ForgetChild(const VTCandyWidget* child)
{
    std::erase_if(childrenByName_, [child](const auto& entry) { return entry.second == child; });
    std::erase_if(childRecords_, [child](const VTChildEffectRef& r) { return r.child == child; });
}

VTCandyWidget* VTCandyWidget::FindChild(const std::string& name) const
{
    auto it = childrenByName_.find(name);
    return it == childrenByName_.end() ? nullptr : it->second;
}

// ---- transform and bounds ----

void VTCandyWidget::InvalidateTransform()
{
    transformDirty_ = true;
    boundsDirty_ = true;
    for (auto& [name, child] : childrenByName_)
        child->InvalidateTransform();
}

const Fw::Matrix3& VTCandyWidget::GetTransform()
{
    if (!transformDirty_)
        return transform_;
    Fw::Transform2D t;
    t.Translate(static_cast<float>(Fw::SaturatingTrunc(offset.x + exactX - scalePoint.x)),
                static_cast<float>(Fw::SaturatingTrunc(offset.y + exactY - scalePoint.y)));
    t.RotateDeg(angle);
    t.Scale(scale, scale);
    t.Translate(static_cast<float>(scalePoint.x), static_cast<float>(scalePoint.y));
    transform_ = t.GetMatrix();
    if (engineParent_)
        transform_ = engineParent_->GetTransform().Multiply(transform_);
    transformDirty_ = false;
    return transform_;
}

Fw::Rect VTCandyWidget::GetBoundsForMatrix(const Fw::Matrix3& m)
{
    const Fw::FloatPoint corners[4] = {
        {0.0f, 0.0f}, {static_cast<float>(width), 0.0f}, {0.0f, static_cast<float>(height)},
        {static_cast<float>(width), static_cast<float>(height)}};
    float minX = std::numeric_limits<float>::max(), minY = minX;
    float maxX = std::numeric_limits<float>::lowest(), maxY = maxX;
    for (const Fw::FloatPoint& c : corners) {
        const Fw::FloatPoint p = m.TransformPoint(c);
        minX = std::min(minX, p.x);
        minY = std::min(minY, p.y);
        maxX = std::max(maxX, p.x);
        maxY = std::max(maxY, p.y);
    }
    Fw::Rect r(Fw::SaturatingTrunc(minX), Fw::SaturatingTrunc(minY), Fw::SaturatingTrunc(maxX - minX),
               Fw::SaturatingTrunc(maxY - minY));
    if (engineParent_)
        r = r.Intersection(engineParent_->GetScreenBounds());
    return r;
}

const Fw::Rect& VTCandyWidget::GetScreenBounds()
{
    if (!boundsDirty_)
        return screenBounds_;
    if (width == 0 || height == 0) {
        screenBounds_ = ApplicationArea();
        if (engineParent_)
            screenBounds_ = screenBounds_.Intersection(engineParent_->GetScreenBounds());
    } else {
        screenBounds_ = GetBoundsForMatrix(GetTransform());
    }
    boundsDirty_ = false;
    return screenBounds_;
}

Fw::Rect VTCandyWidget::GetClipRect(bool full)
{
    const Fw::Rect area = ApplicationArea();
    return full ? area : area.Intersection(GetScreenBounds());
}

// ---- textures ----

void VTCandyWidget::AddTexture(int32_t id, std::unique_ptr<VTTexture> texture)
{
    if (!texture)
        return;
    if (IsVisibleWithAncestors())
        texture->LoadFrames();
    textures_.emplace(id, std::move(texture));
}

VTTexture* VTCandyWidget::GetTexture(int32_t id, int32_t index) const
{
    if (index < 0)
        return nullptr;
    auto [first, last] = textures_.equal_range(id);
    for (auto it = first; it != last; ++it, --index)
        if (index == 0)
            return it->second.get();
    return nullptr;
}

// ---- update and draw ----

void VTCandyWidget::Update()
{
    const float seconds = FrameSeconds();
    if (effect_) {
        effect_->Update(seconds);
        InvalidateTransform();
    }
    Fw::Widget::Update();
    if (transformDirty_ || boundsDirty_) {
        const Fw::Matrix3& m = GetTransform();
        GetScreenBounds();
        const Fw::Rect area = ApplicationArea();
        for (auto& [id, texture] : textures_) {
            texture->SetMatrix(m);
            texture->SetClipRect(area);
        }
    }
    for (auto& [id, texture] : textures_)
        texture->Update(seconds);
    if (effect_) {
        if (VTParticleSystemRegistry* registry = ParticleRegistry())
            registry->UpdateByOwner(effect_.get(), seconds);
    }
    MarkDirty();
}

void VTCandyWidget::Draw(Fw::Graphics* g)
{
    Fw::Widget::Draw(g);
    if (!g)
        return;
    for (auto& [id, texture] : textures_)
        texture->DrawTransformed(*g);
    if (effect_) {
        effect_->SetValue(VTEffectValueId::Graphics, g);
        effect_->FireEvent("render_ps");
    }
}

void VTCandyWidget::GetColorScale(float* r, float* g, float* b)
{
    if (r)
        *r = 1.0f;
    if (g)
        *g = 1.0f;
    if (b)
        *b = 1.0f;
}

// ---- geometry ----

void VTCandyWidget::Resize(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight)
{
    InvalidateTransform();
    exactX = newX;
    exactY = newY;
    exactWidth = newWidth;
    exactHeight = newHeight;
    Fw::Widget::Resize(newX, newY, newWidth, newHeight);
}

void VTCandyWidget::Move(int32_t newX, int32_t newY)
{
    InvalidateTransform();
    exactX = newX;
    exactY = newY;
    Fw::Widget::Resize(newX, newY, Fw::SaturatingTrunc(exactWidth), Fw::SaturatingTrunc(exactHeight));
}

// ---- VTIEffect ----

void VTCandyWidget::SetScale(float s)
{
    scale = s;
    InvalidateTransform();
}

void VTCandyWidget::SetScalePointX(int32_t x)
{
    scalePoint.x = x;
    InvalidateTransform();
}

void VTCandyWidget::SetScalePointY(int32_t y)
{
    scalePoint.y = y;
    InvalidateTransform();
}

void VTCandyWidget::SetOffsetX(int32_t x)
{
    offset.x = x;
    InvalidateTransform();
}

void VTCandyWidget::SetOffsetY(int32_t y)
{
    offset.y = y;
    InvalidateTransform();
}

VTEffectWidgetGeometry VTCandyWidget::EffectGeometry() const
{
    VTEffectWidgetGeometry g;
    g.x = exactX;
    g.y = exactY;
    g.width = exactWidth;
    g.height = exactHeight;
    g.intWidth = width;
    g.intHeight = height;
    return g;
}

// ---- mouse ----

void VTCandyWidget::HandMouseToBoard(int kind, int button, int clickCount)
{
    for (Fw::WidgetContainer* node = this; node; node = node->GetParent()) {
        auto* board = dynamic_cast<VTBoardMouseTarget*>(node);
        if (!board)
            continue;
        switch (kind) {
        case kMouseDown: board->TakeMouseDown(button, clickCount); break;
        case kMouseUp: board->TakeMouseUp(button); break;
        default: board->TakeMouseMove(); break;
        }
        return;
    }
}

void VTCandyWidget::MouseEnter() { hover = true; }

void VTCandyWidget::MouseLeave() { hover = false; }

void VTCandyWidget::MouseMove(int32_t /*mx*/, int32_t /*my*/) { HandMouseToBoard(kMouseMove, 0, 0); }

void VTCandyWidget::MouseDown(int32_t mx, int32_t my, int button, int clickCount)
{
    Fw::Widget::MouseDown(mx, my, button, clickCount);
    HandMouseToBoard(kMouseDown, button, clickCount);
}

void VTCandyWidget::MouseUp(int32_t mx, int32_t my, int button, int clickCount)
{
    Fw::Widget::MouseUp(mx, my, button, clickCount);
    HandMouseToBoard(kMouseUp, button, 0);
}

void VTCandyWidget::MouseDrag(int32_t mx, int32_t my)
{
    Fw::Widget::MouseDrag(mx, my);
    HandMouseToBoard(kMouseMove, 0, 0);
}
