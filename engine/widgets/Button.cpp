// Skinned push buttons: skin loading, state textures, listener events, sounds and the cached label.
#include "engine/widgets/Button.h"

#include "engine/core/Texture.h"
#include "engine/core/XmlAttributes.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/SkinTexture.h"
#include "engine/widgets/WidgetAlpha.h"
#include "engine/widgets/WidgetServices.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/WidgetManager.h"

#include <atomic>

namespace {

// Ids of buttons made from skins: positive, never reused within the process (wrapping after 2^31
// buttons). They start high so they cannot meet the small ids code gives its own buttons.
std::atomic<int32_t> gNextButtonId{0x10000};

} // namespace

VTButton::VTButton(VTCandyWidget* engineParent, int32_t id, Fw::ButtonListener* listener)
    : VTCandyWidget(engineParent), id_(id), listener_(listener)
{
    hasAlpha = true;
}

VTButton::~VTButton() = default;

int32_t VTButton::NextUniqueId()
{
    int32_t id = gNextButtonId.fetch_add(1);
    if (id <= 0) { // wrapped: start over above the small ids
        gNextButtonId.store(0x10001);
        id = 0x10000;
    }
    return id;
}

std::unique_ptr<VTCandyWidget> VTButton::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                           const Platform::XmlNode& element)
{
    auto button = std::make_unique<VTButton>(&dialog, NextUniqueId(), &dialog);
    button->LoadFromXml(element, app);
    return button;
}

void VTButton::LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* /*owner*/)
{
    LoadCommonFromXml(element);
    SetLabel(ReadSkinLabel(element));
    lineSpacing = -1;
    justification = 0;
    verticalAlignment = 0;
    labelOffsetY = 0;
    XmlGetAttributeInt(element, "line_spacing", lineSpacing);
    XmlGetAttributeInt(element, "justify", justification);
    XmlGetAttributeInt(element, "valign", verticalAlignment);
    XmlGetAttributeInt(element, "hoffset", labelOffsetY);
    XmlGetAttributeString(element, "snd_hover", hoverSound_, 128);
    XmlGetAttributeString(element, "snd_click", clickSound_, 128);

    constexpr std::pair<std::string_view, int32_t> kStates[] = {
        {"normal", kNormal}, {"over", kOver}, {"down", kDown}, {"disabled", kDisabled}};
    for (const auto& [name, textureId] : kStates)
        AddTexture(textureId, LoadSkinTexture(element, name, width, height));

    ReadSkinTextAttrs(element, [this](int32_t index, const VTTextAttr& a) {
        SetTextAttr(index, a.font, a.color, a.hoverColor, a.disabledColor);
    });
}

void VTButton::SetTextAttr(int32_t index, Fw::Font* font, const Fw::Color& color, const Fw::Color& hoverColor,
                           const Fw::Color& disabledColor)
{
    if (index < 0 || index >= kTextAttrCount)
        return;
    attrs_[static_cast<size_t>(index)] = {font, color, hoverColor, disabledColor};
    MarkDirty();
}

void VTButton::SetAllImages(const VTImageRef& image)
{
    for (int32_t textureId = kNormal; textureId <= kDisabled; ++textureId)
        if (VTTexture* t = GetTexture(textureId, 0))
            t->SetSingleFrame(image);
    MarkDirty();
}

void VTButton::SetImage(const VTImageRef& image, int32_t textureId)
{
    if (VTTexture* t = GetTexture(textureId, 0))
        t->SetSingleFrame(image);
    MarkDirty();
}

void VTButton::SetLabel(const std::wstring& label)
{
    label_ = label;
    labelImage_.Invalidate();
}

// ---- state ----

