// How the program ends when it is ended from outside, each run in a child process (the driver
// tests/children/ending_driver.cpp on a small game of the test's own): SIGTERM on the first splash
// page (before the script holds the engine object), in a level, and while a level load is busy;
// a second SIGTERM; and the X server killed under the program (a private Xvfb; skipped without
// one). The test waits for conditions (a line in the child's output, the child's exit) with
// generous bounds; a child still running at the bound is killed and the test fails.
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr auto kBound = std::chrono::seconds(90);
constexpr auto kPoll = std::chrono::milliseconds(10);

const char* const kGameModule = R"(import os, sys, time

_engine = None
_updates = 0


def _say(text):
    sys.stdout.write("game: " + text + "\n")
    sys.stdout.flush()


def InitGame(engine):
    global _engine
    _say("InitGame")
    _engine = engine
    engine.LoadLevel("one")


def LoadLevel(name):
    _say("LoadLevel " + name)
    go = os.environ.get("ENDING_GO_FILE")
    deadline = time.time() + 120
    while go and not os.path.exists(go) and time.time() < deadline:
        time.sleep(0.01)


def LevelUpdate(seconds):
    global _updates
    _updates += 1
    if _updates == 1:
        _say("LevelUpdate")


def LevelFree(engine):
    _say("LevelFree")


def DeinitGame():
    _say("DeinitGame")


# As a game would write it: the engine object exists only once InitGame has run.
def Shutdown():
    _say("Shutdown")
    _engine.Shutdown()
)";

const char* const kUi = R"(<?xml version="1.0" encoding="utf-8"?>
<root>
  <texture id="page" file="images\page.png"/>
  <element name="splash" type="vtdialog" x="0" y="0" width="1024" height="768">
    <element name="first" type="vtdialog" x="256" y="256" width="64" height="64">
      <texture id="normal" texture="page"/>
    </element>
  </element>
</root>
)";

class ProgramEndingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path game = folder_.File("game");
        fs::create_directories(game / "cfg");
        fs::create_directories(game / "prog.dat");
        fs::create_directories(game / "images");
        TestSupport::WriteFileBytes((game / "cfg/loc.xml").string(),
                                    "<root><loc id=\"app_title\" text=\"Ending\"/></root>");
        TestSupport::WriteFileBytes((game / "cfg/cfg.xml").string(), "<root><music/><sounds/></root>");
        TestSupport::WriteFileBytes((game / "cfg/ui.xml").string(), kUi);
        TestSupport::WriteFileBytes((game / "prog.dat/CorvinHOG.py").string(), kGameModule);
        TestSupport::PngFixture png;
        png.width = png.height = 64;
        png.rows.assign(64 * 64 * 4, 0xFF); // opaque white
        TestSupport::WritePngFixture((game / "images/page.png").string(), png);
    }

    void TearDown() override
    {
        if (child_ > 0)
            Kill(child_);
        if (xvfb_ > 0)
            Kill(xvfb_);
    }

    static void Kill(pid_t pid)
    {
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
    }

    std::string Output() const { return TestSupport::ReadFileBytes(folder_.File("out.txt")); }

    // Starts the driver on the game at stage ("splash" or "level"), output to out.txt.
    void StartDriver(const char* stage, std::vector<std::string> extraEnv = {})
    {
        std::vector<std::string> env = {
            "SDL_AUDIODRIVER=dummy",
            "FW_REGISTRY_FILE=" + folder_.File("registry.txt"),
            "XDG_RUNTIME_DIR=" + folder_.Path(),
            "XDG_DATA_HOME=" + folder_.Path(),
            "XDG_CONFIG_HOME=" + folder_.Path(),
            "HOME=" + folder_.Path(),
        };
        for (const char* keep : {"PATH", "UBSAN_OPTIONS", "LSAN_OPTIONS"})
            if (const char* value = std::getenv(keep))
                env.push_back(std::string(keep) + "=" + value);
        // What is asked here is how the program ends; its leaks are the smoke test's to find (the
        // exit code of a leak check would hide the one under test).
        const char* asan = std::getenv("ASAN_OPTIONS");
        env.push_back(std::string("ASAN_OPTIONS=") + (asan ? asan : "") + (asan && *asan ? ":" : "") +
                      "detect_leaks=0");
        env.insert(env.end(), extraEnv.begin(), extraEnv.end());
        if (std::none_of(env.begin(), env.end(), [](const std::string& e) { return e.rfind("DISPLAY=", 0) == 0; }))
            env.push_back("SDL_VIDEODRIVER=offscreen");
        child_ = Spawn({"./ending_driver", folder_.File("game"), stage}, env, folder_.File("out.txt"));
        ASSERT_GT(child_, 0);
    }

    // Waits until the child's output holds text; false when the child ended or the bound passed.
    bool WaitForOutput(const std::string& text)
    {
        const auto end = std::chrono::steady_clock::now() + kBound;
        while (std::chrono::steady_clock::now() < end) {
            if (Output().find(text) != std::string::npos)
                return true;
            int status = 0;
            if (::waitpid(child_, &status, WNOHANG) == child_) {
                child_ = 0;
                exitStatus_ = status;
                return Output().find(text) != std::string::npos;
            }
            std::this_thread::sleep_for(kPoll);
        }
        return false;
    }

    // The child's wait status once it ends; nullopt (and the child killed) at the bound.
    std::optional<int> WaitForExit()
    {
        if (child_ <= 0)
            return exitStatus_;
        const auto end = std::chrono::steady_clock::now() + kBound;
        while (std::chrono::steady_clock::now() < end) {
            int status = 0;
            if (::waitpid(child_, &status, WNOHANG) == child_) {
                child_ = 0;
                return status;
            }
            std::this_thread::sleep_for(kPoll);
        }
        Kill(child_);
        child_ = 0;
        return std::nullopt;
    }

    static pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env,
                       const std::string& output)
    {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        std::vector<char*> argv, envp;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        for (const std::string& e : env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        pid_t pid = 0;
        const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        return error == 0 ? pid : -1;
    }

    // A private Xvfb; its display name (":N"), or empty when there is none to start.
    std::string StartXvfb()
    {
        int fds[2];
        if (::pipe(fds) != 0)
            return {};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        const std::string log = folder_.File("xvfb.txt");
        posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const std::string fd = std::to_string(fds[1]);
        const char* argv[] = {"Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0", "1024x768x24",
                              nullptr};
        const int error = posix_spawnp(&xvfb_, "Xvfb", &actions, nullptr, const_cast<char**>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        std::string number;
        char c = 0;
        while (error == 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        ::close(fds[0]);
        if (error != 0 || number.empty()) {
            if (error == 0)
                Kill(xvfb_);
            xvfb_ = 0;
            return {};
        }
        return ":" + number;
    }

    TestSupport::TempFolder folder_;
    pid_t child_ = 0;
    pid_t xvfb_ = 0;
    std::optional<int> exitStatus_;
};

// The orderly end: exit code 0 and the teardown ran.
void ExpectOrderlyEnd(const std::optional<int>& status, const std::string& out, const char* what)
{
    ASSERT_TRUE(status.has_value()) << what << ": still running at the bound\n" << out;
    ASSERT_TRUE(WIFEXITED(*status)) << what << ": ended by signal " << WTERMSIG(*status) << "\n" << out;
    EXPECT_EQ(WEXITSTATUS(*status), 0) << what << "\n" << out;
    EXPECT_EQ(out.find("Traceback"), std::string::npos) << what << "\n" << out;
}

TEST_F(ProgramEndingTest, SigtermOnTheFirstSplashPageEndsTheProgramBeforeTheGameStarts)
{
    StartDriver("splash");
    ASSERT_TRUE(WaitForOutput("driver: first splash page")) << Output();
    ::kill(child_, SIGTERM);
    const std::optional<int> status = WaitForExit();
    const std::string out = Output();
    ExpectOrderlyEnd(status, out, "splash");
    EXPECT_NE(out.find("driver: close request"), std::string::npos) << out;
    EXPECT_EQ(out.find("game: InitGame"), std::string::npos) << "the script never got to act\n" << out;
    EXPECT_EQ(out.find("game: Shutdown"), std::string::npos) << out;
}

TEST_F(ProgramEndingTest, SigtermInALevelGoesToTheScriptsShutdown)
{
    StartDriver("level");
    ASSERT_TRUE(WaitForOutput("game: LevelUpdate")) << Output();
    ::kill(child_, SIGTERM);
    const std::optional<int> status = WaitForExit();
    const std::string out = Output();
    ExpectOrderlyEnd(status, out, "level");
    const size_t shutdown = out.find("game: Shutdown");
    ASSERT_NE(shutdown, std::string::npos) << out;
    EXPECT_NE(out.find("game: DeinitGame", shutdown), std::string::npos) << out;
}

TEST_F(ProgramEndingTest, SigtermDuringALevelLoadEndsTheProgramOnceTheLoadIsDone)
{
    const std::string go = folder_.File("go");
    StartDriver("level", {"ENDING_GO_FILE=" + go});
    ASSERT_TRUE(WaitForOutput("game: LoadLevel one")) << Output();
    ::kill(child_, SIGTERM);
    ASSERT_TRUE(WaitForOutput("driver: close request")) << Output();
    TestSupport::WriteFileBytes(go, "");
    const std::optional<int> status = WaitForExit();
    const std::string out = Output();
    ExpectOrderlyEnd(status, out, "during a load");
    EXPECT_NE(out.find("game: Shutdown"), std::string::npos) << "the request was kept, not dropped\n" << out;
}

TEST_F(ProgramEndingTest, ASecondSigtermEndsTheProgramAtOnce)
{
    const std::string go = folder_.File("go"); // never written: the load holds the program
    StartDriver("level", {"ENDING_GO_FILE=" + go});
    ASSERT_TRUE(WaitForOutput("game: LoadLevel one")) << Output();
    ::kill(child_, SIGTERM);
    ASSERT_TRUE(WaitForOutput("driver: close request")) << Output();
    ::kill(child_, SIGTERM);
    const std::optional<int> status = WaitForExit();
    const std::string out = Output();
    ASSERT_TRUE(status.has_value()) << out;
    ASSERT_TRUE(WIFEXITED(*status)) << out;
    EXPECT_EQ(WEXITSTATUS(*status), 128 + SIGTERM) << out;
    EXPECT_NE(out.find("SIGTERM a second time: the program ends at once."), std::string::npos) << out;
}

TEST_F(ProgramEndingTest, LosingTheDisplayEndsTheProgramAtOnceWithAnErrorCode)
{
    struct Case {
        const char* stage;
        const char* ready; // output line once the program stands there
    };
    for (const Case c : {Case{"splash", "driver: first splash page"}, Case{"level", "game: LevelUpdate"}}) {
        const std::string display = StartXvfb();
        if (display.empty())
            GTEST_SKIP() << "no Xvfb to run the program on";
        StartDriver(c.stage, {"DISPLAY=" + display, "SDL_VIDEODRIVER=x11"});
        ASSERT_TRUE(WaitForOutput(c.ready)) << c.stage << "\n" << Output();
        Kill(xvfb_);
        xvfb_ = 0;
        const std::optional<int> status = WaitForExit();
        const std::string out = Output();
        ASSERT_TRUE(status.has_value()) << c.stage << ": still running at the bound\n" << out;
        ASSERT_TRUE(WIFEXITED(*status)) << c.stage << ": ended by signal " << WTERMSIG(*status) << "\n" << out;
        EXPECT_EQ(WEXITSTATUS(*status), 1) << c.stage << "\n" << out;
        EXPECT_NE(out.find("The connection to the X display " + display + " was lost"), std::string::npos)
            << c.stage << "\n" << out;
    }
}

} // namespace
