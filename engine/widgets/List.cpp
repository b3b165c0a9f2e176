// List boxes: skin loading, paging with the scroll bar, selection by click and the cached lines.
#include "engine/widgets/List.h"

#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAttributes.h"
#include "engine/widgets/Button.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/ScrollBar.h"
#include "engine/widgets/SkinTexture.h"
#include "engine/widgets/WidgetAlpha.h"
#include "engine/widgets/WidgetServices.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>

VTList::VTList(VTCandyWidget* engineParent) : VTCandyWidget(engineParent) {}

VTList::~VTList() = default;

std::unique_ptr<VTCandyWidget> VTList::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                         const Platform::XmlNode& element)
{
    auto list = std::make_unique<VTList>(&dialog);
    list->LoadFromXml(element, app);
    return list;
}

void VTList::LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner)
{
    lineHeight_ = -1;
    textX = 0;
    XmlGetAttributeInt(element, "line_spacing", lineHeight_);
    XmlGetAttributeInt(element, "left", textX);
    std::string text;
    if (XmlGetAttributeString(element, "sel_color", text, 128))
        selectionColor = ParseSkinColor(text);
    LoadCommonFromXml(element);

    if (const Platform::XmlNode child = element.SelectSingleNode("element[@name=\"scroll\"]")) {
        auto owned = std::make_unique<VTScrollBar>(this);
        VTScrollBar* bar = owned.get();
        bar->LoadFromXml(child, owner);
        AddChild("scroll", owned.release());
        bar->Resize(width - bar->width, 0, bar->width, height);
        VTButton* up = bar->GetUpButton();
        VTButton* down = bar->GetDownButton();
        if (up)
            up->Move(0, 0);
        if (down)
            down->Move(0, height - down->height);
        bar->trackXStart = 0;
        bar->trackXEnd = 0;
        bar->trackYStart = up ? up->height : 0;
        // The scroll bar takes the slider's height off this end itself, so the slider's bottom meets
        // the down button at the last position.
        bar->trackYEnd = down ? height - down->height : height;
    }

    ReadSkinTextAttrs(element, [this](int32_t index, const VTTextAttr& attr) {
        SetTextAttr(index, attr.font, attr.color, attr.disabledColor);
    });
    AddTexture(kNormal, LoadSkinTexture(element, "normal", width, height));
    AddTexture(kDisabled, LoadSkinTexture(element, "disabled", width, height));

    if (const Platform::XmlNode child = element.SelectSingleNode("texture[@id=\"check\"]")) {
        std::string name;
        VTTextureCatalogue* catalogue = GetWidgetServices().GetTextureCatalogue();
        VTImageRef image;
        if (catalogue && XmlGetAttributeString(child, "texture", name, 128))
            image = catalogue->GetImage(name, false);
        VTImageRef probe = image; // measures without keeping a load
        if (Fw::MemoryImage* picture = probe.GetImage()) {
            // An unknown or unreadable image keeps the check texture as it was.
            int32_t u = 0, v = 0;
            XmlGetAttributeInt(child, "u", u);
            XmlGetAttributeInt(child, "v", v);
            int32_t w = picture->GetWidth() - u, h = picture->GetHeight() - v;
            XmlGetAttributeInt(child, "width", w);
            XmlGetAttributeInt(child, "height", h);
            check_.SetSingleFrame(image);
            check_.SetRect(Fw::Rect(u, v, w, h));
            if (IsVisibleWithAncestors())
                check_.LoadFrames();
        }
    }
    Resize(x, y, width, height);
}

void VTList::AddChild(const std::string& name, VTCandyWidget* child)
{
    VTCandyWidget::AddChild(name, child);
    if (name == "scroll" && child && FindChild(name) == child)
        if (auto* bar = dynamic_cast<VTScrollBar*>(child))
            scrollBar_ = bar;
}

void VTList::RemoveChild(const std::string& name)
{
    if (scrollBar_ && FindChild(name) == scrollBar_)
        scrollBar_ = nullptr;
    VTCandyWidget::RemoveChild(name);
}

void VTList::SetTextAttr(int32_t index, Fw::Font* font, const Fw::Color& color, const Fw::Color& disabledColor)
{
    if (index < 0 || index >= kTextAttrCount)
        return;
    VTTextAttr& attr = attrs_[static_cast<size_t>(index)];
    attr.font = font;
    attr.color = color;
    attr.hoverColor = color;
    attr.disabledColor = disabledColor;
    if (index == kTextAttrNormal && font)
        lineHeight_ = font->GetHeight();
    imageValid_ = false;
}

void VTList::SetImages(const VTImageRef& image)
{
    for (VTTexture& texture : images_)
        texture.SetSingleFrame(image);
}

void VTList::UpdateScrollRange()
{
    if (!scrollBar_ || lineHeight_ <= 0)
        return;
    const int32_t visibleLines = height / lineHeight_;
    scrollBar_->SetRange(std::max(static_cast<int32_t>(lines_.size()) - visibleLines, 0),
                         static_cast<int32_t>(lines_.size()));
    scrollBar_->position = 0;
}

void VTList::AddLine(const std::wstring& line)
{
    lines_.push_back(line);
    imageValid_ = false;
    UpdateScrollRange();
}

void VTList::Clear()
{
    lines_.clear();
    imageValid_ = false;
    if (scrollBar_)
        scrollBar_->SetRange(0, 0);
}

void VTList::Resize(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight)
{
    VTCandyWidget::Resize(newX, newY, newWidth, newHeight);
    UpdateScrollRange();
    listImage_.reset();
}

