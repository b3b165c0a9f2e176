// Drawing context: state, translation and clipping of every drawing call, and the line clipper.
#include "framework/graphics/Graphics.h"

#include "framework/graphics/BlitGeometry.h"
#include "framework/graphics/Font.h"
#include "framework/core/Matrix3.h"

#include <cmath>
#include <utility>

namespace Fw {

// The image a drawing context made without a destination draws into: no pixels, 0 x 0.
Image Graphics::NullImage;

namespace {

// Float positions become pixels by truncation toward zero (not floor): -0.5 lands on 0.
int32_t TransCoord(int32_t v, float trans)
{
    return int32_t(float(v) + trans);
}

struct LineEnds {
    double x1, y1, x2, y2;
};

// Clips one axis of a line: a is the end with the smaller coordinate on that axis (pa), b the
// other. Ends left of lo move to lo, ends at or past hi move to hi - 1, both along the line.
// Returns false when the line lies wholly outside.
bool ClipAxis(double& pa, double& qa, double& pb, double& qb, double lo, double hi)
{
    if (lo > pa) {
        if (lo > pb)
            return false;
        qa += (lo - pa) * (qb - qa) / (pb - pa);
        pa = lo;
    }
    if (pb >= hi) {
        if (pa >= hi)
            return false;
        qb += ((hi - 1) - pb) * (qb - qa) / (pb - pa);
        pb = hi - 1;
    }
    return true;
}

// Clips a line against the clip rectangle: first in x (ends ordered by x), then in y (ordered by
// y). The result is ordered top first. Returns false when nothing is left.
bool ClipLine(LineEnds& l, const Rect& clip)
{
    if (l.x2 < l.x1) {
        std::swap(l.x1, l.x2);
        std::swap(l.y1, l.y2);
    }
    if (!ClipAxis(l.x1, l.y1, l.x2, l.y2, clip.x, double(clip.x) + clip.width))
        return false;
    if (l.y2 < l.y1) {
        std::swap(l.x1, l.x2);
        std::swap(l.y1, l.y2);
    }
    return ClipAxis(l.y1, l.x1, l.y2, l.x2, clip.y, double(clip.y) + clip.height);
}

} // namespace

Graphics::Graphics(Image* dest)
{
    destImage = dest ? dest : &NullImage;
    clipRect = Rect(0, 0, destImage->GetWidth(), destImage->GetHeight());
    is3D = destImage->Check3D();
}

Graphics::Graphics(const Graphics& other) : GraphicsState(other) {}

Graphics::~Graphics() = default;

Graphics* Graphics::Create() const
{
    return new Graphics(*this);
}

void Graphics::PushState()
{
    stateStack.push_front(static_cast<const GraphicsState&>(*this));
}

void Graphics::PopState()
{
    if (stateStack.empty())
        return;
    static_cast<GraphicsState&>(*this) = stateStack.front();
    stateStack.pop_front();
}

void Graphics::Translate(int32_t x, int32_t y)
{
    transX += float(x);
    transY += float(y);
}

void Graphics::SetClipRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    const Rect r(TransCoord(x, transX), TransCoord(y, transY), w, h);
    clipRect = r.Intersection(Rect(0, 0, destImage->GetWidth(), destImage->GetHeight()));
}

void Graphics::ClipRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    clipRect = clipRect.Intersection(Rect(TransCoord(x, transX), TransCoord(y, transY), w, h));
}

void Graphics::FillRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (color.alpha == 0)
        return;
    const Rect r = Rect(TransCoord(x, transX), TransCoord(y, transY), w, h).Intersection(clipRect);
    destImage->FillRect(r, color, drawMode);
}

void Graphics::DrawRect(int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (color.alpha == 0)
        return;
    const int32_t tx = TransCoord(x, transX), ty = TransCoord(y, transY);
    const Rect outer(tx, ty, w + 1, h + 1);
    if (outer.Intersection(clipRect) == outer) {
        destImage->DrawRect(Rect(tx, ty, w, h), color, drawMode);
        return;
    }
    FillRect(x, y, w + 1, 1);
    FillRect(x, y + h, w + 1, 1);
    FillRect(x, y + 1, 1, h - 1);
    FillRect(x + w, y + 1, 1, h - 1);
}

void Graphics::DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
{
    LineEnds l{double(x1) + transX, double(y1) + transY, double(x2) + transX, double(y2) + transY};
    if (!ClipLine(l, clipRect))
        return;
    destImage->DrawLine(l.x1, l.y1, l.x2, l.y2, color, drawMode);
}

void Graphics::DrawImage(Image* image, int32_t x, int32_t y)
{
    if (!image)
        return;
    if (scaleX == 1.0f && scaleY == 1.0f) {
        const int32_t tx = TransCoord(x, transX), ty = TransCoord(y, transY);
        const Rect r = Rect(tx, ty, image->GetWidth(), image->GetHeight()).Intersection(clipRect);
        if (r.width < 1 || r.height < 1)
            return;
        destImage->Blt(image, r.x, r.y, Rect(r.x - tx, r.y - ty, r.width, r.height), ImageColor(), drawMode);
        return;
    }
    DrawImage(image, x, y, Rect(0, 0, image->GetWidth(), image->GetHeight()));
}

