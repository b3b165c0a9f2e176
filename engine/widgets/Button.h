// The engine's skinned push button: four state textures (normal, over, down, disabled; texture ids
// 0..3), a word-wrapped label in up to three passes (shadow, stroke, normal) cached as one picture,
// presses, clicks, the held state and hovering reported to one button listener under the button's
// id, and hover and click sounds. Built from skin XML ("vtbutton" elements of dialogs).
#pragma once
#include "engine/widgets/CandyWidget.h"
#include "engine/widgets/SkinText.h"
#include "engine/widgets/TextImage.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class VTImageRef;
class VTDialog;
namespace Fw {
class AppBase;
class ButtonListener;
} // namespace Fw

class VTButton : public VTCandyWidget {
public:
    enum TextureId : int32_t { kNormal = 0, kOver = 1, kDown = 2, kDisabled = 3 };

    // listener receives every event (not owned; must outlive the button and not be null).
    VTButton(VTCandyWidget* engineParent, int32_t id, Fw::ButtonListener* listener);
    ~VTButton() override;

    // A fresh id no other button made through it shares (dialogs give one to each button they make).
    static int32_t NextUniqueId();
    // The button of a dialog's "vtbutton" element: a unique id, the dialog as listener, loaded.
    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // Reads the common properties, "label" (a localisation key), "line_spacing" (-1), "justify" (0),
    // "valign" (0), "hoffset" (0), "snd_hover", "snd_click", the state textures and text attributes.
    virtual void LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner);
    // index 0..2 (shadow, stroke, normal); other indices are ignored. The cached label stays valid.
    virtual void SetTextAttr(int32_t index, Fw::Font* font, const Fw::Color& color, const Fw::Color& hoverColor,
                             const Fw::Color& disabledColor);
    // One image as the still frame of every state texture the button has.
    virtual void SetAllImages(const VTImageRef& image);
    // The same for the one state texture of that id, if the button has it.
    virtual void SetImage(const VTImageRef& image, int32_t textureId);
    // Finished (already localised) text.
    virtual void SetLabel(const std::wstring& label);
    virtual void SetId(int32_t id) { id_ = id; }

    int32_t GetId() const { return id_; }
    const std::wstring& GetLabel() const { return label_; }
    const VTTextAttr& GetTextAttr(int32_t index) const { return attrs_.at(static_cast<size_t>(index)); }
    const std::string& GetHoverSound() const { return hoverSound_; }
    const std::string& GetClickSound() const { return clickSound_; }
    Fw::MemoryImage* GetLabelImage() const { return labelImage_.GetImage(); }

    void Update() override;
    void Draw(Fw::Graphics* g) override;
    void MouseEnter() override;
    void MouseLeave() override;
    void MouseMove(int32_t mx, int32_t my) override;
    void MouseDown(int32_t mx, int32_t my, int button, int clickCount) override;
    void MouseUp(int32_t mx, int32_t my, int button, int clickCount) override;
    void OnBecameHidden() override;

    int32_t lineSpacing = -1;
    int32_t justification = 0;     // 0 centred, 1 right, other left
    int32_t verticalAlignment = 0; // 0 centred, 1 bottom, other top
    int32_t labelOffsetY = 0;      // "hoffset"

private:
    void SelectStateTexture();
    Fw::Rect LabelRect() const;

    int32_t id_;
    std::wstring label_;
    std::string hoverSound_, clickSound_;
    std::array<VTTextAttr, kTextAttrCount> attrs_{};
    Fw::ButtonListener* listener_;
    VTTextImage labelImage_;
};
