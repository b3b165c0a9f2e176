// Segment bars.
#include "engine/widgets/Bar.h"

#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAttributes.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/SkinTexture.h"
#include "engine/widgets/WidgetAlpha.h"
#include "engine/widgets/WidgetServices.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include <string>

VTBar::VTBar(VTCandyWidget* engineParent) : VTCandyWidget(engineParent) {}

VTBar::~VTBar() = default;

std::unique_ptr<VTCandyWidget> VTBar::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                        const Platform::XmlNode& element)
{
    auto bar = std::make_unique<VTBar>(&dialog);
    bar->LoadFromXml(element, app);
    return bar;
}

void VTBar::LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* /*owner*/)
{
    LoadCommonFromXml(element);
    int32_t segmentWidth = 0;
    XmlGetAttributeInt(element, "seg_width", segmentWidth);
    VTTextureCatalogue* catalogue = GetWidgetServices().GetTextureCatalogue();
    for (auto [id, texture] : {std::pair<std::string_view, VTTexture*>{"fill", &fill_}, {"empty", &empty_}}) {
        const Platform::XmlNode child = element.SelectSingleNode("texture[@id=$id]", {{"id", id}});
        if (!child)
            continue;
        std::string name;
        if (XmlGetAttributeString(child, "texture", name, 128) && catalogue)
            texture->SetSingleFrame(catalogue->GetImage(name, false));
        int32_t u = 0, v = 0, h = height;
        XmlGetAttributeInt(child, "u", u);
        XmlGetAttributeInt(child, "v", v);
        XmlGetAttributeInt(child, "height", h);
        // A missing width is taken from the fill image when the bar first draws it.
        texture->SetRect(Fw::Rect(u, v, segmentWidth > 0 ? segmentWidth : 0, h));
    }
    if (IsVisibleWithAncestors()) {
        fill_.LoadFrames();
        empty_.LoadFrames();
    }
}

void VTBar::SetImages(const VTImageRef& image)
{
    fill_.SetSingleFrame(image);
    empty_.SetSingleFrame(image);
    if (IsVisibleWithAncestors()) {
        fill_.LoadFrames();
        empty_.LoadFrames();
    }
}

int32_t VTBar::SegmentWidth()
{
    if (fill_.width > 0)
        return fill_.width;
    Fw::MemoryImage* image = fill_.frames.empty() ? nullptr : fill_.frames.front().GetImage();
    return image ? image->GetWidth() : 0;
}

void VTBar::Draw(Fw::Graphics* g)
{
    if (!g)
        return;
    g->SetColorizeImages(true);
    g->SetColor(Fw::Color(255, 255, 255, VTDrawAlpha(*this)));
    const float s = VTAccumulatedScale(*this);
    if (!TextureHasImage(&fill_) || !TextureHasImage(&empty_))
        return;
    const int32_t sw = SegmentWidth();
    if (sw <= 0 || maximum_ <= 0)
        return;
    if (fill_.width <= 0)
        fill_.width = sw;
    if (empty_.width <= 0)
        empty_.width = sw;
    const int32_t n = width / sw;
    if (n < 1)
        return;
    const double f = static_cast<double>(value_) / static_cast<double>(maximum_);
    const int32_t step = static_cast<int32_t>(static_cast<float>(sw) * s);
    int32_t x = 0;
    for (int32_t i = 0; i < n; ++i) {
        VTTexture& texture = static_cast<double>(i) / n < f ? fill_ : empty_;
        texture.Draw(*g, Fw::Rect(x, 0, step, height));
        x += step;
    }
}

void VTBar::OnBecameVisible()
{
    VTCandyWidget::OnBecameVisible();
    fill_.LoadFrames();
    empty_.LoadFrames();
}

void VTBar::OnBecameHidden()
{
    VTCandyWidget::OnBecameHidden();
    fill_.UnloadFrames();
    empty_.UnloadFrames();
}
