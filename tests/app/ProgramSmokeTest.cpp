// The program itself, headless, on the fixture game beside it (the program and the fixture game are
// put together in a folder of their own; the build lays the sample game out beside the built
// program): opens its window on SDL's offscreen driver, runs the game's start-up (InitGame on the
// start-up worker), ends the main loop after a bounded number of updates, tears down in order and
// exits with code 0.
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

// folder/fwapp (a hard link to the built program, or a copy) with the fixture game beside it.
std::string PutProgramWithFixtureGame(const std::string& folder)
{
    const char* source = std::getenv("FW_TEST_SOURCE_DIR");
    fs::copy(std::string(source ? source : ".") + "/tests/app/fixture-game", folder, fs::copy_options::recursive);
    const fs::path program = fs::path(folder) / "fwapp";
    std::error_code linkError;
    fs::create_hard_link("../app/fwapp", program, linkError);
    if (linkError)
        fs::copy_file("../app/fwapp", program);
    return program.string();
}

TEST(Program, RunsTheFixtureGameHeadlessAndEndsCleanly)
{
    TestSupport::TempFolder folder;
    // The test runs in the tests' build folder, the built program in ../app.
    const std::string program = PutProgramWithFixtureGame(folder.File("game"));
    const std::string command = "env SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy FW_REGISTRY_FILE=" +
                                folder.File("registry.txt") + " XDG_RUNTIME_DIR=" + folder.Path() +
                                 " XDG_DATA_HOME=" + folder.Path() + " " + program + " -frames 30 >" +
                                folder.File("out.txt") + " 2>&1";
    const int status = std::system(command.c_str());
    const std::string out = TestSupport::ReadFileBytes(folder.File("out.txt"));
    ASSERT_TRUE(WIFEXITED(status)) << out;
    EXPECT_EQ(WEXITSTATUS(status), 0) << out;
    EXPECT_NE(out.find("Update Count  = 30"), std::string::npos) << out;
    // The game module ran its start-up, and the teardown freed the level and ended the game.
    const size_t init = out.find("CorvinHOG: InitGame");
    const size_t levelFree = out.find("CorvinHOG: LevelFree");
    const size_t deinit = out.find("CorvinHOG: DeinitGame");
    ASSERT_NE(init, std::string::npos) << out;
    ASSERT_NE(levelFree, std::string::npos) << out;
    ASSERT_NE(deinit, std::string::npos) << out;
    EXPECT_LT(init, levelFree);
    EXPECT_LT(levelFree, deinit);
    EXPECT_TRUE(std::filesystem::exists(folder.File("Varnel Games/Corvin HOG/pref.dat")));
    // The run ended in order: the crash marker is back to 0.
    EXPECT_NE(TestSupport::ReadFileBytes(folder.File("registry.txt")).find("\"InProgress\"=4:00000000"),
              std::string::npos);
}

} // namespace
