// What an engine widget draws: a still image or frames played at a frame rate, a source
// rectangle inside each frame, a draw matrix and clip rectangle set by the owning widget, an
// additive flag and an optional mask texture. Owned by its widget (or list, bar, cursor); frames
// are handles into the texture catalogue, which must outlive the texture. Not locked: one
// texture is used by one thread at a time.
#pragma once
#include "engine/core/ImageRef.h"
#include "framework/core/Matrix3.h"
#include "framework/graphics/Rect.h"
#include "platform/XmlDocument.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class VTTextureCatalogue;

namespace Fw {
class Graphics;
class MemoryImage;
} // namespace Fw

// One still frame as script glue and lists describe it: an image name and its source rectangle.
struct VTFrameDesc {
    std::string image;
    int32_t u = 0, v = 0, width = 0, height = 0;
};

class VTTexture {
public:
    VTTexture() = default;
    // Copies frames (without loads), source rectangle, additive, animation state and enabled; the
    // copy has no clip rectangle and no mask, and its owner sets its matrices before use.
    VTTexture(const VTTexture& other);
    VTTexture& operator=(const VTTexture&) = delete;
    // Releases every frame.
    virtual ~VTTexture();

    // Sets the source rectangle, frame rate, count and oneshot, appends the frames (names made as
    // FrameName does, looked up with create so raw paths work), then sets additive.
    void Init(VTTextureCatalogue& catalogue, const std::string& baseName, int32_t u, int32_t v, int32_t width,
              int32_t height, int32_t fps, int32_t count, bool oneshot, bool additive);
    // Reads "u", "v", "width", "height" (defaults 0, 0 and the given size), "fps" (0), "count" (1),
    // "oneshot" (1), "texture" (the base name) and "mode" ("additive" or normal). Frame names missing
    // from the catalogue give frames without a descriptor, which draw nothing.
    void LoadFromXml(VTTextureCatalogue& catalogue, const Platform::XmlNode& element, int32_t defaultWidth,
                     int32_t defaultHeight);
    // A still image of the record's image and rectangle.
    void InitFromDesc(VTTextureCatalogue& catalogue, const VTFrameDesc& desc);
    static std::unique_ptr<VTTexture> CreateFromDesc(VTTextureCatalogue& catalogue, const VTFrameDesc& desc);
    // Stops the animation and makes image (taken without a load) the only frame; the old frames'
    // loads are released.
    void SetSingleFrame(const VTImageRef& image);

    void SetRect(const Fw::Rect& rect);
    void SetMatrix(const Fw::Matrix3& m) { matrix = m; }
    void SetClipRect(const Fw::Rect& rect) { clipRect = rect; }

    // Loads every frame; UnloadFrames drops the loads again (the frames keep their descriptors).
    void LoadFrames();
    void UnloadFrames();

    // Animation step of seconds: at most one frame per call, the remaining time carried over.
    void Update(float seconds);
    // The current frame's source rectangle stretched into dest, additive when the flag is set.
    void Draw(Fw::Graphics& g, const Fw::Rect& dest);
    // The current frame through the draw matrix, clipped to the clip rectangle, with the mask (if
    // any). Leaves g's clip rectangle as it set it.
    void DrawTransformed(Fw::Graphics& g);
    // True when the pixel (u + x, v + y) of the current frame has alpha above 20.
    bool HitTest(int32_t x, int32_t y);
    // Frame 0's image (loaded on first use), or null.
    Fw::MemoryImage* GetFirstFrameImage();

    // The frame names of a base name: with fps, base + "%02d" of 0 .. count - 1; without, the base.
    static std::vector<std::string> FrameNames(const std::string& baseName, int32_t fps, int32_t count);

    std::vector<VTImageRef> frames;
    int32_t u = 0, v = 0, width = 0, height = 0;
    bool additive = false;
    Fw::Matrix3 matrix; // image space to screen, set by the owning widget
    Fw::Rect clipRect;  // set by the owning widget
    int32_t fps = 0;    // 0: a still image
    int32_t currentFrame = 0;
    int32_t frameCount = 0;
    bool oneshot = true; // stop on the last frame instead of looping
    float time = 0.0f;   // seconds accumulated toward the next frame
    bool enabled = true;
    VTTexture* mask = nullptr; // not owned
    Fw::Matrix3 maskMatrix;

private:
    void AppendFrames(VTTextureCatalogue& catalogue, const std::string& baseName, bool create);
    // The current frame's handle, or null when the index is outside the frame list.
    VTImageRef* CurrentFrame();
};
