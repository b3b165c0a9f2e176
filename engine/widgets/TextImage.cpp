// Cached text pictures of buttons and texts.
#include "engine/widgets/TextImage.h"

#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

VTTextImage::VTTextImage() = default;
VTTextImage::~VTTextImage() = default;

void VTTextImage::Reset()
{
    image_.reset();
    valid_ = false;
}

bool VTTextImage::Prepare(int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return false;
    if (!image_ || image_->GetWidth() != width || image_->GetHeight() != height) {
        image_ = std::make_unique<Fw::MemoryImage>();
        image_->Create(width, height);
        valid_ = false;
    }
    return true;
}

int32_t VTTextImage::WrappedHeight(const std::array<VTTextAttr, kTextAttrCount>& attrs, int32_t width,
                                   const std::wstring& text, int32_t lineSpacing)
{
    Fw::Font* font = attrs[kTextAttrNormal].font;
    if (!font)
        return 0;
    Fw::Graphics g;
    g.SetFont(font);
    return g.GetWordWrappedHeight(width, text, lineSpacing);
}

void VTTextImage::Render(const std::array<VTTextAttr, kTextAttrCount>& attrs, bool disabled, const Fw::Rect& rect,
                         const std::wstring& text, int32_t lineSpacing, int32_t justification)
{
    if (valid_ || !image_)
        return;
    valid_ = true;
    image_->Clear();
    if (!attrs[kTextAttrNormal].font)
        return;
    Fw::Graphics g(image_.get());
    for (const VTTextAttr& attr : attrs) {
        if (!attr.font)
            continue;
        g.SetFont(attr.font);
        g.SetColor(disabled ? attr.disabledColor : attr.color);
        g.WriteWordWrapped(rect, text, lineSpacing, justification, nullptr, -1, nullptr, true);
    }
}

void VTTextImage::Draw(Fw::Graphics& g, const Fw::Matrix3& matrix, const Fw::Rect& clip, int32_t width,
                       int32_t height)
{
    if (!image_ || !g.destImage)
        return;
    g.clipRect = clip.Intersection(Fw::Rect(0, 0, g.destImage->GetWidth(), g.destImage->GetHeight()));
    g.DrawImageMatrix(image_.get(), matrix, Fw::Rect(0, 0, width, height), 0.0f, 0.0f);
}
