// The sample game end to end: the driver program (tests/drivers/sample_game_driver.cpp) plays the
// game the build laid out beside the program, headless, paced by the engine's state (a key on the
// second splash page, a click on the menu's button once the menu runs, a click on a gem once the
// level runs, then a close request). Checked afterwards: the game's callback log line by line, the
// exit code, "pref.dat", and the screenshot taken during the level against the level's layout and
// pictures. The suite runs real threads (start-up worker, level loads), so it also runs under
// ThreadSanitizer (make tsan).
#include "framework/assets/ImageLib.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A hang fails the test instead of stalling the suite; sanitizer builds are slow, hence generous.
constexpr auto kWallClockGuard = std::chrono::seconds(240);

std::string SourceDir()
{
    const char* dir = std::getenv("FW_TEST_SOURCE_DIR");
    return dir ? dir : ".";
}

// The built game: the program's folder in the build tree (the tests run in <build>/tests).
std::string BuiltGameFolder() { return fs::absolute("../app").lexically_normal().string(); }

struct LayoutEntry {
    std::string name;
    int x = 0, y = 0, width = 0, height = 0;
    std::string picture;
    bool clickable = false;
    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
};

// The game's layout file format: "name x y width height picture [click]" a line, '#' comments.
std::vector<LayoutEntry> ReadLayout(const std::string& level)
{
    std::ifstream in(SourceDir() + "/game/data/levels/" + level + ".txt");
    std::vector<LayoutEntry> entries;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        LayoutEntry e;
        std::string click;
        if (!(fields >> e.name >> e.x >> e.y >> e.width >> e.height >> e.picture))
            continue;
        e.clickable = (fields >> click) && click == "click";
        entries.push_back(e);
    }
    return entries;
}

const LayoutEntry& FirstClickable(const std::vector<LayoutEntry>& layout)
{
    const auto it = std::find_if(layout.begin(), layout.end(), [](const LayoutEntry& e) { return e.clickable; });
    if (it == layout.end())
        throw std::runtime_error("no clickable widget in the layout");
    return *it;
}

struct DriverRun {
    bool exited = false; // false: killed by the wall-clock guard or a signal
    int exitCode = -1;
    std::string output;
    std::string log;
    std::string dataFolder; // the game's profile folder ("pref.dat")
    std::string home;       // the run's settings and data folders
};

// Runs the driver on the game in gameFolder with its own settings, data folders and log.
DriverRun RunDriver(const TestSupport::TempFolder& home, const std::string& gameFolder)
{
    const LayoutEntry menu = FirstClickable(ReadLayout("menu"));
    const LayoutEntry gem = FirstClickable(ReadLayout("level1"));
    const std::string out = home.File("driver-output.txt");
    const std::string log = home.File("callbacks.log");
    const std::string driver = fs::absolute("sample_game_driver").string();
    const std::vector<std::string> args = {driver, gameFolder, std::to_string(menu.CentreX()),
                                           std::to_string(menu.CentreY()), std::to_string(gem.CentreX()),
                                           std::to_string(gem.CentreY())};
    const pid_t child = fork();
    if (child == 0) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("FW_REGISTRY_FILE", home.File("registry.txt").c_str(), 1);
        setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", home.Path().c_str(), 1);
        setenv("XDG_RUNTIME_DIR", home.Path().c_str(), 1);
        setenv("CORVIN_HOG_LOG", log.c_str(), 1);
        if (!freopen(out.c_str(), "w", stdout) || dup2(fileno(stdout), 2) < 0)
            _exit(126);
        std::vector<char*> argv;
        for (const std::string& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    DriverRun run;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + kWallClockGuard;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    run.exited = WIFEXITED(status);
    run.exitCode = run.exited ? WEXITSTATUS(status) : -1;
    run.output = TestSupport::ReadFileBytes(out);
    run.log = TestSupport::ReadFileBytes(log);
    run.dataFolder = home.File("Varnel Games/Corvin HOG");
    run.home = home.Path();
    return run;
}


std::vector<std::string> LogLinesWithoutMoves(const std::string& log)
{
    std::vector<std::string> lines;
    std::istringstream in(log);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("MouseMove:", 0) != 0)
            lines.push_back(line);
    return lines;
}

