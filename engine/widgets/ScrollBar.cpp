// Scroll bars: skin loading, stepping, the slider's placement and hiding the buttons.
#include "engine/widgets/ScrollBar.h"

#include "engine/core/Texture.h"
#include "engine/core/XmlAttributes.h"
#include "engine/widgets/Button.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/List.h"

#include <algorithm>
#include <cmath>

VTScrollBar::VTScrollBar(VTCandyWidget* engineParent) : VTCandyWidget(engineParent) {}

VTScrollBar::~VTScrollBar() = default;

std::unique_ptr<VTCandyWidget> VTScrollBar::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                              const Platform::XmlNode& element)
{
    auto bar = std::make_unique<VTScrollBar>(&dialog);
    bar->LoadFromXml(element, app);
    return bar;
}

void VTScrollBar::LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner)
{
    LoadCommonFromXml(element);
    XmlGetAttributeInt(element, "distx1", trackXStart);
    XmlGetAttributeInt(element, "disty1", trackYStart);
    XmlGetAttributeInt(element, "distx2", trackXEnd);
    XmlGetAttributeInt(element, "disty2", trackYEnd);
    constexpr std::pair<const char*, int32_t> kButtons[] = {{"up", kUp}, {"down", kDown}, {"slider", kSlider}};
    for (const auto& [name, id] : kButtons) {
        const Platform::XmlNode child = element.SelectSingleNode("element[@name=$n]", {{"n", name}});
        if (!child)
            continue;
        auto button = std::make_unique<VTButton>(this, id, this);
        button->LoadFromXml(child, owner);
        AddChild(name, button.release());
    }
}

void VTScrollBar::AddChild(const std::string& name, VTCandyWidget* child)
{
    VTCandyWidget::AddChild(name, child);
    auto* button = dynamic_cast<VTButton*>(child);
    if (!button || FindChild(name) != child)
        return;
    if (name == "up")
        up_ = button;
    else if (name == "down")
        down_ = button;
    else if (name == "slider")
        slider_ = button;
}

void VTScrollBar::RemoveChild(const std::string& name)
{
    VTCandyWidget* child = FindChild(name);
    for (VTButton** slot : {&up_, &down_, &slider_})
        if (child && *slot == child)
            *slot = nullptr;
    VTCandyWidget::RemoveChild(name);
}

void VTScrollBar::Update()
{
    VTCandyWidget::Update();
    position = std::clamp(position, 0, std::max(0, maximum_));
    if (maximum_ == 0 || !slider_)
        return;
    const float t = static_cast<float>(position) / static_cast<float>(maximum_);
    const int32_t sx = trackXStart + static_cast<int32_t>(std::trunc(t * static_cast<float>(trackXEnd - trackXStart)));
    const int32_t sy = trackYStart +
                       static_cast<int32_t>(std::trunc(static_cast<float>(trackYEnd - slider_->height - trackYStart) * t));
    slider_->Move(sx, sy);
}

void VTScrollBar::ButtonDownById(int32_t id)
{
    if (id == kUp) {
        if (position > 0)
            --position;
    } else if (id == kDown) {
        if (position < maximum_)
            ++position;
    } else {
        return;
    }
    if (auto* list = dynamic_cast<VTList*>(GetEngineParent()))
        list->InvalidateImage();
}

void VTScrollBar::SetRange(int32_t maximum, int32_t /*lineCount*/)
{
    if (slider_)
        for (int32_t id = VTButton::kNormal; id <= VTButton::kDisabled; ++id)
            if (VTTexture* texture = slider_->GetTexture(id, 0))
                texture->SetRect(Fw::Rect(texture->u, texture->v, texture->width, slider_->height));
    maximum_ = maximum;
    SetDisabled(maximum < 1);
}

void VTScrollBar::SetDisabled(bool hideButtons)
{
    for (VTButton* button : {up_, down_, slider_}) {
        if (!button)
            continue;
        if (hideButtons)
            button->Hide();
        else
            button->Show();
    }
}