void VTList::MouseDown(int32_t /*mx*/, int32_t my, int /*button*/, int /*clickCount*/)
{
    imageValid_ = false;
    if (lineHeight_ <= 0 || my < 0)
        return;
    const int32_t line = firstVisibleLine_ + my / lineHeight_;
    if (line < static_cast<int32_t>(lines_.size()))
        selectedItem_ = line;
    // A selected row reaching below the bottom edge scrolls it into view by one line; without a
    // scroll bar the list does not page.
    if ((selectedItem_ - firstVisibleLine_ + 1) * lineHeight_ > height && scrollBar_) {
        ++firstVisibleLine_;
        scrollBar_->position = firstVisibleLine_;
    }
}

void VTList::Update()
{
    if (scrollBar_)
        firstVisibleLine_ = scrollBar_->position;
    VTTexture* normal = GetTexture(kNormal, 0);
    VTTexture* disabledTexture = GetTexture(kDisabled, 0);
    const bool showDisabled = disabled && TextureHasImage(disabledTexture);
    if (normal)
        normal->enabled = !showDisabled;
    if (disabledTexture)
        disabledTexture->enabled = showDisabled;
    VTCandyWidget::Update();
}

void VTList::Render()
{
    if (scrollBar_)
        firstVisibleLine_ = scrollBar_->position;
    imageValid_ = true;
    listImage_->Clear();
    if (height <= 0 || lineHeight_ <= 0) {
        OnPagePosChanged();
        return;
    }
    Fw::Graphics g(listImage_.get());
    const Fw::Color frameColor(255, 255, 255, VTDrawAlpha(*this));
    const int32_t count = static_cast<int32_t>(lines_.size());
    for (int32_t line = std::max(0, firstVisibleLine_), y = 0; line < count && y < height; ++line, y += lineHeight_) {
        if (line == selectedItem_) {
            g.SetColor(selectionColor);
            g.FillRect(0, y, width + textX, lineHeight_);
        }
        if (line == activeItem_) {
            g.SetColorizeImages(true);
            g.SetColor(frameColor);
            check_.Draw(g, Fw::Rect(checkX, y + (lineHeight_ - check_.height) / 2, check_.width, check_.height));
        }
        for (const VTTextAttr& attr : attrs_) {
            if (!attr.font)
                continue;
            g.SetColor(disabled ? attr.disabledColor : attr.color);
            g.SetFont(attr.font);
            g.SetClipRect(0, 0, width, height);
            g.DrawString(lines_[static_cast<size_t>(line)], textX, y + attr.font->GetAscent());
        }
    }
    OnPagePosChanged();
}

void VTList::Draw(Fw::Graphics* g)
{
    g->SetColorizeImages(true);
    g->SetColor(Fw::Color(255, 255, 255, VTDrawAlpha(*this)));
    VTCandyWidget::Draw(g);
    if (width <= 0 || height <= 0)
        return;
    if (!listImage_ || listImage_->GetWidth() != width || listImage_->GetHeight() != height) {
        listImage_ = std::make_unique<Fw::MemoryImage>();
        listImage_->Create(width, height);
        imageValid_ = false;
    }
    if (!imageValid_)
        Render();
    if (!g->destImage)
        return;
    const Fw::Matrix3 matrix = GetTransform();
    g->clipRect = GetBoundsForMatrix(matrix).Intersection(
        Fw::Rect(0, 0, g->destImage->GetWidth(), g->destImage->GetHeight()));
    g->DrawImageMatrix(listImage_.get(), matrix, Fw::Rect(0, 0, width, height), 0.0f, 0.0f);
}

void VTList::OnBecameVisible()
{
    VTCandyWidget::OnBecameVisible();
    for (VTTexture& texture : images_)
        texture.LoadFrames();
    check_.LoadFrames();
}

void VTList::OnBecameHidden()
{
    VTCandyWidget::OnBecameHidden();
    for (VTTexture& texture : images_)
        texture.UnloadFrames();
    check_.UnloadFrames();
    listImage_.reset();
}

void VTList::MakeScrollbar()
{
    if (scrollBar_) {
        VTScrollBar* old = scrollBar_;
        RemoveChild("scroll");
        delete old;
    }
    VTTextureCatalogue* catalogue = GetWidgetServices().GetTextureCatalogue();
    auto owned = std::make_unique<VTScrollBar>(this);
    VTScrollBar* bar = owned.get();
    constexpr const char* kNames[kScrollPartCount] = {"up", "down", "slider"};
    std::array<VTButton*, kScrollPartCount> buttons{};
    for (int32_t part = 0; part < kScrollPartCount; ++part) {
        auto button = std::make_unique<VTButton>(bar, part + 1, bar);
        const VTFrameDesc& normal = scrollFrames[static_cast<size_t>(part)][0];
        button->Resize(0, 0, normal.width, normal.height);
        buttons[static_cast<size_t>(part)] = button.get();
        bar->AddChild(kNames[part], button.release());
    }
    AddChild("scroll", owned.release());
    for (int32_t part = 0; part < kScrollPartCount; ++part)
        for (int32_t state = 0; state < 4; ++state)
            if (catalogue)
                buttons[static_cast<size_t>(part)]->AddTexture(
                    state, VTTexture::CreateFromDesc(*catalogue, scrollFrames[static_cast<size_t>(part)][static_cast<size_t>(state)]));

    VTButton* up = buttons[kScrollUp];
    VTButton* down = buttons[kScrollDown];
    bar->Resize(width + scrollBarOffsetX, 0, bar->width, height);
    up->Move(0, -(up->height / 2));
    down->Move(0, height - down->height / 2);
    bar->trackXStart = 0;
    bar->trackXEnd = 0;
    bar->trackYStart = up->height / 2;
    bar->trackYEnd = down->y;
    bar->SetVisible(true);
    for (VTButton* button : buttons)
        button->SetVisible(true);
}