std::string Click(const char* what, const LayoutEntry& e, bool down)
{
    const std::string at = std::string(what) + ":" + std::to_string(e.CentreX()) + "," + std::to_string(e.CentreY());
    return down ? at + ",0,1" : at + ",0";
}

// Matches the log against the expected road. Returns the first difference, or "" when it matches.
// In the pattern "LevelUpdate+" stands for one or more "LevelUpdate" lines.
std::string CompareLog(const std::vector<std::string>& lines, const std::vector<std::string>& pattern)
{
    size_t i = 0;
    for (const std::string& p : pattern) {
        if (p == "LevelUpdate+") {
            const size_t start = i;
            while (i < lines.size() && lines[i] == "LevelUpdate")
                ++i;
            if (i == start)
                return "line " + std::to_string(i + 1) + ": expected LevelUpdate, found " +
                       (i < lines.size() ? lines[i] : "the end");
            continue;
        }
        if (i >= lines.size())
            return "the log ends where " + p + " was expected";
        if (lines[i] != p)
            return "line " + std::to_string(i + 1) + ": expected " + p + ", found " + lines[i];
        ++i;
    }
    if (i != lines.size())
        return "line " + std::to_string(i + 1) + ": unexpected " + lines[i] + " after the end";
    return {};
}

std::string Describe(const DriverRun& run)
{
    // A sanitizer's first report whole (it names both threads of a race), else the output's tail.
    const size_t report = std::min(run.output.find("WARNING: ThreadSanitizer"), run.output.find("ERROR: "));
    const size_t from = report != std::string::npos ? report
                        : run.output.size() > 6000 ? run.output.size() - 6000 : 0;
    return "exit " + std::to_string(run.exitCode) + (run.exited ? "" : " (killed: no exit)") +
           "\n--- driver output (from " + std::to_string(from) + ") ---\n" + run.output.substr(from, 16000) +
           "\n--- log without LevelUpdate and MouseMove ---\n" + [&] {
               std::string s;
               for (const std::string& l : LogLinesWithoutMoves(run.log))
                   if (l != "LevelUpdate")
                       s += l + "\n";
               return s;
           }();
}

uint32_t PictureColour(const std::string& picture)
{
    const auto image = ImageLib::ReadPng(SourceDir() + "/game/data/images/" + picture + ".png");
    if (!image)
        return 0;
    return image->Pixel(image->GetWidth() / 2, image->GetHeight() / 2) & 0xFFFFFF;
}

bool CloseColours(uint32_t a, uint32_t b)
{
    // A 16-bit screen keeps 5 or 6 bits a channel.
    for (int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 8)
            return false;
    return true;
}

std::string Hex(uint32_t v)
{
    char text[16];
    std::snprintf(text, sizeof text, "%06X", v & 0xFFFFFF);
    return text;
}

using SampleGameThreads = ::testing::Test;

