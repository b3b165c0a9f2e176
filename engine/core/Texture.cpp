// Textures: frames from the catalogue, the animation step and drawing (stretched or through the
// widget's matrix, with an optional mask).
#include "engine/core/Texture.h"

#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAttributes.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include <cstdio>

namespace {

// Room of the original's texture-name buffer, terminator included.
constexpr size_t kTextureNameBuffer = 128;
// Alpha a pixel needs to count as hit.
constexpr uint32_t kHitAlpha = 20;

} // namespace

VTTexture::VTTexture(const VTTexture& other)
    : frames(other.frames), u(other.u), v(other.v), width(other.width), height(other.height),
      additive(other.additive), fps(other.fps), currentFrame(other.currentFrame),
      frameCount(other.frameCount), oneshot(other.oneshot), time(other.time), enabled(other.enabled)
{
}

VTTexture::~VTTexture() = default;

std::vector<std::string> VTTexture::FrameNames(const std::string& baseName, int32_t fps, int32_t count)
{
    std::vector<std::string> names;
    if (fps == 0) {
        names.push_back(baseName);
        return names;
    }
    for (int32_t i = 0; i < count; ++i) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%02d", static_cast<int>(i));
        names.push_back(baseName + suffix);
    }
    return names;
}

void VTTexture::AppendFrames(VTTextureCatalogue& catalogue, const std::string& baseName, bool create)
{
    for (const std::string& name : FrameNames(baseName, fps, frameCount))
        frames.push_back(catalogue.GetImage(name, create));
}

void VTTexture::Init(VTTextureCatalogue& catalogue, const std::string& baseName, int32_t u_, int32_t v_,
                     int32_t width_, int32_t height_, int32_t fps_, int32_t count, bool oneshot_,
                     bool additive_)
{
    SetRect(Fw::Rect(u_, v_, width_, height_));
    fps = fps_;
    frameCount = count;
    oneshot = oneshot_;
    AppendFrames(catalogue, baseName, true);
    additive = additive_;
}

void VTTexture::LoadFromXml(VTTextureCatalogue& catalogue, const Platform::XmlNode& element,
                            int32_t defaultWidth, int32_t defaultHeight)
{
    int32_t x = 0, y = 0, w = defaultWidth, h = defaultHeight, rate = 0, count = 1, once = 1;
    XmlGetAttributeInt(element, "u", x);
    XmlGetAttributeInt(element, "v", y);
    XmlGetAttributeInt(element, "width", w);
    XmlGetAttributeInt(element, "height", h);
    XmlGetAttributeInt(element, "fps", rate);
    XmlGetAttributeInt(element, "count", count);
    XmlGetAttributeInt(element, "oneshot", once);
    std::string baseName, mode;
    XmlGetAttributeString(element, "texture", baseName, kTextureNameBuffer);
    SetRect(Fw::Rect(x, y, w, h));
    fps = rate;
    frameCount = count;
    oneshot = once != 0;
    AppendFrames(catalogue, baseName, false);
    XmlGetAttributeStdString(element, "mode", mode);
    additive = mode == "additive";
}

void VTTexture::InitFromDesc(VTTextureCatalogue& catalogue, const VTFrameDesc& desc)
{
    Init(catalogue, desc.image, desc.u, desc.v, desc.width, desc.height, 0, 0, false, false);
}

std::unique_ptr<VTTexture> VTTexture::CreateFromDesc(VTTextureCatalogue& catalogue, const VTFrameDesc& desc)
{
    auto texture = std::make_unique<VTTexture>();
    texture->InitFromDesc(catalogue, desc);
    return texture;
}

void VTTexture::SetSingleFrame(const VTImageRef& image)
{
    fps = 0;
    currentFrame = 0;
    time = 0.0f;
    frameCount = 1;
    oneshot = true;
    VTImageRef kept(image); // image may be one of the frames about to go
    frames.clear();         // each handle releases its load
    frames.push_back(std::move(kept));
}

void VTTexture::SetRect(const Fw::Rect& rect)
{
    u = rect.x;
    v = rect.y;
    width = rect.width;
    height = rect.height;
}

void VTTexture::LoadFrames()
{
    for (VTImageRef& frame : frames)
        frame.Load();
}

void VTTexture::UnloadFrames()
{
    for (VTImageRef& frame : frames)
        frame.Unload();
}

void VTTexture::Update(float seconds)
{
    if (fps == 0)
        return;
    time += seconds;
    const float step = 1.0f / static_cast<float>(fps);
    if (time >= step) {
        ++currentFrame;
        time -= step;
        if (currentFrame >= frameCount)
            currentFrame = (oneshot && frameCount > 0) ? frameCount - 1 : 0;
    }
}

VTImageRef* VTTexture::CurrentFrame()
{
    if (currentFrame < 0 || static_cast<size_t>(currentFrame) >= frames.size())
        return nullptr;
    return &frames[static_cast<size_t>(currentFrame)];
}

void VTTexture::Draw(Fw::Graphics& g, const Fw::Rect& dest)
{
    VTImageRef* frame = CurrentFrame();
    Fw::MemoryImage* image = frame ? frame->GetImage() : nullptr;
    if (!image)
        return;
    if (additive)
        g.SetDrawMode(Fw::DRAWMODE_ADDITIVE);
    g.DrawImage(image, dest, Fw::Rect(u, v, width, height));
    if (additive)
        g.SetDrawMode(Fw::DRAWMODE_NORMAL);
}

void VTTexture::DrawTransformed(Fw::Graphics& g)
{
    VTImageRef* frame = CurrentFrame();
    if (!enabled || !frame || !frame->Descriptor())
        return;
    if (additive)
        g.SetDrawMode(Fw::DRAWMODE_ADDITIVE);
    g.clipRect = clipRect.Intersection(Fw::Rect(0, 0, g.destImage->GetWidth(), g.destImage->GetHeight()));
    if (mask) {
        g.secondTexture.image = mask->GetFirstFrameImage();
        g.secondTexture.srcRect = Fw::Rect(mask->u, mask->v, mask->width, mask->height);
        g.secondTexture.clipRect = mask->clipRect;
        g.secondTexture.matrix = maskMatrix;
    } else {
        g.secondTexture.image = nullptr;
    }
    g.DrawImageMatrix(frame->GetImage(), matrix, Fw::Rect(u, v, width, height), 0.0f, 0.0f);
    g.secondTexture.image = nullptr;
    if (additive)
        g.SetDrawMode(Fw::DRAWMODE_NORMAL);
}

bool VTTexture::HitTest(int32_t x, int32_t y)
{
    VTImageRef* frame = CurrentFrame();
    Fw::MemoryImage* image = frame ? frame->GetImage() : nullptr;
    if (!image)
        return false;
    const int32_t px = u + x, py = v + y;
    if (px < 0 || py < 0 || px >= image->GetWidth() || py >= image->GetHeight())
        return false;
    const uint32_t* bits = image->GetBits();
    if (!bits)
        return false;
    const size_t index =
        static_cast<size_t>(py) * static_cast<size_t>(image->GetWidth()) + static_cast<size_t>(px);
    return (bits[index] >> 24) > kHitAlpha;
}

Fw::MemoryImage* VTTexture::GetFirstFrameImage()
{
    return frames.empty() ? nullptr : frames.front().GetImage();
}
