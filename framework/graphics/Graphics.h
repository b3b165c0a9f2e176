// Drawing context: one destination image plus the state every drawing call applies (translation,
// scale, clip, colour, font, draw mode, behaviour flags), and a stack of saved states. It
// translates and clips, then calls one virtual operation of the destination image. Text layout
// with colour tags and word wrapping lives here too (GraphicsText.cpp).
#pragma once
#include "framework/graphics/Color.h"
#include "framework/graphics/GlyphPlacement.h"
#include "framework/graphics/Image.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/SecondTexture.h"

#include <cstdint>
#include <list>
#include <string>

namespace Fw {

class Font;
class MemoryImage;
class Matrix3;

// The state that PushState saves and PopState restores, destination and font included.
struct GraphicsState {
    Image* destImage = nullptr; // not owned
    float transX = 0.0f, transY = 0.0f;         // added to every coordinate
    float scaleX = 1.0f, scaleY = 1.0f;         // scale of image drawing
    float scaleOrigX = 0.0f, scaleOrigY = 0.0f; // origin of the scale, in translated coordinates
    Rect clipRect;                              // in destination-image coordinates
    Color color = Color::Black;
    Font* font = nullptr;           // not owned
    int32_t drawMode = DRAWMODE_NORMAL;
    bool colorizeImages = false;    // images are modulated by the current colour
    bool fastStretch = false;       // nearest-pixel stretching
    bool colorTagsEnabled = true;   // '^' starts a colour tag in text
    bool linearBlend = false;       // bilinear filtering in the matrix blit
    bool is3D = false;              // the destination draws through the 3-D renderer
};

class Graphics : public GraphicsState {
public:
    // The 0 x 0 image that draws nothing: the destination of a context made without one.
    static Image NullImage;

    explicit Graphics(Image* destImage = nullptr);
    // Copies the state; the state stack starts empty and the second texture is cleared.
    Graphics(const Graphics& other);
    Graphics& operator=(const Graphics&) = delete;
    virtual ~Graphics();

    // A new context copying this one (the caller deletes it).
    Graphics* Create() const;

    void PushState();
    // Restores the newest saved state; nothing on an empty stack.
    void PopState();

    Font* GetFont() const { return font; }
    void SetFont(Font* f) { font = f; }
    Color& GetColor() { return color; }
    void SetColor(const Color& c) { color = c; }
    int32_t GetDrawMode() const { return drawMode; }
    void SetDrawMode(int32_t mode) { drawMode = mode; }
    bool GetColorizeImages() const { return colorizeImages; }
    void SetColorizeImages(bool on) { colorizeImages = on; }
    void SetFastStretch(bool on) { fastStretch = on; }
    void SetLinearBlend(bool on) { linearBlend = on; }

    void Translate(int32_t x, int32_t y);
    // Clip = the translated rectangle within the destination.
    void SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h);
    // Clip = the current clip intersected with the translated rectangle (only shrinks).
    void ClipRect(int32_t x, int32_t y, int32_t w, int32_t h);

    // Drawing; coordinates are before translation.
    void FillRect(int32_t x, int32_t y, int32_t w, int32_t h);
    // Outline of the (w + 1) x (h + 1) box with corners (x, y) and (x + w, y + h).
    void DrawRect(int32_t x, int32_t y, int32_t w, int32_t h);
    void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void DrawImage(Image* image, int32_t x, int32_t y);
    void DrawImage(Image* image, int32_t x, int32_t y, const Rect& srcRect);
    void DrawImage(Image* image, int32_t x, int32_t y, int32_t w, int32_t h);
    void DrawImage(Image* image, const Rect& destRect, const Rect& srcRect);
    // x, y and the matrix are in destination coordinates: the translation is not applied.
    void DrawImageMatrix(Image* image, const Matrix3& matrix, const Rect& srcRect, float x, float y);
    // Nine-cell box: corners at their own size, edges and centre tiled.
    void DrawImageBox(const Rect& srcRect, const Rect& destRect, Image* image);
    void DrawImageBox(const Rect& destRect, Image* image);
    // The string with its baseline at y, in the current font and colour; nothing without a font.
    void DrawString(const std::wstring& text, int32_t x, int32_t y);
    // Glyphs of one palette image, each drawn as DrawImage(image, x, y, src) would draw it, in one
    // pass over the destination. False, with nothing drawn, when they must go one by one through
    // DrawImage (not a memory image, another draw mode, scaling, or a source it cannot read so).
    bool DrawGlyphs(MemoryImage* image, const GlyphPlacement* glyphs, size_t count);

    // Text layout. WriteString draws (or only measures) one line, honouring colour tags, and
    // returns its width. justification: 0 centred in width, 1 right, other left. length < 0 means
    // to the end; oldColor -1 means the current colour.
    int32_t WriteString(const std::wstring& text, int32_t x, int32_t y, int32_t width = -1,
                        int32_t justification = -1, bool draw = true, int32_t offset = 0, int32_t length = -1,
                        int32_t oldColor = -1);
    // Breaks text into lines inside rect and writes them; returns the height used. lineSpacing -1:
    // the font's. maxWidth (may be null) receives the widest line; maxChars < 0: all; lastWidth
    // (may be null) gives the first line's x offset and receives the last line's width.
    int32_t WriteWordWrapped(const Rect& rect, const std::wstring& text, int32_t lineSpacing = -1,
                             int32_t justification = -1, int32_t* maxWidth = nullptr, int32_t maxChars = -1,
                             int32_t* lastWidth = nullptr, bool forward = true);
    // The height WriteWordWrapped would use with this font, drawing nothing.
    int32_t GetWordWrappedHeight(int32_t width, const std::wstring& text, int32_t lineSpacing = -1,
                                 int32_t* maxWidth = nullptr);

    // Mask parameters handed unchanged to the destination's BltMatrix.
    SecondTexture secondTexture;

private:
    // The colour images are drawn with: the current colour when colourising, else white.
    const Color& ImageColor() const { return colorizeImages ? color : Color::White; }
    int32_t WriteLine(const std::wstring& text, int32_t x, int32_t y, int32_t width, int32_t justification,
                      int32_t start, int32_t count, int32_t maxChars, int32_t oldColor);

    std::list<GraphicsState> stateStack; // newest first
};

} // namespace Fw
