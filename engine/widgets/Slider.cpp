// Sliders: skin loading, the value of a press, the thumb's placement and drawing the bar.
#include "engine/widgets/Slider.h"

#include "engine/core/XmlAttributes.h"
#include "engine/widgets/Bar.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/Text.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/Image.h"

#include <algorithm>
#include <cmath>

VTSlider::VTSlider(VTCandyWidget* engineParent) : VTCandyWidget(engineParent) {}

VTSlider::~VTSlider() = default;

std::unique_ptr<VTCandyWidget> VTSlider::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                           const Platform::XmlNode& element)
{
    auto slider = std::make_unique<VTSlider>(&dialog);
    slider->LoadFromXml(element, app);
    return slider;
}

void VTSlider::LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner)
{
    LoadCommonFromXml(element);
    XmlGetAttributeInt(element, "mz_x", zoneX);
    XmlGetAttributeInt(element, "mz_y", zoneY);
    XmlGetAttributeInt(element, "mz_width", zoneWidth);
    XmlGetAttributeInt(element, "mz_height", zoneHeight);
    XmlGetAttributeInt(element, "mz_dz1", lowDeadZone);
    XmlGetAttributeInt(element, "mz_dz2", highDeadZone);
    if (const Platform::XmlNode child = element.SelectSingleNode("element[@name=\"back\"]")) {
        auto back = std::make_unique<VTText>(this, owner);
        back->LoadFromXml(child, owner);
        AddChild("back", back.release());
    }
    if (const Platform::XmlNode child = element.SelectSingleNode("element[@name=\"bar\"]")) {
        auto bar = std::make_unique<VTBar>(this);
        bar->LoadFromXml(child, owner);
        AddChild("bar", bar.release());
    }
    if (const Platform::XmlNode child = element.SelectSingleNode("element[@name=\"thumb\"]")) {
        auto thumb = std::make_unique<VTText>(this, owner);
        thumb->LoadFromXml(child, owner);
        thumbMargin = thumb->x;
        AddChild("thumb", thumb.release());
    }
}

void VTSlider::AddChild(const std::string& name, VTCandyWidget* child)
{
    VTCandyWidget::AddChild(name, child);
    if (!child || FindChild(name) != child)
        return;
    child->mouseVisible = false; // presses land on the slider
    if (name == "back")
        back_ = child;
    else if (name == "bar")
        bar_ = dynamic_cast<VTBar*>(child);
    else if (name == "thumb")
        thumb_ = child;
}

void VTSlider::RemoveChild(const std::string& name)
{
    if (VTCandyWidget* child = FindChild(name)) {
        if (child == back_)
            back_ = nullptr;
        if (child == bar_)
            bar_ = nullptr;
        if (child == thumb_)
            thumb_ = nullptr;
    }
    VTCandyWidget::RemoveChild(name);
}

void VTSlider::SetMaximum(int32_t maximum)
{
    maximum_ = maximum;
    if (bar_)
        bar_->SetMaximum(maximum);
}

void VTSlider::SetValue(int32_t value)
{
    value_ = value;
    if (bar_)
        bar_->SetValue(value);
}

void VTSlider::SetValueAtPoint(int32_t px, int32_t py)
{
    if (py < zoneY || py > zoneY + zoneHeight || px < zoneX || px > zoneX + zoneWidth)
        return;
    if (zoneWidth <= 0)
        return; // no zone to take a fraction of
    if (px > width - highDeadZone)
        SetValue(maximum_);
    else if (px < lowDeadZone)
        SetValue(0);
    else
        SetValue(static_cast<int32_t>(std::trunc(static_cast<double>(px - zoneX) / zoneWidth * maximum_)));
}

void VTSlider::MouseDown(int32_t mx, int32_t my, int button, int clickCount)
{
    VTCandyWidget::MouseDown(mx, my, button, clickCount);
    MarkDirty();
    SetValueAtPoint(mx, my);
}

void VTSlider::Update()
{
    VTCandyWidget::Update();
    if (!IsVisibleWithAncestors())
        return;
    value_ = std::clamp(value_, 0, std::max(0, maximum_));
    if (!thumb_ || maximum_ == 0)
        return;
    const int32_t track = width - 2 * thumbMargin;
    int32_t p = static_cast<int32_t>(std::trunc(static_cast<float>(track) *
                                                (static_cast<float>(value_) / static_cast<float>(maximum_)))) -
                thumb_->width / 2;
    p = std::max(0, std::min(p, track - thumb_->width));
    thumb_->Move(thumbMargin + p, thumb_->y);
}

void VTSlider::Draw(Fw::Graphics* g)
{
    const Fw::Rect area = ApplicationArea();
    g->clipRect = g->destImage ? area.Intersection(Fw::Rect(0, 0, g->destImage->GetWidth(), g->destImage->GetHeight()))
                               : area;
    VTCandyWidget::Draw(g);
    // A bar left invisible in the skin is drawn here, in the slider's own place.
    if (bar_ && !bar_->visible)
        bar_->Draw(g);
}

void VTSlider::OnBecameVisible()
{
    VTCandyWidget::OnBecameVisible();
    if (bar_ && !bar_->visible) // a visible bar is reached by the pass over the children
        bar_->OnBecameVisible();
}

void VTSlider::OnBecameHidden()
{
    VTCandyWidget::OnBecameHidden();
    if (bar_ && !bar_->visible)
        bar_->OnBecameHidden();
}
