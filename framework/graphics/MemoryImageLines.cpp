// Memory-image lines: the integer line stepper (normal and additive) and the anti-aliased
// stepper. Horizontal and vertical lines are rectangle fills.
#include "framework/graphics/MemoryImage.h"
#include "framework/graphics/detail/PixelMath.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace Fw {

using namespace detail;

namespace {

int32_t Trunc(double v)
{
    return int32_t(v);
}

// Per-pixel rules of the line stepper, chosen once per line.
struct LineOpaque {
    uint32_t value; // 0xFF000000 | each channel (q * 255 + 127) >> 8
    explicit LineOpaque(const Color& c)
        : value(0xFF000000u | (uint32_t((c.red * 255 + 127) >> 8) << 16) |
                (uint32_t((c.green * 255 + 127) >> 8) << 8) | uint32_t((c.blue * 255 + 127) >> 8))
    {
    }
    uint32_t operator()(uint32_t) const { return value; }
};

struct LineBlend {
    // channel = ((d * (256 - a) + 127) >> 8) + ((((q * a + 128) >> 8) * 255 + 127) >> 8), alpha 255
    uint32_t ia, sr, sg, sb;
    explicit LineBlend(const Color& c)
        : ia(256 - uint32_t(c.alpha)), sr(Src(c.red, c.alpha)), sg(Src(c.green, c.alpha)), sb(Src(c.blue, c.alpha))
    {
    }
    static uint32_t Src(int32_t q, int32_t a) { return uint32_t(((((q * a + 128) >> 8) * 255) + 127) >> 8); }
    uint32_t operator()(uint32_t d) const
    {
        const uint32_t r = ((((d >> 16) & 0xFF) * ia + 127) >> 8) + sr;
        const uint32_t g = ((((d >> 8) & 0xFF) * ia + 127) >> 8) + sg;
        const uint32_t b = (((d & 0xFF) * ia + 127) >> 8) + sb;
        return 0xFF000000u | (r << 16) | (g << 8) | b;
    }
};

struct LineAdd {
    // channel = min(d + q * a / 255, 255), alpha 255
    uint32_t qr, qg, qb;
    explicit LineAdd(const Color& c)
        : qr(uint32_t(c.red * c.alpha / 255)), qg(uint32_t(c.green * c.alpha / 255)),
          qb(uint32_t(c.blue * c.alpha / 255))
    {
    }
    uint32_t operator()(uint32_t d) const { return AddRGB(d, qr, qg, qb) | 0xFF000000u; }
};

// Integer stepper along the major axis with an error term; stops as soon as a pixel leaves the
// bounding box of the (truncated) endpoints, and never touches a pixel outside the image.
template <class Rule>
void StepLine(uint32_t* px, int32_t width, int32_t height, double x1, double y1, double x2, double y2,
              const Rule& rule)
{
    const bool yMajor = std::fabs(y2 - y1) >= std::fabs(x2 - x1);
    // (major, minor) coordinates, ordered so that the major one increases.
    double ma = yMajor ? y1 : x1, mi = yMajor ? x1 : y1;
    double mb = yMajor ? y2 : x2, mib = yMajor ? x2 : y2;
    if (mb < ma) {
        std::swap(ma, mb);
        std::swap(mi, mib);
    }
    const double dMajor = mb - ma;
    const double dMinor = std::fabs(mib - mi);
    const int32_t minorStep = mib >= mi ? 1 : -1;

    const int32_t boxMinX = std::min(Trunc(x1), Trunc(x2)), boxMaxX = std::max(Trunc(x1), Trunc(x2));
    const int32_t boxMinY = std::min(Trunc(y1), Trunc(y2)), boxMaxY = std::max(Trunc(y1), Trunc(y2));
    auto plot = [&](int32_t major, int32_t minor) {
        const int32_t x = yMajor ? minor : major, y = yMajor ? major : minor;
        if (x < boxMinX || x > boxMaxX || y < boxMinY || y > boxMaxY)
            return false;
        if (x >= 0 && y >= 0 && x < width && y < height) {
            uint32_t& p = px[size_t(y) * size_t(width) + size_t(x)];
            p = rule(p);
        }
        return true;
    };

    int32_t minor = Trunc(mi);
    int32_t major = Trunc(ma);
    if (!plot(major, minor))
        return;
    const int32_t stepMinor = Trunc(2 * (dMinor - dMajor));
    const int32_t stepStraight = Trunc(2 * dMinor);
    int32_t err = Trunc((mi - Trunc(mi)) * Trunc(2 * dMinor) + Trunc(2 * dMinor - dMajor));
    for (major = Trunc(ma + 1); major <= mb; ++major) {
        if (err >= 1) {
            minor += minorStep;
            err += stepMinor;
        } else {
            err += stepStraight;
        }
        if (!plot(major, minor))
            return;
    }
}

} // namespace

void MemoryImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode)
{
    if (y1 == y2) {
        const int32_t a = Trunc(std::min(x1, x2)), b = Trunc(std::max(x1, x2));
        FillRect(Rect(a, Trunc(y1), b - a + 1, 1), color, drawMode);
        return;
    }
    if (x1 == x2) {
        const int32_t a = Trunc(std::min(y1, y2)), b = Trunc(std::max(y1, y2));
        FillRect(Rect(Trunc(x1), a, 1, b - a + 1), color, drawMode);
        return;
    }
    if (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE)
        return;
    uint32_t* px = GetBits();
    if (!px)
        return;
    if (drawMode == DRAWMODE_ADDITIVE)
        StepLine(px, width, height, x1, y1, x2, y2, LineAdd(color));
    else if (color.alpha == 255)
        StepLine(px, width, height, x1, y1, x2, y2, LineOpaque(color));
    else
        StepLine(px, width, height, x1, y1, x2, y2, LineBlend(color));
    BitsChanged();
}

void MemoryImage::DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int32_t drawMode)
{
    if (y1 == y2 || x1 == x2) {
        DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    uint32_t* px = GetBits();
    if (!px)
        return;
    if (drawMode != DRAWMODE_NORMAL) {
        BitsChanged();
        return;
    }
    // Ordered by increasing y.
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int32_t X0 = Trunc(x1), Y0 = Trunc(y1), X1 = Trunc(x2), Y1 = Trunc(y2);
    const int32_t xDir = X1 >= X0 ? 1 : -1;
    const int32_t extentX = std::abs(X1 - X0), extentY = Y1 - Y0;
    const bool yMajor = extentY >= extentX;
    const double fullX = std::fabs(x2 - x1), fullY = y2 - y1;
    const double ratio = yMajor ? fullX / fullY : fullY / fullX;
    // 16-bit accumulator; a step of 65536 (or more) carries every time.
    const uint32_t adjust = uint32_t(std::min(ratio, 1.0) * 65536.0);
    uint32_t acc = uint32_t(std::fabs(x1 - X0) * std::fabs(y1 - Y0) * 65536.0) & 0xFFFF;

    const uint32_t packed = color.ToInt();
    const uint32_t alphaScale = uint32_t(color.alpha) + 1;
    auto plot = [&](int32_t x, int32_t y, uint32_t weight) {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return;
        const uint32_t a = (weight * alphaScale) >> 8;
        if (a == 0)
            return;
        uint32_t& p = px[size_t(y) * size_t(width) + size_t(x)];
        p = OverFast(p, packed, a);
    };

    int32_t x = X0, y = Y0;
    plot(x, y, 255);
    const int32_t steps = yMajor ? extentY : extentX;
    for (int32_t i = 1; i < steps; ++i) {
        acc += adjust;
        const bool carry = acc > 0xFFFF;
        acc &= 0xFFFF;
        const uint32_t e = acc >> 8;
        if (yMajor) {
            if (carry)
                x += xDir;
            ++y;
            plot(x, y, 255 - e);
            plot(x + xDir, y, e);
        } else {
            if (carry)
                ++y;
            x += xDir;
            plot(x, y, 255 - e);
            plot(x, y + 1, e);
        }
    }
    if (steps > 0)
        plot(X1, Y1, 255);
    BitsChanged();
}

} // namespace Fw
