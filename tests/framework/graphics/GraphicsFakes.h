// Fakes for the graphics tests: an image registry standing in for the application, an image
// that records the drawing calls a context makes, and a fixed-advance font that records text.
#pragma once
#include "framework/graphics/Font.h"
#include "framework/display/NativeDisplay.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/MemoryImage.h"

#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace Fw {
// Readable rectangles and colours in failure messages.
inline void PrintTo(const Rect& r, std::ostream* os)
{
    *os << "(" << r.x << "," << r.y << "," << r.width << "," << r.height << ")";
}
inline void PrintTo(const Color& c, std::ostream* os)
{
    *os << "rgba(" << c.red << "," << c.green << "," << c.blue << "," << c.alpha << ")";
}
} // namespace Fw

namespace FwTest {

class FakeImageRegistry : public Fw::ImageRegistry {
public:
    void AddMemoryImage(Fw::MemoryImage* image) override { images.insert(image); }
    void RemoveMemoryImage(Fw::MemoryImage* image) override { images.erase(image); }
    void RemoveImageTextureData(Fw::MemoryImage* image) override { textureDrops.push_back(image); }
    void RequestSharedImageCleanUp() override { cleanUpRequested = true; }
    bool Is3DAccelerated() override { return threeD; }
    Fw::NativeDisplay* GetNativeDisplay() override { return display; }

    std::set<Fw::MemoryImage*> images;
    std::vector<Fw::MemoryImage*> textureDrops;
    bool cleanUpRequested = false;
    bool threeD = false;
    Fw::NativeDisplay* display = nullptr;
};

// Installs a fake registry as the default for the lifetime of the object.
struct ScopedRegistry {
    FakeImageRegistry registry;
    ScopedRegistry() { Fw::SetDefaultImageRegistry(&registry); }
    ~ScopedRegistry() { Fw::SetDefaultImageRegistry(nullptr); }
};

struct DrawCall {
    std::string op;
    Fw::Rect rect;     // destination rectangle (fill, outline, stretch) or (x, y, 0, 0) of a blit
    Fw::Rect src;      // source rectangle of image operations
    double line[4] = {0, 0, 0, 0};
    Fw::Color color;
    int32_t drawMode = 0;
    Fw::Rect clip;
    bool flag = false; // fast stretch / blend
};

class RecordingImage : public Fw::Image {
public:
    RecordingImage(int32_t w, int32_t h)
    {
        width = w;
        height = h;
    }
    void FillRect(const Fw::Rect& r, const Fw::Color& c, int32_t mode) override
    {
        calls.push_back({"FillRect", r, {}, {}, c, mode, {}, false});
    }
    void DrawRect(const Fw::Rect& r, const Fw::Color& c, int32_t mode) override
    {
        calls.push_back({"DrawRect", r, {}, {}, c, mode, {}, false});
    }
    void DrawLine(double x1, double y1, double x2, double y2, const Fw::Color& c, int32_t mode) override
    {
        calls.push_back({"DrawLine", {}, {}, {x1, y1, x2, y2}, c, mode, {}, false});
    }
    void Blt(Fw::Image*, int32_t x, int32_t y, const Fw::Rect& s, const Fw::Color& c, int32_t mode) override
    {
        calls.push_back({"Blt", Fw::Rect(x, y, 0, 0), s, {}, c, mode, {}, false});
    }
    void StretchBlt(Fw::Image*, const Fw::Rect& d, const Fw::Rect& s, const Fw::Rect& clip, const Fw::Color& c,
                    int32_t mode, bool fast) override
    {
        calls.push_back({"StretchBlt", d, s, {}, c, mode, clip, fast});
    }
    void BltMatrix(Fw::Image*, float x, float y, const Fw::Matrix3&, const Fw::Rect& clip, const Fw::Color& c,
                   int32_t mode, const Fw::Rect& s, bool blend, const Fw::SecondTexture&) override
    {
        calls.push_back({"BltMatrix", Fw::Rect(int32_t(x), int32_t(y), 0, 0), s, {}, c, mode, clip, blend});
    }
    std::vector<DrawCall> calls;
};

// Every character advances 10 pixels, except 'W' (30); no kerning. Records each DrawString.
class FakeFont : public Fw::Font {
public:
    FakeFont()
    {
        ascent = 8;
        ascentPadding = 1;
        height = 12;
        lineSpacingOffset = 2; // line spacing 14
    }
    static int32_t Advance(wchar_t c) { return c == L'W' ? 30 : 10; }
    int32_t StringWidth(const std::wstring& s) override
    {
        int32_t w = 0;
        for (wchar_t c : s)
            w += Advance(c);
        return w;
    }
    int32_t CharWidthKern(wchar_t c, wchar_t) override { return Advance(c); }
    void DrawString(Fw::Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Fw::Color& color,
                    const Fw::Rect&) override
    {
        drawn.push_back({x, y, text, color, g->destImage});
    }
    Fw::Font* Duplicate() override { return new FakeFont(*this); }

    struct Drawn {
        int32_t x, y;
        std::wstring text;
        Fw::Color color;
        Fw::Image* dest;
    };
    std::vector<Drawn> drawn;
};

} // namespace FwTest
