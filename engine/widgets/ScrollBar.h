// A position between 0 and a maximum, stepped by an up and a down button and shown by a slider button
// moved along a track. Lists page with one (their child "scroll"). The scroll bar listens to its own
// buttons; only presses of up and down step it. Built from "vtscroll" skin elements or by lists in
// code. Buttons a skin leaves out are skipped.
#pragma once
#include "engine/widgets/CandyWidget.h"
#include "framework/widgets/ButtonListener.h"

#include <cstdint>
#include <memory>

class VTButton;
class VTDialog;
namespace Fw {
class AppBase;
}

class VTScrollBar : public VTCandyWidget, public Fw::ButtonListener {
public:
    enum ButtonId : int32_t { kUp = 1, kDown = 2, kSlider = 3 };

    explicit VTScrollBar(VTCandyWidget* engineParent);
    ~VTScrollBar() override;

    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // The common properties, "distx1", "disty1", "distx2", "disty2" (absent: unchanged) and the
    // buttons "up", "down", "slider" (ids 1, 2, 3) from "element" children of those names.
    virtual void LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner);
    // The largest position; the slider's state textures take the slider's height as their source
    // height, and the buttons hide while maximum < 1. lineCount is not used.
    void SetRange(int32_t maximum, int32_t lineCount);
    // Shows (false) or hides (true) the three buttons; the scroll bar's own disabled flag stays.
    void SetDisabled(bool hideButtons) override;

    int32_t GetMaximum() const { return maximum_; }
    VTButton* GetUpButton() const { return up_; }
    VTButton* GetDownButton() const { return down_; }
    VTButton* GetSliderButton() const { return slider_; }

    // Moves the slider to the position (clamped first to 0..maximum).
    void Update() override;
    void OnBecameVisible() override {}
    void OnBecameHidden() override {}
    // Children named "up", "down", "slider" that are buttons become the scroll bar's buttons.
    void AddChild(const std::string& name, VTCandyWidget* child) override;
    void RemoveChild(const std::string& name) override;

    // ---- Fw::ButtonListener ----
    // Up (1) steps back, down (2) forward, within 0..maximum; a list owning the scroll bar redraws.
    void ButtonDownById(int32_t id) override;

    int32_t position = 0;    // free between updates; the update clamps it
    int32_t trackXStart = 0; // "distx1": slider x at position 0
    int32_t trackXEnd = 0;   // "distx2": slider x at the maximum
    int32_t trackYStart = 0; // "disty1": slider y at position 0
    int32_t trackYEnd = 0;   // "disty2": the slider's height is taken off this end
    Fw::Color color = Fw::Color::Black; // kept for scripts

private:
    VTButton* up_ = nullptr;
    VTButton* down_ = nullptr;
    VTButton* slider_ = nullptr;
    int32_t maximum_ = 0;
};
