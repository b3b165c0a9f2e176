// Check boxes: six faces and the toggle on release.
#include "engine/widgets/CheckBox.h"

#include "engine/core/Texture.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/SkinTexture.h"
#include "engine/widgets/WidgetAlpha.h"
#include "framework/graphics/Graphics.h"

#include <string_view>

VTCheckBox::VTCheckBox(VTCandyWidget* engineParent) : VTCandyWidget(engineParent) {}

VTCheckBox::~VTCheckBox() = default;

std::unique_ptr<VTCandyWidget> VTCheckBox::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                             const Platform::XmlNode& element)
{
    auto box = std::make_unique<VTCheckBox>(&dialog);
    box->LoadFromXml(element, app);
    return box;
}

void VTCheckBox::LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* /*owner*/)
{
    LoadCommonFromXml(element);
    struct Slot {
        std::string_view id;
        VTTexture** field;
    };
    const Slot slots[] = {
        {"normal", &uncheckedFaces_[kNormal]},     {"over", &uncheckedFaces_[kOver]},
        {"disabled", &uncheckedFaces_[kDisabled]}, {"check_normal", &checkedFaces_[kNormal]},
        {"check_over", &checkedFaces_[kOver]},     {"check_disabled", &checkedFaces_[kDisabled]},
    };
    for (const Slot& slot : slots) {
        std::unique_ptr<VTTexture> texture = LoadSkinTexture(element, slot.id, width, height);
        if (!texture)
            continue;
        *slot.field = texture.get();
        AddTexture(0, std::move(texture));
    }
}

VTTexture* VTCheckBox::GetFace(bool checked, Face face) const
{
    return (checked ? checkedFaces_ : uncheckedFaces_)[face];
}

VTTexture& VTCheckBox::EnsureFace(bool checked, Face face)
{
    VTTexture*& slot = (checked ? checkedFaces_ : uncheckedFaces_)[face];
    if (!slot) {
        auto texture = std::make_unique<VTTexture>();
        slot = texture.get();
        AddTexture(0, std::move(texture));
    }
    return *slot;
}

void VTCheckBox::SetChecked(bool checked)
{
    checked_ = checked;
    MarkDirty();
}

void VTCheckBox::SelectFace()
{
    for (VTTexture* t : checkedFaces_)
        if (t)
            t->enabled = false;
    for (VTTexture* t : uncheckedFaces_)
        if (t)
            t->enabled = false;
    const auto& set = checked_ ? checkedFaces_ : uncheckedFaces_;
    VTTexture* face = nullptr;
    if (disabled)
        face = set[kDisabled];
    else if (!isOver)
        face = set[kNormal];
    else
        face = TextureHasImage(set[kOver]) ? set[kOver] : set[kNormal];
    // A state whose face the skin lacks shows nothing.
    if (face)
        face->enabled = true;
}

void VTCheckBox::Update()
{
    VTCandyWidget::Update();
    SelectFace();
}

void VTCheckBox::Draw(Fw::Graphics* g)
{
    if (!g)
        return;
    g->SetColorizeImages(true);
    g->SetColor(Fw::Color(static_cast<int32_t>(255 * tintR), static_cast<int32_t>(255 * tintG),
                          static_cast<int32_t>(255 * tintB), VTDrawAlpha(*this)));
    VTCandyWidget::Draw(g);
}

void VTCheckBox::MouseEnter()
{
    VTCandyWidget::MouseEnter();
    MarkDirty();
}

void VTCheckBox::MouseLeave()
{
    VTCandyWidget::MouseLeave();
    MarkDirty();
}

void VTCheckBox::MouseUp(int32_t mx, int32_t my, int button, int clickCount)
{
    VTCandyWidget::MouseUp(mx, my, button, clickCount);
    if (isOver)
        checked_ = !checked_;
    MarkDirty();
}
