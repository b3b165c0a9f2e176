// The engine's single-line text entry: a caret that blinks while the box has the keyboard focus, a
// selection made with Shift, the mouse or a double click, word-wise movement with Ctrl, copy, cut and
// paste through the application's clipboard (UTF-8), a one-step undo that toggles, horizontal
// scrolling that keeps the caret visible and a hard limit of 12 characters. Built from "vtedit" skin
// elements. No input-method editor exists on this platform, so the system caret is never placed.
#pragma once
#include "engine/core/ImageRef.h"
#include "engine/widgets/CandyWidget.h"
#include "engine/widgets/SkinText.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class VTDialog;
namespace Fw {
class AppBase;
class MemoryImage;
} // namespace Fw

class VTEditWidget : public VTCandyWidget {
public:
    static constexpr int32_t kMaxLength = 12;  // characters the box holds at most
    static constexpr int32_t kBlinkPeriod = 40; // updates between caret blink toggles (minus one)

    explicit VTEditWidget(VTCandyWidget* engineParent);
    ~VTEditWidget() override;

    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // The common properties, "hilite_color" (absent: opaque black), the text attributes ("color",
    // "hcolor" as the colour inside the selection) and the "normal" and "disabled" textures.
    virtual void LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner);
    // One key: a virtual-key code (character 0) or a character (code 0). Shift and Ctrl are read from
    // the widget manager's table of keys held.
    virtual void ProcessKey(int keyCode, wchar_t character);
    // Selects the word runs on both sides of the caret and the character at it; nothing at the end.
    virtual void SelectWordAtCaret();
    // which 0: the normal background, 1: the disabled one; other values do nothing.
    virtual void SetImage(int32_t which, const VTImageRef& image, const Fw::Rect& source);
    virtual void SetImages(const VTImageRef& image);
    // index 0..2 (shadow, stroke, normal); other indices are ignored. selectedColor colours the text
    // inside the selection and under the caret.
    virtual void SetTextAttr(int32_t index, Fw::Font* font, const Fw::Color& color, const Fw::Color& selectedColor);
    // Replaces the text and selects all of it (the next character typed replaces it); resetScroll
    // shows it from its first character, otherwise it scrolls to the caret.
    virtual void SetText(const std::wstring& text, bool resetScroll);
    // Letters A-Z, a-z, digits, the basic Cyrillic letters U+0410..U+044F and '_'.
    static bool IsWordChar(wchar_t c);
    // The caret index for a local pixel x (never before the first character shown).
    virtual int32_t GetCharIndexAtX(int32_t x, int32_t y);
    // Moves the first character shown until the caret is visible; fast moves 10 characters a step.
    virtual void ScrollToCaret(bool fast);

    const std::wstring& GetText() const { return text_; }
    int32_t GetCaret() const { return caret_; }
    int32_t GetAnchor() const { return anchor_; }
    int32_t GetFirstVisible() const { return firstVisible_; }
    bool IsCaretShown() const { return caretShown_; }
    const VTTextAttr& GetTextAttr(int32_t index) const { return attrs_.at(static_cast<size_t>(index)); }
    // Sets the whole edit state (caret clamped; anchor -1 or an index) without an undo record.
    void SetState(const std::wstring& text, int32_t caret, int32_t anchor);
    Fw::MemoryImage* GetTextImage() const { return textImage_.get(); }
    VTTexture& NormalTexture() { return *normal_; }
    VTTexture& DisabledTexture() { return *disabled_; }

    void MarkDirty() override;
    void Update() override;
    void Draw(Fw::Graphics* g) override;
    void Resize(int32_t newX, int32_t newY, int32_t newWidth, int32_t newHeight) override;
    void GotFocus() override;
    void LostFocus() override;
    void KeyChar(wchar_t c) override;
    void KeyDown(int keyCode) override;
    void MouseDown(int32_t mx, int32_t my, int button, int clickCount) override;
    void MouseUp(int32_t mx, int32_t my, int button, int clickCount) override;
    void MouseDrag(int32_t mx, int32_t my) override;
    void OnBecameVisible() override;
    void OnBecameHidden() override;

    Fw::Color highlightColor = Fw::Color::Black; // fill of the selection and the caret ("hilite_color")

private:
    struct EditState {
        std::wstring text;
        int32_t caret = 0;
        int32_t anchor = 0;
    };

    bool HasSelection() const { return anchor_ >= 0 && anchor_ != caret_; }
    // Deletes the selected characters: caret at the selection's start, no anchor.
    void DeleteSelection();
    bool IsHeld(int keyCode) const;
    // Width in the normal font of the characters [from, to) (0 for an empty or reversed range).
    int32_t RangeWidth(int32_t from, int32_t to) const;
    void Render();

    std::wstring text_;
    std::array<VTTextAttr, kTextAttrCount> attrs_{};
    std::unique_ptr<VTTexture> normal_;
    std::unique_ptr<VTTexture> disabled_;
    std::unique_ptr<Fw::MemoryImage> textImage_;
    bool imageValid_ = false;
    bool caretShown_ = false;
    bool wordDrag_ = false;
    int32_t caret_ = 0;
    int32_t anchor_ = -1;
    int32_t blinkCounter_ = 0;
    int32_t firstVisible_ = 0;
    EditState undo_;
    int32_t lastEditPosition_ = -1; // caret of the last typing or deleting step (-1: none)
};
