// Edit box: key handling, selection, undo, scrolling and the cached text picture.
#include "engine/widgets/EditWidget.h"

#include "engine/core/Texture.h"
#include "engine/core/XmlAttributes.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/SkinTexture.h"
#include "engine/widgets/WidgetAlpha.h"
#include "framework/app/AppBase.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/Font.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kKeyBackspace = 8;
constexpr int kKeyEnter = 13;
constexpr int kKeyShift = 16;
constexpr int kKeyControl = 17;
constexpr int kKeyEscape = 27;
constexpr int kKeyEnd = 35;
constexpr int kKeyHome = 36;
constexpr int kKeyLeft = 37;
constexpr int kKeyRight = 39;
constexpr int kKeyDelete = 46;

constexpr wchar_t kCharCopy = 3;
constexpr wchar_t kCharPaste = 22;
constexpr wchar_t kCharCut = 24;
constexpr wchar_t kCharUndo = 26;

// Text starts 4 pixels in; the last 4 stay free (8 in all).
constexpr int32_t kTextInset = 4;
constexpr int32_t kTextMargins = 8;

} // namespace

VTEditWidget::VTEditWidget(VTCandyWidget* engineParent)
    : VTCandyWidget(engineParent), normal_(std::make_unique<VTTexture>()), disabled_(std::make_unique<VTTexture>())
{
    wantsFocus = true;
}

VTEditWidget::~VTEditWidget() = default;

std::unique_ptr<VTCandyWidget> VTEditWidget::CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                               const Platform::XmlNode& element)
{
    auto edit = std::make_unique<VTEditWidget>(&dialog);
    edit->LoadFromXml(element, app);
    return edit;
}

void VTEditWidget::LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* /*owner*/)
{
    LoadCommonFromXml(element);
    std::string text;
    if (XmlGetAttributeString(element, "hilite_color", text, 128))
        highlightColor = ParseSkinColor(text);
    ReadSkinTextAttrs(element, [this](int32_t index, const VTTextAttr& attr) {
        SetTextAttr(index, attr.font, attr.color, attr.hoverColor);
    });
    // A box already shown (by "visible") loads what it gets now.
    const bool shown = IsVisibleWithAncestors();
    for (auto [id, slot] : {std::pair{"normal", &normal_}, std::pair{"disabled", &disabled_}}) {
        if (auto texture = LoadSkinTexture(element, id, width, height)) {
            if (shown)
                texture->LoadFrames();
            *slot = std::move(texture);
        }
    }
}

// ---- keys ----

bool VTEditWidget::IsHeld(int keyCode) const
{
    const Fw::WidgetManager* m = GetManager();
    return m && m->IsKeyDown(keyCode);
}

bool VTEditWidget::IsWordChar(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') ||
           (c >= 0x0410 && c <= 0x044F) || c == L'_';
}

void VTEditWidget::DeleteSelection()
{
    const int32_t length = static_cast<int32_t>(text_.size());
    const int32_t from = std::clamp(std::min(anchor_, caret_), 0, length);
    const int32_t to = std::clamp(std::max(anchor_, caret_), 0, length);
    text_.erase(static_cast<size_t>(from), static_cast<size_t>(to - from));
    caret_ = from;
    anchor_ = -1;
}