TEST_F(SampleGameThreads, PlaysFromTheSplashToTheEndDrivenByEngineState)
{
    TestSupport::TempFolder home;
    const DriverRun run = RunDriver(home, BuiltGameFolder());
    ASSERT_TRUE(run.exited) << Describe(run);
    EXPECT_EQ(run.exitCode, 0) << Describe(run);

    const std::vector<LayoutEntry> level = ReadLayout("level1");
    const LayoutEntry button = FirstClickable(ReadLayout("menu"));
    const LayoutEntry& gem = FirstClickable(level);
    const std::string difference = CompareLog(LogLinesWithoutMoves(run.log), {
        "InitGame", "LevelFree", "LoadLevel:menu", "LevelUpdate+",
        Click("MouseDown", button, true), Click("MouseUp", button, false),
        "LevelFree", "LoadLevel:level1", "LevelUpdate+",
        Click("MouseDown", gem, true), Click("MouseUp", gem, false), "LevelUpdate+",
        "Shutdown", "LevelFree", "DeinitGame"});
    EXPECT_EQ(difference, "") << Describe(run);
    EXPECT_TRUE(fs::exists(run.dataFolder + "/pref.dat")) << Describe(run);

    // The screenshot of the running level: each widget's picture where the layout puts it (sampled
    // where no later widget lies over it).
    std::vector<fs::path> shots;
    for (const auto& f : fs::recursive_directory_iterator(run.home))
        if (f.path().parent_path().filename() == "_screenshots")
            shots.push_back(f.path());
    ASSERT_EQ(shots.size(), 1u) << Describe(run);
    const auto shot = ImageLib::ReadPng(shots[0].string());
    ASSERT_TRUE(shot);
    ASSERT_EQ(shot->GetWidth(), 1024);
    ASSERT_EQ(shot->GetHeight(), 768);
    for (size_t i = 0; i < level.size(); ++i) {
        const LayoutEntry& e = level[i];
        // The widget's centre, or for a widget under later ones a point 10 pixels in from its
        // top left corner.
        int px = e.CentreX(), py = e.CentreY();
        for (size_t j = i + 1; j < level.size(); ++j) {
            const LayoutEntry& o = level[j];
            if (px >= o.x && px < o.x + o.width && py >= o.y && py < o.y + o.height) {
                px = e.x + 10;
                py = e.y + 10;
            }
        }
        const uint32_t want = PictureColour(e.picture);
        const uint32_t got = shot->Pixel(px, py) & 0xFFFFFF;
        EXPECT_TRUE(CloseColours(got, want))
            << e.name << " at (" << px << ", " << py << "): screen " << Hex(got) << ", picture " << e.picture
            << " " << Hex(want);
    }
}

// A game module whose MouseDown raises after doing its work: the error is printed and cleared, and
// the level goes on (the next LevelUpdate comes) to the same orderly end.
TEST_F(SampleGameThreads, AScriptRaisingInMouseDownStillGetsItsNextLevelUpdate)
{
    TestSupport::TempFolder home;
    const std::string game = home.File("game");
    fs::create_directories(game);
    for (const char* item : {"data.pak", "loc.pak", "mod.pak", "cfg", "prog.dat"})
        fs::copy(BuiltGameFolder() + "/" + item, game + "/" + item, fs::copy_options::recursive);
    fs::rename(game + "/prog.dat/CorvinHOG.py", game + "/prog.dat/corvin_game.py");
    TestSupport::WriteFileBytes(game + "/prog.dat/CorvinHOG.py",
                                "from corvin_game import *\n"
                                "import corvin_game\n"
                                "def MouseDown(x, y, button, clicks):\n"
                                "    corvin_game.MouseDown(x, y, button, clicks)\n"
                                "    raise RuntimeError('MouseDown fails on purpose')\n");
    const DriverRun run = RunDriver(home, game);
    ASSERT_TRUE(run.exited) << Describe(run);
    EXPECT_EQ(run.exitCode, 0) << Describe(run);
    EXPECT_NE(run.output.find("MouseDown fails on purpose"), std::string::npos) << Describe(run);

    const std::vector<std::string> lines = LogLinesWithoutMoves(run.log);
    const auto levelLoad = std::find(lines.begin(), lines.end(), "LoadLevel:level1");
    ASSERT_NE(levelLoad, lines.end()) << Describe(run);
    const auto down = std::find_if(levelLoad, lines.end(),
                                   [](const std::string& l) { return l.rfind("MouseDown:", 0) == 0; });
    ASSERT_NE(down, lines.end()) << Describe(run);
    const auto shutdown = std::find(down, lines.end(), "Shutdown");
    EXPECT_NE(std::find(down, shutdown, "LevelUpdate"), shutdown) << Describe(run);
    EXPECT_EQ(lines.back(), "DeinitGame") << Describe(run);
}

} // namespace
