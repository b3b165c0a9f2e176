// The program itself, headless: opens its window on SDL's offscreen driver, runs the main loop for
// a bounded number of updates, closes through a close request and exits with code 0.
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/wait.h>

namespace {

TEST(Fwapp, RunsHeadlessAndClosesCleanly)
{
    TestSupport::TempFolder folder;
    // The test runs in the tests' build folder; the program sits beside it.
    const std::string command = "env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy FW_REGISTRY_FILE=" +
                                folder.File("registry.txt") + " XDG_RUNTIME_DIR=" + folder.Path() +
                                " XDG_DATA_HOME=" + folder.Path() + " ../app/fwapp -frames 30 >" +
                                folder.File("out.txt") + " 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << TestSupport::ReadFileBytes(folder.File("out.txt"));
    EXPECT_EQ(WEXITSTATUS(status), 0) << TestSupport::ReadFileBytes(folder.File("out.txt"));
    const std::string out = TestSupport::ReadFileBytes(folder.File("out.txt"));
    EXPECT_NE(out.find("Update Count  = 30"), std::string::npos) << out;
    // The run ended in order: the crash marker is back to 0.
    EXPECT_NE(TestSupport::ReadFileBytes(folder.File("registry.txt")).find("\"InProgress\"=4:00000000"),
              std::string::npos);
}

} // namespace