void VTEditWidget::ProcessKey(int keyCode, wchar_t character)
{
    const bool shift = IsHeld(kKeyShift);
    const bool ctrl = IsHeld(kKeyControl);
    textImage_.reset();
    imageValid_ = false;

    if (keyCode == kKeyShift || keyCode == kKeyControl || character == L' ')
        return;
    if (keyCode == kKeyEnter || keyCode == kKeyEscape) {
        // The dialog that holds the panel with the box hears Enter and Escape too.
        if (Fw::WidgetContainer* parent = GetParent())
            if (auto* grandparent = dynamic_cast<Fw::Widget*>(parent->GetParent()))
                grandparent->KeyDown(keyCode);
    }
    if (shift && anchor_ < 0)
        anchor_ = caret_;

    const EditState entry{text_, caret_, anchor_};
    bool changed = false;
    bool dropSelection = !shift;
    const int32_t length = static_cast<int32_t>(text_.size());

    if (character == kCharCopy || character == kCharCut) {
        if (HasSelection()) {
            const int32_t from = std::clamp(std::min(anchor_, caret_), 0, length);
            const int32_t to = std::clamp(std::max(anchor_, caret_), 0, length);
            if (Fw::gApplication)
                Fw::gApplication->SetClipboard(Fw::ToString(text_.substr(static_cast<size_t>(from),
                                                                         static_cast<size_t>(to - from))));
            if (character == kCharCopy) {
                dropSelection = false;
            } else {
                DeleteSelection();
                changed = true;
            }
        }
    } else if (character == kCharPaste) {
        std::wstring pasted = Fw::gApplication ? Fw::ToWString(Fw::gApplication->GetClipboard()) : std::wstring();
        pasted = pasted.substr(0, pasted.find_first_of(L"\r\n"));
        Fw::Font* font = attrs_[kTextAttrNormal].font;
        std::erase_if(pasted, [font](wchar_t c) { return !font || font->CharWidth(c) == 0; });
        const int32_t pastedLength = static_cast<int32_t>(pasted.size());
        bool accepted = false;
        if (HasSelection()) {
            DeleteSelection();
            accepted = true;
        } else {
            // A paste that would not fit is refused whole: caret, text and undo record stay.
            accepted = length + pastedLength < kMaxLength;
        }
        if (accepted) {
            caret_ = std::clamp(caret_, 0, static_cast<int32_t>(text_.size()));
            text_.insert(static_cast<size_t>(caret_), pasted);
            caret_ += pastedLength;
            changed = true;
        }
    } else if (character == kCharUndo) {
        lastEditPosition_ = -1;
        std::swap(text_, undo_.text);
        std::swap(caret_, undo_.caret);
        std::swap(anchor_, undo_.anchor);
        dropSelection = false;
    } else {
        switch (keyCode) {
        case kKeyLeft:
            if (ctrl) {
                while (caret_ > 0 && caret_ <= length && !IsWordChar(text_[static_cast<size_t>(caret_ - 1)]))
                    --caret_;
                while (caret_ > 0 && caret_ <= length && IsWordChar(text_[static_cast<size_t>(caret_ - 1)]))
                    --caret_;
            } else if (shift || !HasSelection()) {
                --caret_;
            } else {
                caret_ = std::min(caret_, anchor_);
            }
            break;
        case kKeyRight:
            if (ctrl) {
                // Over the rest of the word, then the gap: the final step lands on the next word.
                while (caret_ >= 0 && caret_ < length - 1 && IsWordChar(text_[static_cast<size_t>(caret_ + 1)]))
                    ++caret_;
                while (caret_ >= 0 && caret_ < length - 1 && !IsWordChar(text_[static_cast<size_t>(caret_ + 1)]))
                    ++caret_;
            }
            if (shift || !HasSelection())
                ++caret_;
            else
                caret_ = std::max(caret_, anchor_);
            break;
        case kKeyBackspace:
            if (length == 0)
                break;
            if (HasSelection()) {
                DeleteSelection();
                changed = true;
            } else if (caret_ > 0 && caret_ <= length) {
                text_.erase(static_cast<size_t>(caret_ - 1), 1);
                --caret_;
                anchor_ = -1;
                changed = caret_ != lastEditPosition_;
                lastEditPosition_ = caret_ - 1;
            }
            break;
        case kKeyDelete:
            if (length == 0)
                break;
            if (HasSelection()) {
                DeleteSelection();
                changed = true;
            } else if (caret_ >= 0 && caret_ < length) {
                text_.erase(static_cast<size_t>(caret_), 1);
                changed = caret_ != lastEditPosition_;
                lastEditPosition_ = caret_;
            }
            break;
        case kKeyHome:
            caret_ = 0;
            break;
        case kKeyEnd:
            caret_ = length;
            break;
        default: {
            Fw::Font* font = attrs_[kTextAttrNormal].font;
            const bool wide = Fw::gApplication == nullptr || Fw::gApplication->wideInput;
            const uint32_t highest = wide ? 0xFFFF : 127;
            const bool acceptable = character >= 32 && static_cast<uint32_t>(character) <= highest && font &&
                                    font->CharWidth(character) > 0;
            if (!acceptable) {
                dropSelection = false;
                break;
            }
            if (HasSelection()) {
                DeleteSelection();
                changed = true;
            } else if (length < kMaxLength) {
                changed = caret_ != lastEditPosition_ + 1;
                lastEditPosition_ = caret_;
            } else {
                break; // full: the character is refused and the caret stays
            }
            caret_ = std::clamp(caret_, 0, static_cast<int32_t>(text_.size()));
            text_.insert(static_cast<size_t>(caret_), 1, character);
            ++caret_;
            anchor_ = -1;
            ScrollToCaret(false);
            break;
        }
        }
    }

    if (static_cast<int32_t>(text_.size()) > kMaxLength)
        text_.resize(kMaxLength);
    caret_ = std::clamp(caret_, 0, static_cast<int32_t>(text_.size()));
    if (caret_ != entry.caret) {
        blinkCounter_ = 0;
        caretShown_ = true;
    }
    ScrollToCaret(true);
    if (dropSelection || anchor_ == caret_)
        anchor_ = -1;
    if (anchor_ > static_cast<int32_t>(text_.size()))
        anchor_ = static_cast<int32_t>(text_.size());
    if (changed) {
        undo_ = entry;
    }
    MarkDirty();
}

