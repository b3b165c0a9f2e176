// The sample scene's window as the X server shows it, drawn in software and with 3-D forced: the
// two captures (tests/app/capture_sample_scene.sh, under a private Xvfb) must show the same picture
// within the software/OpenGL comparison's tolerance. Skipped without Xvfb and ImageMagick, or when
// no OpenGL window context comes up.
#include "framework/assets/ImageLib.h"
#include "framework/display/D3DTester.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

namespace {

bool HaveCommand(const char* name)
{
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(SampleSceneWindow, Forced3DShowsTheSoftwarePicture)
{
    const char* source = std::getenv("FW_TEST_SOURCE_DIR");
    ASSERT_TRUE(source && *source);
    // A private X server: the captures are of the whole screen, which nothing else may touch.
    if (!HaveCommand("xvfb-run") || !HaveCommand("import"))
        GTEST_SKIP() << "needs Xvfb (xvfb-run) and ImageMagick (import)";
    TestSupport::TempFolder folder;
    // The test runs in the tests' build folder; the program sits in the examples' one beside it.
    const std::string command = "xvfb-run -a -s '-screen 0 1024x768x24' '" + std::string(source) +
                                "/tests/app/capture_sample_scene.sh' ../examples/fw_sample_scene '" + folder.Path() +
                                "' >'" + folder.File("out.txt") + "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string out = TestSupport::ReadFileBytes(folder.File("out.txt"));
    ASSERT_TRUE(WIFEXITED(status)) << out;
    if (WEXITSTATUS(status) == 77)
        GTEST_SKIP() << out;
    ASSERT_EQ(WEXITSTATUS(status), 0) << out;

    const auto soft = ImageLib::ReadPng(folder.File("software.png"));
    const auto gl = ImageLib::ReadPng(folder.File("3d.png"));
    ASSERT_TRUE(soft && gl);
    ASSERT_EQ(soft->GetWidth(), gl->GetWidth());
    ASSERT_EQ(soft->GetHeight(), gl->GetHeight());
    int worst = 0, bad = 0, differing = 0, lit = 0;
    const size_t count = size_t(soft->GetWidth()) * size_t(soft->GetHeight());
    for (size_t i = 0; i < count; ++i) {
        const uint32_t a = soft->GetBits()[i] & 0xFFFFFF, b = gl->GetBits()[i] & 0xFFFFFF;
        const int d = Fw::SquaredColorDistance(a, b);
        worst = std::max(worst, d);
        differing += d > 0;
        lit += a != 0;
        if (d > 768 && ++bad <= 5)
            ADD_FAILURE() << "pixel " << i % size_t(soft->GetWidth()) << "," << i / size_t(soft->GetWidth())
                          << " software " << std::hex << a << " 3-D " << b;
    }
    std::printf("window pictures: %zu pixels, %d differ, largest squared distance %d, %d over 768\n", count,
                differing, worst, bad);
    EXPECT_EQ(bad, 0);
    // The scene was on screen: a capture of an empty screen would compare equal too.
    EXPECT_GT(lit, int(count / 3));
}

} // namespace
