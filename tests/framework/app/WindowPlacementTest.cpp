// Placement of the windowed main window inside the work area.
#include "framework/app/WindowPlacement.h"

#include <gtest/gtest.h>

namespace {

struct PlacementCase {
    const char* what;
    int32_t preferredX, preferredY;
    Fw::Point expected;
};

constexpr PlacementCase kCases[] = {
    {"no preference centres, 38.2 % of the free height above", -1, -1, {240, 161}},
    {"far right and below is pulled in with a 4-pixel margin", 2000, 2000, {476, 420}},
    {"the top-left corner keeps a 4-pixel margin", 0, 0, {4, 4}},
    {"a position inside stays", 100, 200, {100, 200}},
    {"touching the right margin is pulled in", 476, 10, {476, 10}},
};

TEST(WindowPlacement, Table)
{
    const Platform::IntRect work{0, 0, 1280, 1024};
    for (const PlacementCase& c : kCases) {
        const Fw::Point p = Fw::PlaceMainWindow(work, 800, 600, c.preferredX, c.preferredY);
        EXPECT_EQ(p, c.expected) << c.what << ": got (" << p.x << "," << p.y << ")";
    }
}

TEST(WindowPlacement, WorkAreaOffsetAndWindowTallerThanIt)
{
    // A panel on the left/top shifts the centre; a window taller than the work area goes above it.
    EXPECT_EQ(Fw::PlaceMainWindow({100, 50, 1380, 1074}, 800, 600, -1, -1), Fw::Point(340, 211));
    EXPECT_EQ(Fw::PlaceMainWindow({0, 0, 1024, 700}, 800, 768, -1, -1), Fw::Point(112, -25));
}

} // namespace
