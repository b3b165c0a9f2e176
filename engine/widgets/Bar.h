// A value between 0 and a maximum shown as a row of equal segments: the first ones with the "fill"
// texture, the rest with the "empty" texture. Built from "vtbar" skin elements; sliders show their
// value with one.
#pragma once
#include "engine/core/Texture.h"
#include "engine/widgets/CandyWidget.h"

#include <cstdint>
#include <memory>

class VTDialog;
namespace Fw {
class AppBase;
}

class VTBar : public VTCandyWidget {
public:
    explicit VTBar(VTCandyWidget* engineParent);
    ~VTBar() override;

    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // The common properties, "seg_width" (absent or 0 or less: the fill image's width), and the
    // "fill" and "empty" texture children with "texture" (a catalogue image name), "u", "v" (0) and
    // "height" (the bar's height).
    virtual void LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner);
    // Value of a full bar; 0 or less draws nothing.
    virtual void SetMaximum(int32_t maximum) { maximum_ = maximum; }
    virtual void SetValue(int32_t value) { value_ = value; }
    // One image as the still frame of both bar textures.
    virtual void SetImages(const VTImageRef& image);

    int32_t GetMaximum() const { return maximum_; }
    int32_t GetValue() const { return value_; }
    // The segment width the bar draws with: the fill texture's source width, else its image's width
    // (0 when neither is known).
    int32_t SegmentWidth();
    VTTexture& FillTexture() { return fill_; }
    VTTexture& EmptyTexture() { return empty_; }

    void Draw(Fw::Graphics* g) override;
    void OnBecameVisible() override;
    void OnBecameHidden() override;

private:
    int32_t maximum_ = 1;
    int32_t value_ = 0;
    VTTexture fill_;
    VTTexture empty_;
};
