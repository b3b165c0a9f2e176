// The framework's process-wide objects as the program finds them at start (each test runs in a
// process of its own, so nothing has touched them yet).
#include "framework/assets/TextLock.h"
#include "framework/core/MersenneTwister.h"
#include "framework/app/ProgramGlobals.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"

#include <gtest/gtest.h>

namespace {

TEST(ProgramGlobals, InitialValues)
{
    EXPECT_EQ(Fw::Color::Black, Fw::Color(0, 0, 0, 255));
    EXPECT_EQ(Fw::Color::White, Fw::Color(255, 255, 255, 255));
    EXPECT_EQ(Fw::Graphics::NullImage.width, 0);
    EXPECT_EQ(Fw::Graphics::NullImage.height, 0);
    EXPECT_FALSE(Fw::gDebugTimer.IsRunning());
    EXPECT_EQ(Fw::gDebugTimer.GetDuration(), 0.0);
    EXPECT_EQ(Fw::gDialogYes, L"YES");
    EXPECT_EQ(Fw::gDialogNo, L"NO");
    EXPECT_EQ(Fw::gDialogOk, L"OK");
    EXPECT_EQ(Fw::gDialogCancel, L"CANCEL");
    EXPECT_TRUE(gTextLock.TryEnter());
    gTextLock.Leave();
}

TEST(ProgramGlobals, GlobalGeneratorStartsSeededWith4357)
{
    // MT19937 seeded with 4357, first tempered word with its top bit cleared.
    EXPECT_EQ(Fw::gRandom.Next(), 2146374468u);
}

} // namespace
