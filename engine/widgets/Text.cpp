// Text labels: key substitution, texture choice, the cached text picture and the linked image.
#include "engine/widgets/Text.h"

#include "engine/core/Texture.h"
#include "engine/core/XmlAttributes.h"
#include "engine/effects/WidgetEffect.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/SkinTexture.h"
#include "engine/widgets/WidgetAlpha.h"
#include "engine/widgets/WidgetServices.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Graphics.h"

#include <algorithm>

VTText::VTText(VTCandyWidget* engineParent, Fw::AppBase* owner) : VTCandyWidget(engineParent), owner_(owner) {}

VTText::~VTText() = default;

std::unique_ptr<VTCandyWidget> VTText::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                         const Platform::XmlNode& element)
{
    auto text = std::make_unique<VTText>(&dialog, app);
    text->LoadFromXml(element, app);
    return text;
}

void VTText::LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* /*owner*/)
{
    LoadCommonFromXml(element);
    SetLabel(ReadSkinLabel(element));
    lineSpacing = -1;
    justification = -1;
    framesPerSecond = 0;
    verticalAlignment = -1;
    labelOffsetY = 0;
    oneShot = false;
    XmlGetAttributeInt(element, "line_spacing", lineSpacing);
    XmlGetAttributeInt(element, "justify", justification);
    XmlGetAttributeInt(element, "fps", framesPerSecond);
    XmlGetAttributeInt(element, "valign", verticalAlignment);
    XmlGetAttributeInt(element, "hoffset", labelOffsetY);
    XmlGetAttributeBool(element, "oneshot", oneShot);
    ReadSkinTextAttrs(element, [this](int32_t index, const VTTextAttr& a) {
        SetTextAttr(index, a.font, a.color, a.disabledColor);
    });
    AddTexture(kNormal, LoadSkinTexture(element, "normal", width, height));
    AddTexture(kDisabled, LoadSkinTexture(element, "disabled", width, height));
}

void VTText::SetLabel(const std::wstring& label)
{
    label_ = label;
    usedKeyValues_.clear();
    keysResolved_ = false;
}

void VTText::SetTextAttr(int32_t index, Fw::Font* font, const Fw::Color& color, const Fw::Color& disabledColor)
{
    if (index < 0 || index >= kTextAttrCount)
        return;
    attrs_[static_cast<size_t>(index)] = {font, color, color, disabledColor};
    textImage_.Invalidate();
}

void VTText::SetShownLength(int32_t length)
{
    shownLength_ = length;
    textImage_.Invalidate();
}

void VTText::SetImages(const VTImageRef& image)
{
    for (int32_t id : {kNormal, kDisabled})
        if (VTTexture* t = GetTexture(id, 0))
            t->SetSingleFrame(image);
}

void VTText::SetImage(int32_t which, const VTImageRef& image, const Fw::Rect& source)
{
    if (which != kNormal && which != kDisabled)
        return;
    if (VTTexture* t = GetTexture(which, 0)) {
        t->SetSingleFrame(image);
        t->SetRect(source);
    }
}

void VTText::SetDisabled(bool d)
{
    VTCandyWidget::SetDisabled(d);
    textImage_.Invalidate();
}

void VTText::OnBecameHidden()
{
    VTCandyWidget::OnBecameHidden();
    textImage_.Reset();
}

// ---- update ----

void VTText::RefreshDisplayText()
{
    if (label_.empty())
        return;
    VTWidgetServices& services = GetWidgetServices();
    for (const auto& [key, used] : usedKeyValues_) {
        if (services.ReadKey(key) != used) {
            keysResolved_ = false;
            break;
        }
    }
    if (!keysResolved_) {
        keysResolved_ = true;
        textImage_.Invalidate();
        usedKeyValues_.clear();
        displayText_.clear();
        bool inKey = false;
        std::wstring key;
        for (wchar_t c : label_) {
            if (!inKey) {
                if (c == L'%') {
                    inKey = true;
                    key.clear();
                } else {
                    displayText_ += c;
                }
            } else if (c == L'%') {
                inKey = false;
                const std::string name = Fw::WStringToString(key);
                std::wstring value = services.ReadKey(name);
                displayText_ += value;
                usedKeyValues_[name] = std::move(value);
            } else {
                key += c;
            }
        }
        // A key still open at the end of the label is dropped.
        if (VTWidgetEffect* effect = GetEffect())
            effect->FireEvent("onchange");
    }
    // Every update shows the whole text again; a shorter length is set after the updates.
    const int32_t whole = DisplayedTextLength();
    if (shownLength_ != whole) {
        shownLength_ = whole;
        textImage_.Invalidate();
    }
}

void VTText::SelectTexture()
{
    VTTexture* normal = GetTexture(kNormal, 0);
    VTTexture* off = GetTexture(kDisabled, 0);
    if (disabled && TextureHasImage(off)) {
        off->enabled = true;
        if (normal)
            normal->enabled = false;
        return;
    }
    if (normal)
        normal->enabled = true;
    if (off && !disabled)
        off->enabled = false;
}

void VTText::Update()
{
    if (IsVisibleWithAncestors())
        RefreshDisplayText();
    SelectTexture();
    VTCandyWidget::Update();
}

// ---- drawing ----

Fw::Rect VTText::TextRect() const
{
    switch (verticalAlignment) {
    case 0: {
        const int32_t h = VTTextImage::WrappedHeight(attrs_, width, displayText_, lineSpacing);
        return Fw::Rect(0, labelOffsetY + (height - h) / 2, width, h);
    }
    case 1: {
        const int32_t h = VTTextImage::WrappedHeight(attrs_, width, displayText_, lineSpacing);
        return Fw::Rect(0, labelOffsetY + height - h, width, h);
    }
    default: return Fw::Rect(0, labelOffsetY, width, height);
    }
}

void VTText::Draw(Fw::Graphics* g)
{
    if (!g)
        return;
    if (linkedImage_) {
        g->DrawImage(linkedImage_, Fw::Rect(0, 0, width, height),
                     Fw::Rect(0, 0, linkedImage_->GetWidth(), linkedImage_->GetHeight()));
        return;
    }
    g->SetColorizeImages(true);
    g->SetColor(Fw::Color(255, 255, 255, VTDrawAlpha(*this)));
    VTCandyWidget::Draw(g);
    if (displayText_.empty())
        return;
    if (!textImage_.Prepare(width, height))
        return;
    const size_t shown = static_cast<size_t>(std::clamp<int32_t>(shownLength_, 0, DisplayedTextLength()));
    textImage_.Render(attrs_, disabled, TextRect(), displayText_.substr(0, shown), lineSpacing, justification);
    textImage_.Draw(*g, GetTransform(), GetClipRect(true), width, height);
}
