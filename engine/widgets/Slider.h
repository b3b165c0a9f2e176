// An integer value between 0 and a maximum set by a press inside a mouse zone (no dragging), shown
// by a bar child ("bar") and a thumb child ("thumb") moved along the slider's width, over an optional
// background child ("back"). Every child lets clicks through to the slider. Built from "vtslider"
// skin elements.
#pragma once
#include "engine/widgets/CandyWidget.h"

#include <cstdint>
#include <memory>

class VTBar;
class VTDialog;
namespace Fw {
class AppBase;
}

class VTSlider : public VTCandyWidget {
public:
    explicit VTSlider(VTCandyWidget* engineParent);
    ~VTSlider() override;

    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // The common properties, "mz_x", "mz_y", "mz_width", "mz_height", "mz_dz1", "mz_dz2" (absent: 0)
    // and the children "back" (a text), "bar" (a bar) and "thumb" (a text whose x is the margin kept
    // free at both ends of its travel) from "element" children of those names.
    virtual void LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner);
    // The value for a press at (x, y) in the slider's coordinates: nothing outside the zone (or for a
    // zone of width 0 or less); the maximum beyond width - high dead zone, 0 below the low dead zone,
    // else the zone fraction of the maximum (truncated).
    virtual void SetValueAtPoint(int32_t x, int32_t y);
    virtual void SetMaximum(int32_t maximum);
    virtual void SetValue(int32_t value);
    virtual int32_t GetValue() const { return value_; }
    int32_t GetMaximum() const { return maximum_; }

    VTBar* GetBar() const { return bar_; }
    VTCandyWidget* GetThumb() const { return thumb_; }
    VTCandyWidget* GetBack() const { return back_; }

    // Clamps the value and moves the thumb, while visible with the ancestors.
    void Update() override;
    // The slider, then its bar when the bar is not drawn as a visible child anyway.
    void Draw(Fw::Graphics* g) override;
    void MouseDown(int32_t mx, int32_t my, int button, int clickCount) override;
    void OnBecameVisible() override;
    void OnBecameHidden() override;
    // Clears the child's mouse-visible flag; "back", "bar" and "thumb" are remembered.
    void AddChild(const std::string& name, VTCandyWidget* child) override;
    void RemoveChild(const std::string& name) override;

    int32_t zoneX = 0, zoneY = 0, zoneWidth = 0, zoneHeight = 0; // the mouse zone, slider coordinates
    int32_t lowDeadZone = 0;  // "mz_dz1": a press left of it gives 0
    int32_t highDeadZone = 0; // "mz_dz2": a press right of width - it gives the maximum
    int32_t thumbMargin = 0;  // kept free at both ends of the thumb's travel

private:
    int32_t maximum_ = 0;
    int32_t value_ = 0;
    VTBar* bar_ = nullptr;
    VTCandyWidget* thumb_ = nullptr;
    VTCandyWidget* back_ = nullptr;
};
