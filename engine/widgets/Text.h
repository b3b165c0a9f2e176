// The engine's static text label: a template label whose %key% names are replaced by the values of
// the engine's key table (re-rendered, with "onchange" fired on its effect, when a used value
// changes), drawn word-wrapped in up to three passes into a cached picture, optionally only its
// first n characters (the typewriter effect), or a linked image in place of any text. Textures:
// 0 normal, 1 disabled. Built from "vttext" skin elements.
#pragma once
#include "engine/effects/TypeInTarget.h"
#include "engine/widgets/CandyWidget.h"
#include "engine/widgets/SkinText.h"
#include "engine/widgets/TextImage.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

class VTImageRef;
class VTDialog;
namespace Fw {
class AppBase;
class Image;
} // namespace Fw

class VTText : public VTCandyWidget, public VTTypeInTarget {
public:
    enum TextureId : int32_t { kNormal = 0, kDisabled = 1 };

    // owner is kept for the script side; the text does not use it.
    explicit VTText(VTCandyWidget* engineParent, Fw::AppBase* owner = nullptr);
    ~VTText() override;

    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // Reads the common properties, "label" (a localisation key), "line_spacing" (-1), "justify"
    // (-1), "fps" (0), "valign" (-1), "hoffset" (0), "oneshot", the text attributes and the
    // "normal" and "disabled" textures.
    virtual void LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner);
    // A new template; the display text is rebuilt at the next update while visible.
    virtual void SetLabel(const std::wstring& label);
    // index 0..2 (shadow, stroke, normal); other indices are ignored.
    virtual void SetTextAttr(int32_t index, Fw::Font* font, const Fw::Color& color, const Fw::Color& disabledColor);
    // Shows only the first length characters of the display text until the next update of the
    // visible text (which shows the whole text again): set it after the frame's updates.
    void SetShownLength(int32_t length) override;
    // The number of characters of the display text.
    int32_t DisplayedTextLength() const override { return static_cast<int32_t>(displayText_.size()); }
    // An image drawn stretched over the widget in place of textures and text (not owned; null
    // switches back to text).
    virtual void SetLinkedObject(Fw::Image* image) { linkedImage_ = image; }
    // image as the still frame of the normal and the disabled texture, each that exists.
    virtual void SetImages(const VTImageRef& image);
    // which 0: the normal texture, 1: the disabled one (when it exists): image as its still frame
    // and source as its rectangle; other values do nothing.
    virtual void SetImage(int32_t which, const VTImageRef& image, const Fw::Rect& source);

    const std::wstring& GetLabel() const { return label_; }
    const std::wstring& GetDisplayText() const { return displayText_; }
    int32_t GetShownLength() const { return shownLength_; }
    const VTTextAttr& GetTextAttr(int32_t index) const { return attrs_.at(static_cast<size_t>(index)); }
    Fw::MemoryImage* GetTextImage() const { return textImage_.GetImage(); }
    Fw::AppBase* GetOwner() const { return owner_; }

    void Update() override;
    void Draw(Fw::Graphics* g) override;
    void SetDisabled(bool d) override;
    void OnBecameHidden() override;

    int32_t justification = -1;     // 0 centred, 1 right, other left
    int32_t verticalAlignment = -1; // -1 top, 0 centred, 1 bottom (others: top)
    int32_t lineSpacing = -1;
    int32_t labelOffsetY = 0;       // "hoffset"
    int32_t framesPerSecond = 0;    // "fps": kept for scripts
    bool oneShot = false;           // "oneshot": kept for scripts

protected:
    // Rebuilds the display text when the label changed or a used key's value did.
    void RefreshDisplayText();

private:
    void SelectTexture();
    Fw::Rect TextRect() const;

    Fw::AppBase* owner_;
    std::wstring label_;
    bool keysResolved_ = false;
    std::map<std::string, std::wstring> usedKeyValues_;
    std::wstring displayText_;
    std::array<VTTextAttr, kTextAttrCount> attrs_{};
    int32_t shownLength_ = 0;
    VTTextImage textImage_;
    Fw::Image* linkedImage_ = nullptr;
};