void VTEditWidget::SelectWordAtCaret()
{
    const int32_t length = static_cast<int32_t>(text_.size());
    if (caret_ < 0 || caret_ >= length)
        return;
    anchor_ = caret_;
    while (anchor_ > 0 && IsWordChar(text_[static_cast<size_t>(anchor_ - 1)]))
        --anchor_;
    while (caret_ < length - 1 && IsWordChar(text_[static_cast<size_t>(caret_ + 1)]))
        ++caret_;
    ++caret_;
}

void VTEditWidget::SetState(const std::wstring& text, int32_t caret, int32_t anchor)
{
    text_ = text;
    caret_ = std::clamp(caret, 0, static_cast<int32_t>(text_.size()));
    anchor_ = anchor < 0 ? -1 : std::min(anchor, static_cast<int32_t>(text_.size()));
    MarkDirty();
}

void VTEditWidget::SetText(const std::wstring& text, bool resetScroll)
{
    text_ = text;
    caret_ = static_cast<int32_t>(text_.size());
    anchor_ = 0;
    lastEditPosition_ = -1; // typing into the new text starts a new undo step
    if (resetScroll)
        firstVisible_ = 0;
    else
        ScrollToCaret(true);
    imageValid_ = false;
    MarkDirty();
}

// ---- measuring and scrolling ----

