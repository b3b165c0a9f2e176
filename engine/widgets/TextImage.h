// The cached picture of a widget's word-wrapped text (buttons, texts): a memory image as large as
// the widget, rebuilt only after an invalidation or a size change, and drawn through the widget's
// transform. Rendering writes up to three passes (shadow, stroke, normal) into the same rectangle.
#pragma once
#include "engine/widgets/SkinText.h"
#include "framework/core/Matrix3.h"
#include "framework/graphics/Rect.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace Fw {
class Graphics;
class MemoryImage;
} // namespace Fw

class VTTextImage {
public:
    VTTextImage();
    ~VTTextImage();
    VTTextImage(const VTTextImage&) = delete;
    VTTextImage& operator=(const VTTextImage&) = delete;

    void Invalidate() { valid_ = false; }
    bool IsValid() const { return valid_; }
    // Frees the picture (it is made again at the next Prepare).
    void Reset();
    // Makes the picture width x height when it is missing or of another size (it is then invalid);
    // false when either size is 0 or less (nothing to draw into).
    bool Prepare(int32_t width, int32_t height);
    // When invalid: marks it valid, clears it to transparent and, when slot 2 has a font, writes
    // text into rect once per slot that has a font (0, 1, 2), in the slot's colour or, disabled, its
    // disabled colour. Call after Prepare.
    void Render(const std::array<VTTextAttr, kTextAttrCount>& attrs, bool disabled, const Fw::Rect& rect,
                const std::wstring& text, int32_t lineSpacing, int32_t justification);
    // Draws the picture's (0, 0, width, height) through matrix, clipped to clip.
    void Draw(Fw::Graphics& g, const Fw::Matrix3& matrix, const Fw::Rect& clip, int32_t width, int32_t height);

    Fw::MemoryImage* GetImage() const { return image_.get(); }

    // The height the text takes when wrapped at width with the normal slot's font (0 without it).
    static int32_t WrappedHeight(const std::array<VTTextAttr, kTextAttrCount>& attrs, int32_t width,
                                 const std::wstring& text, int32_t lineSpacing);

private:
    std::unique_ptr<Fw::MemoryImage> image_;
    bool valid_ = false;
};
