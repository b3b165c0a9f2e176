// Mouse positions of a window showing a screen mode scaled into it without an SDL renderer.
#include "platform/sdl/SdlMouseScale.h"

#include <gtest/gtest.h>

TEST(SdlMouseScale, WindowPixelsMapIntoTheFittedMode)
{
    struct Case {
        const char* what;
        int32_t modeW, modeH, clientW, clientH, x, y, wantX, wantY;
    };
    const Case cases[] = {
        {"same size: unchanged", 800, 600, 800, 600, 123, 45, 123, 45},
        {"4:3 mode on a 4:3 desktop", 800, 600, 1024, 768, 512, 384, 400, 300},
        {"bars left and right", 800, 600, 1920, 1080, 240, 0, 0, 0},
        {"right edge of the picture", 800, 600, 1920, 1080, 1680, 1080, 800, 600},
        {"left of the picture goes negative", 800, 600, 1920, 1080, 0, 540, -133, 300},
        {"bars above and below", 800, 600, 800, 1000, 400, 200, 400, 0},
    };
    for (const Case& c : cases) {
        Platform::SetWindowMouseScale(7, c.modeW, c.modeH);
        int32_t x = c.x, y = c.y;
        Platform::MapWindowMouse(7, c.clientW, c.clientH, x, y);
        EXPECT_EQ(x, c.wantX) << c.what;
        EXPECT_EQ(y, c.wantY) << c.what;
    }
    Platform::SetWindowMouseScale(7, 0, 0);
    int32_t x = 500, y = 400;
    Platform::MapWindowMouse(7, 1024, 768, x, y);
    EXPECT_EQ(x, 500) << "a window without a scale is left alone";
    EXPECT_EQ(y, 400);
}