void VTButton::SelectStateTexture()
{
    VTTexture* normal = GetTexture(kNormal, 0);
    VTTexture* over = GetTexture(kOver, 0);
    VTTexture* down = GetTexture(kDown, 0);
    VTTexture* off = GetTexture(kDisabled, 0);
    for (VTTexture* t : {normal, over, down, off})
        if (t)
            t->enabled = false;
    if (off)
        off->enabled = disabled;
    if (disabled)
        return;

    auto enable = [](VTTexture* t) {
        if (t)
            t->enabled = true;
    };
    const bool opaqueOver = TextureHasImage(over) && !over->additive;
    if (isDown) {
        if (TextureHasImage(down))
            enable(down);
        else if (opaqueOver)
            enable(over);
        else
            enable(normal);
    } else if (isOver) {
        if (opaqueOver) {
            enable(over);
        } else {
            enable(normal);
            if (TextureHasImage(over) && over->additive)
                enable(over); // a glow drawn over the normal face
        }
    } else {
        enable(normal);
        if (TextureHasImage(over)) { // the next hover plays its animation from the start
            over->currentFrame = 0;
            over->time = 0.0f;
        }
    }
}

void VTButton::Update()
{
    VTCandyWidget::Update();
    SelectStateTexture();
    if (isDown && isOver && listener_)
        listener_->ButtonHeldTick(id_);
}

// ---- drawing ----

Fw::Rect VTButton::LabelRect() const
{
    switch (verticalAlignment) {
    case 0: {
        const int32_t h = VTTextImage::WrappedHeight(attrs_, width, label_, lineSpacing);
        return Fw::Rect(0, labelOffsetY + (height - h) / 2, width, h);
    }
    case 1: {
        const int32_t h = VTTextImage::WrappedHeight(attrs_, width, label_, lineSpacing);
        return Fw::Rect(0, labelOffsetY + height - h, width, h);
    }
    default: return Fw::Rect(0, labelOffsetY, width, height);
    }
}

void VTButton::Draw(Fw::Graphics* g)
{
    if (!g)
        return;
    g->clipRect = ApplicationArea().Intersection(
        g->destImage ? Fw::Rect(0, 0, g->destImage->GetWidth(), g->destImage->GetHeight()) : Fw::Rect());
    g->SetColorizeImages(true);
    g->SetColor(Fw::Color(255, 255, 255, VTDrawAlpha(*this)));
    VTCandyWidget::Draw(g);
    if (label_.empty())
        return;
    if (!labelImage_.Prepare(width, height))
        return;
    labelImage_.Render(attrs_, disabled, LabelRect(), label_, lineSpacing, justification);
    labelImage_.Draw(*g, GetTransform(), GetClipRect(true), width, height);
}

// ---- mouse ----

void VTButton::MouseEnter()
{
    VTCandyWidget::MouseEnter();
    MarkDirty();
    if (listener_)
        listener_->ButtonMouseEnter(id_);
    GetWidgetServices().PlaySound(hoverSound_);
    labelImage_.Invalidate();
}

void VTButton::MouseLeave()
{
    VTCandyWidget::MouseLeave();
    MarkDirty();
    if (listener_)
        listener_->ButtonMouseLeave(id_);
    labelImage_.Invalidate();
}

void VTButton::MouseMove(int32_t mx, int32_t my)
{
    VTCandyWidget::MouseMove(mx, my);
    if (listener_)
        listener_->ButtonMouseMove(id_, mx, my);
}

void VTButton::MouseDown(int32_t mx, int32_t my, int button, int clickCount)
{
    VTCandyWidget::MouseDown(mx, my, button, clickCount);
    if (!disabled) {
        if (listener_)
            listener_->ButtonDown(id_, clickCount);
        GetWidgetServices().PlaySound(clickSound_);
    }
    MarkDirty();
    labelImage_.Invalidate();
}

void VTButton::MouseUp(int32_t mx, int32_t my, int button, int clickCount)
{
    VTCandyWidget::MouseUp(mx, my, button, clickCount);
    // A button outside any widget manager has nobody to lose the focus to.
    const Fw::WidgetManager* manager = GetManager();
    if (isOver && (!manager || manager->HasFocus()) && listener_)
        listener_->ButtonClicked(id_);
    MarkDirty();
    labelImage_.Invalidate();
}

void VTButton::OnBecameHidden()
{
    VTCandyWidget::OnBecameHidden();
    labelImage_.Reset();
}