int32_t VTEditWidget::RangeWidth(int32_t from, int32_t to) const
{
    Fw::Font* font = attrs_[kTextAttrNormal].font;
    const int32_t length = static_cast<int32_t>(text_.size());
    from = std::clamp(from, 0, length);
    to = std::clamp(to, 0, length);
    if (!font || to <= from)
        return 0;
    return font->StringWidth(text_.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
}

int32_t VTEditWidget::GetCharIndexAtX(int32_t x, int32_t /*y*/)
{
    const int32_t length = static_cast<int32_t>(text_.size());
    // Left of the first shown character's middle is the first shown character, not the text's start.
    int32_t result = std::clamp(firstVisible_, 0, length);
    for (int32_t i = firstVisible_; i < length; ++i) {
        const int32_t w1 = RangeWidth(firstVisible_, i);
        const int32_t w2 = RangeWidth(firstVisible_, i + 1);
        if (x >= (w1 + w2) / 2 + 5)
            result = i + 1;
    }
    return result;
}

void VTEditWidget::ScrollToCaret(bool fast)
{
    const int32_t step = fast ? 10 : 1;
    while (caret_ < firstVisible_) {
        firstVisible_ = std::max(0, firstVisible_ - step);
        MarkDirty();
    }
    if (!attrs_[kTextAttrNormal].font)
        return;
    const int32_t room = width - kTextMargins;
    const int32_t last = std::max(0, static_cast<int32_t>(text_.size()) - 1);
    // Never past the caret: the loop then ends even when one character is wider than the box.
    while (room > 0 && firstVisible_ < caret_ && firstVisible_ < last && RangeWidth(firstVisible_, caret_) >= room) {
        firstVisible_ = std::min({firstVisible_ + step, last, caret_});
        MarkDirty();
    }
}

// ---- attributes and images ----

void VTEditWidget::SetImage(int32_t which, const VTImageRef& image, const Fw::Rect& source)
{
    VTTexture* texture = which == 0 ? normal_.get() : which == 1 ? disabled_.get() : nullptr;
    if (!texture)
        return;
    texture->SetSingleFrame(image);
    texture->SetRect(source);
}

void VTEditWidget::SetImages(const VTImageRef& image)
{
    normal_->SetSingleFrame(image);
    disabled_->SetSingleFrame(image);
}

void VTEditWidget::SetTextAttr(int32_t index, Fw::Font* font, const Fw::Color& color, const Fw::Color& selectedColor)
{
    if (index < 0 || index >= kTextAttrCount)
        return;
    VTTextAttr& attr = attrs_[static_cast<size_t>(index)];
    attr.font = font;
    attr.color = color;
    attr.hoverColor = selectedColor;
    imageValid_ = false;
}

// ---- framework hooks ----

void VTEditWidget::MarkDirty()
{
    VTCandyWidget::MarkDirty();
    imageValid_ = false;
}

void VTEditWidget::Update()
{
    VTCandyWidget::Update();
    if (!hasFocus)
        return;
    if (++blinkCounter_ > kBlinkPeriod) {
        MarkDirty();
        blinkCounter_ = 0;
        caretShown_ = !caretShown_;
    }
}

void VTEditWidget::Resize(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight)
{
    VTCandyWidget::Resize(newX, newY, newWidth, newHeight);
    textImage_.reset();
    ScrollToCaret(false);
}

void VTEditWidget::GotFocus()
{
    Fw::Widget::GotFocus();
    caretShown_ = true;
    blinkCounter_ = 0;
    MarkDirty();
}

void VTEditWidget::LostFocus()
{
    Fw::Widget::LostFocus();
    caretShown_ = false;
    MarkDirty();
}

void VTEditWidget::KeyChar(wchar_t c) { ProcessKey(0, c); }

void VTEditWidget::KeyDown(int keyCode)
{
    // Letters arrive again as characters; their key-downs only go to the framework (Tab and the like).
    if (keyCode < 65 || keyCode > 89)
        ProcessKey(keyCode, 0);
    Fw::Widget::KeyDown(keyCode);
}

void VTEditWidget::MouseDown(int32_t mx, int32_t my, int button, int clickCount)
{
    VTCandyWidget::MouseDown(mx, my, button, clickCount);
    anchor_ = -1;
    caret_ = GetCharIndexAtX(mx, my);
    if (clickCount > 1) {
        wordDrag_ = true;
        SelectWordAtCaret();
    }
    MarkDirty();
    ScrollToCaret(false);
}

void VTEditWidget::MouseUp(int32_t mx, int32_t my, int button, int clickCount)
{
    VTCandyWidget::MouseUp(mx, my, button, clickCount);
    if (anchor_ == caret_)
        anchor_ = -1;
    if (wordDrag_) {
        anchor_ = -1;
        caret_ = GetCharIndexAtX(mx, my);
        wordDrag_ = false;
        SelectWordAtCaret();
    }
    MarkDirty();
}

void VTEditWidget::MouseDrag(int32_t mx, int32_t my)
{
    VTCandyWidget::MouseDrag(mx, my);
    if (anchor_ < 0)
        anchor_ = caret_;
    caret_ = GetCharIndexAtX(mx, my);
    MarkDirty();
    ScrollToCaret(false);
}

void VTEditWidget::OnBecameVisible()
{
    normal_->LoadFrames();
    disabled_->LoadFrames();
}

void VTEditWidget::OnBecameHidden()
{
    normal_->UnloadFrames();
    disabled_->UnloadFrames();
    textImage_.reset();
}

// ---- drawing ----

void VTEditWidget::Render()
{
    imageValid_ = true;
    textImage_->Clear();
    Fw::Font* normalFont = attrs_[kTextAttrNormal].font;
    if (!normalFont)
        return;
    const int32_t fontHeight = normalFont->GetHeight();
    const std::wstring shown = text_.substr(static_cast<size_t>(std::clamp(firstVisible_, 0, static_cast<int32_t>(text_.size()))));
    const int32_t room = width - kTextMargins;

    int32_t a = RangeWidth(firstVisible_, caret_);
    int32_t b = HasSelection() ? RangeWidth(firstVisible_, anchor_) : a + 2;
    if (!caretShown_)
        a += 2;
    a = std::clamp(a, 0, std::max(0, room));
    b = std::clamp(b, 0, std::max(0, room));
    const Fw::Rect caretClip(std::min(a, b) + kTextInset, (height - fontHeight) / 2, std::abs(b - a), fontHeight);

    const Fw::Graphics base(textImage_.get());
    for (int pass = 0; pass < 2; ++pass) {
        Fw::Graphics g(base);
        g.SetFont(normalFont);
        if (pass == 0) {
            g.SetClipRect(kTextInset, 0, room, height);
        } else {
            g.SetClipRect(caretClip.x, caretClip.y, caretClip.width, caretClip.height);
            if (hasFocus) {
                g.SetColor(highlightColor);
                g.FillRect(caretClip.x, caretClip.y, caretClip.width, caretClip.height);
            }
        }
        for (const VTTextAttr& attr : attrs_) {
            if (!attr.font)
                continue;
            g.SetFont(attr.font);
            g.SetColor(pass == 1 && hasFocus ? attr.hoverColor : attr.color);
            const int32_t y = static_cast<int32_t>(std::trunc((height - fontHeight) * 0.5 + attr.font->GetAscent()));
            g.DrawString(shown, kTextInset, y);
        }
    }
}

void VTEditWidget::Draw(Fw::Graphics* g)
{
    g->SetColorizeImages(true);
    g->SetColor(Fw::Color(255, 255, 255, VTDrawAlpha(*this)));
    const Fw::Rect area = ApplicationArea();
    g->clipRect = g->destImage ? area.Intersection(Fw::Rect(0, 0, g->destImage->GetWidth(), g->destImage->GetHeight()))
                               : area;
    if (disabled && TextureHasImage(disabled_.get()))
        disabled_->Draw(*g, Fw::Rect(0, 0, width, height));
    else
        normal_->Draw(*g, Fw::Rect(-kTextMargins, 0, width - kTextMargins, height));

    if (width <= 0 || height <= 0)
        return;
    if (!textImage_ || textImage_->GetWidth() != width || textImage_->GetHeight() != height) {
        textImage_ = std::make_unique<Fw::MemoryImage>();
        textImage_->Create(width, height);
        imageValid_ = false;
    }
    if (!imageValid_)
        Render();
    g->DrawImage(textImage_.get(), Fw::Rect(0, 0, width, height), Fw::Rect(0, 0, width, height));
}
