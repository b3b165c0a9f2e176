// A clickable area made of axis-aligned rectangles: a point is inside when any rectangle holds it.
// Rectangles are half-open (left and top edges inside, right and bottom edges outside), so two
// rectangles that touch share no point. An empty region holds no point.
#pragma once
#include <cstdint>
#include <vector>

class RectRegion {
public:
    struct Rect {
        int32_t x = 0;
        int32_t y = 0;
        int32_t width = 0;
        int32_t height = 0;
    };

    RectRegion() = default;
    RectRegion(int32_t x, int32_t y, int32_t width, int32_t height) { Add(x, y, width, height); }

    // Adds a rectangle to the union; one with no area adds nothing.
    void Add(int32_t x, int32_t y, int32_t width, int32_t height);
    void Clear() { rects_.clear(); }
    bool IsEmpty() const { return rects_.empty(); }
    bool Contains(int32_t x, int32_t y) const;
    const std::vector<Rect>& Rects() const { return rects_; }

private:
    std::vector<Rect> rects_;
};