void Graphics::DrawImage(Image* image, int32_t x, int32_t y, const Rect& srcRect)
{
    if (!image)
        return;
    Rect s = srcRect;
    if (s.x + s.width > image->GetWidth() || s.y + s.height > image->GetHeight())
        return;
    // A source starting left of or above the image keeps its placement but never reads outside
    // the image: the part outside is cut off and the destination moves with the cut.
    CutNegativeStart(s.x, x, s.width);
    CutNegativeStart(s.y, y, s.height);
    if (s.width < 1 || s.height < 1)
        return;

    const int32_t tx = TransCoord(x, transX), ty = TransCoord(y, transY);
    if (scaleX == 1.0f && scaleY == 1.0f) {
        const Rect r = Rect(tx, ty, s.width, s.height).Intersection(clipRect);
        if (r.width < 1 || r.height < 1)
            return;
        destImage->Blt(image, r.x, r.y, Rect(s.x + r.x - tx, s.y + r.y - ty, r.width, r.height), ImageColor(),
                       drawMode);
        return;
    }
    // Products in single precision, floor and ceil in double.
    const float px = (float(tx) - scaleOrigX) * scaleX;
    const float py = (float(ty) - scaleOrigY) * scaleY;
    const float pw = float(s.width) * scaleX;
    const float ph = float(s.height) * scaleY;
    const Rect dest(int32_t(std::floor(double(px)) + double(scaleOrigX)),
                    int32_t(std::floor(double(py)) + double(scaleOrigY)), int32_t(std::ceil(double(pw))),
                    int32_t(std::ceil(double(ph))));
    destImage->StretchBlt(image, dest, s, clipRect, ImageColor(), drawMode, fastStretch);
}

void Graphics::DrawImage(Image* image, int32_t x, int32_t y, int32_t w, int32_t h)
{
    if (!image)
        return;
    const Rect dest(TransCoord(x, transX), TransCoord(y, transY), w, h);
    destImage->StretchBlt(image, dest, Rect(0, 0, image->GetWidth(), image->GetHeight()), clipRect, ImageColor(),
                          drawMode, fastStretch);
}

void Graphics::DrawImage(Image* image, const Rect& destRect, const Rect& srcRect)
{
    if (!image)
        return;
    const Rect dest(TransCoord(destRect.x, transX), TransCoord(destRect.y, transY), destRect.width,
                    destRect.height);
    destImage->StretchBlt(image, dest, srcRect, clipRect, ImageColor(), drawMode, fastStretch);
}

void Graphics::DrawImageMatrix(Image* image, const Matrix3& matrix, const Rect& srcRect, float x, float y)
{
    if (!image)
        return;
    destImage->BltMatrix(image, x, y, matrix, clipRect, ImageColor(), drawMode, srcRect, linearBlend, secondTexture);
}

void Graphics::DrawImageBox(const Rect& s, const Rect& d, Image* image)
{
    if (!image || s.width < 1 || s.height < 1)
        return;
    const int32_t cw = s.width / 3, ch = s.height / 3;
    const int32_t mw = s.width - 2 * cw, mh = s.height - 2 * ch;
    const int32_t right = d.x + d.width - cw, bottom = d.y + d.height - ch;
    const int32_t srcRight = s.x + cw + mw, srcBottom = s.y + ch + mh;

    DrawImage(image, d.x, d.y, Rect(s.x, s.y, cw, ch));
    DrawImage(image, right, d.y, Rect(srcRight, s.y, cw, ch));
    DrawImage(image, d.x, bottom, Rect(s.x, srcBottom, cw, ch));
    DrawImage(image, right, bottom, Rect(srcRight, srcBottom, cw, ch));

    const int32_t cols = (d.width - 2 * cw + mw - 1) / mw;
    const int32_t rows = (d.height - 2 * ch + mh - 1) / mh;
    {
        Graphics g(*this);
        g.ClipRect(d.x + cw, d.y, d.width - 2 * cw, d.height);
        for (int32_t i = 0; i < cols; ++i) {
            g.DrawImage(image, d.x + cw + i * mw, d.y, Rect(s.x + cw, s.y, mw, ch));
            g.DrawImage(image, d.x + cw + i * mw, bottom, Rect(s.x + cw, srcBottom, mw, ch));
        }
    }
    {
        Graphics g(*this);
        g.ClipRect(d.x, d.y + ch, d.width, d.height - 2 * ch);
        for (int32_t j = 0; j < rows; ++j) {
            g.DrawImage(image, d.x, d.y + ch + j * mh, Rect(s.x, s.y + ch, cw, mh));
            g.DrawImage(image, right, d.y + ch + j * mh, Rect(srcRight, s.y + ch, cw, mh));
        }
    }
    {
        Graphics g(*this);
        g.ClipRect(d.x + cw, d.y + ch, d.width - 2 * cw, d.height - 2 * ch);
        for (int32_t i = 0; i < cols; ++i)
            for (int32_t j = 0; j < rows; ++j)
                g.DrawImage(image, d.x + cw + i * mw, d.y + ch + j * mh, Rect(s.x + cw, s.y + ch, mw, mh));
    }
}

void Graphics::DrawImageBox(const Rect& destRect, Image* image)
{
    if (!image)
        return;
    DrawImageBox(Rect(0, 0, image->GetWidth(), image->GetHeight()), destRect, image);
}

void Graphics::DrawString(const std::wstring& text, int32_t x, int32_t y)
{
    if (!font)
        return;
    font->DrawString(this, x, y, text, color, clipRect);
}

} // namespace Fw
