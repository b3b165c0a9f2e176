// The sample game end to end: the driver program (tests/drivers/sample_game_driver.cpp) plays the
// game the build laid out beside the program, headless, paced by the engine's state: a screenshot
// and a key on the second splash page; in the menu a new player typed into the name box and chosen
// in the list, the music slider and the sound check box, a screenshot, PLAY; in the level every gem
// (a screenshot after the first find), then back in the menu a close request. Checked afterwards:
// the game's callback log line by line, the exit code, "pref.dat" (the player, the level's result,
// the volumes), and the screenshots against "cfg\ui.xml" and the layouts (pictures where they
// stand, letters where each text stands, sparks around the gem found). The suite runs real threads
// (start-up worker, level loads), so it also runs under ThreadSanitizer (make tsan).
#include "framework/assets/ImageLib.h"
#include "platform/XmlDocument.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
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

// One line of a layout file (game/data/levels/<level>.txt): "kind name x y width height
// [key=value ...]", '#' comments.
struct LayoutEntry {
    std::string kind, name;
    int x = 0, y = 0, width = 0, height = 0;
    std::map<std::string, std::string> options;
    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
    bool Contains(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
    std::string Option(const std::string& key) const
    {
        const auto it = options.find(key);
        return it == options.end() ? std::string() : it->second;
    }
    bool IsPicture() const { return kind == "picture" || kind == "button" || kind == "gem"; }
    // Text shown from the start: hints and hidden texts come later.
    bool IsShownText() const { return kind == "text" && Option("hidden") != "1"; }
};

std::vector<LayoutEntry> ReadLayout(const std::string& level)
{
    std::ifstream in(SourceDir() + "/game/data/levels/" + level + ".txt");
    std::vector<LayoutEntry> entries;
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream fields(line);
        LayoutEntry e;
        if (!(fields >> e.kind >> e.name >> e.x >> e.y >> e.width >> e.height))
            continue;
        for (std::string option; fields >> option;) {
            const size_t eq = option.find('=');
            if (eq != std::string::npos)
                e.options[option.substr(0, eq)] = option.substr(eq + 1);
        }
        entries.push_back(e);
    }
    return entries;
}

const LayoutEntry& Entry(const std::vector<LayoutEntry>& layout, const std::string& name)
{
    const auto it = std::find_if(layout.begin(), layout.end(), [&](const LayoutEntry& e) { return e.name == name; });
    if (it == layout.end())
        throw std::runtime_error("no widget " + name + " in the layout");
    return *it;
}

std::vector<LayoutEntry> Gems(const std::vector<LayoutEntry>& level)
{
    std::vector<LayoutEntry> gems;
    std::copy_if(level.begin(), level.end(), std::back_inserter(gems), [](const LayoutEntry& e) { return e.kind == "gem"; });
    return gems;
}

std::string At(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
std::string At(const LayoutEntry& e) { return At(e.CentreX(), e.CentreY()); }

// The road the driver plays: the player's name and the points it clicks.
struct Road {
    std::string name = "Ada";
    std::string edit, list, slider, check, play;
    int volume = 0; // the music volume the slider click sets
    std::vector<LayoutEntry> gems;
};

Road MakeRoad()
{
    const std::vector<LayoutEntry> menu = ReadLayout("menu");
    Road road;
    road.edit = At(Entry(menu, "new_name"));
    const LayoutEntry& list = Entry(menu, "profiles");
    road.list = At(list.x + 40, list.y + 8); // the first line: the only player of a new profile file
    // A quarter along the slider's track (the thumb is as wide as the slider is high).
    const LayoutEntry& slider = Entry(menu, "music");
    const int half = slider.height / 2, track = slider.width - slider.height;
    road.slider = At(slider.x + half + track / 4, slider.CentreY());
    road.volume = int(100.0 * (track / 4) / track + 0.5);
    road.check = At(Entry(menu, "mute"));
    road.play = At(Entry(menu, "play"));
    road.gems = Gems(ReadLayout("level1"));
    return road;
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
    const Road road = MakeRoad();
    const std::string out = home.File("driver-output.txt");
    const std::string log = home.File("callbacks.log");
    const std::string driver = fs::absolute("sample_game_driver").string();
    std::vector<std::string> args = {driver,    gameFolder,  road.name,  road.edit,
                                     road.list, road.slider, road.check, road.play};
    for (const LayoutEntry& gem : road.gems)
        args.push_back(At(gem));
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

std::string Click(const char* what, const std::string& at, bool down)
{
    return std::string(what) + ":" + at + (down ? ",0,1" : ",0");
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

// ---- screenshots --------------------------------------------------------------------------------

using Rgba = std::array<double, 4>; // channels 0..255, alpha 0..1

Rgba Unpack(uint32_t argb)
{
    return {double((argb >> 16) & 0xFF), double((argb >> 8) & 0xFF), double(argb & 0xFF), double(argb >> 24) / 255.0};
}

// "Over" of straight-alpha colours.
Rgba Over(const Rgba& dst, const Rgba& src)
{
    const double a = src[3] + dst[3] * (1 - src[3]);
    if (a <= 0)
        return {0, 0, 0, 0};
    Rgba out{};
    for (int i = 0; i < 3; ++i)
        out[size_t(i)] = (src[size_t(i)] * src[3] + dst[size_t(i)] * dst[3] * (1 - src[3])) / a;
    out[3] = a;
    return out;
}

// What the layout's pictures make at a point of the screen, composed in layout order from the
// game's picture files (the texts and controls left out).
class PictureScene {
public:
    PictureScene(const std::vector<LayoutEntry>& layout, const std::vector<std::string>& leftOut)
    {
        for (const LayoutEntry& e : layout) {
            if (!e.IsPicture() || std::find(leftOut.begin(), leftOut.end(), e.name) != leftOut.end())
                continue;
            auto image = ImageLib::ReadPng(SourceDir() + "/game/data/images/" + e.Option("picture") + ".png");
            if (!image)
                throw std::runtime_error("no picture " + e.Option("picture"));
            layers_.push_back({e, std::move(image)});
        }
    }

    Rgba At(int x, int y) const
    {
        Rgba c{0, 0, 0, 1};
        for (const Layer& l : layers_) {
            const int u = x - l.entry.x, v = y - l.entry.y;
            if (l.entry.Contains(x, y) && u < l.image->GetWidth() && v < l.image->GetHeight())
                c = Over(c, Unpack(l.image->Pixel(u, v)));
        }
        return c;
    }

private:
    struct Layer {
        LayoutEntry entry;
        std::unique_ptr<ImageLib::Image> image;
    };
    std::vector<Layer> layers_;
};

// The largest channel difference (a 16-bit screen keeps 5 or 6 bits a channel).
double Difference(const Rgba& a, const Rgba& b)
{
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

struct Area {
    int x0, y0, x1, y1;
    bool Contains(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

Area AreaOf(const LayoutEntry& e, int grow = 0)
{
    return {e.x - grow, e.y - grow, e.x + e.width + grow, e.y + e.height + grow};
}

// Points of a 16-pixel grid outside the masked areas where the screen differs from the pictures.
std::vector<std::string> PictureMismatches(const ImageLib::Image& shot, const PictureScene& scene,
                                           const std::vector<Area>& masked, size_t& sampled)
{
    std::vector<std::string> misses;
    sampled = 0;
    for (int y = 8; y < shot.GetHeight(); y += 16)
        for (int x = 8; x < shot.GetWidth(); x += 16) {
            if (std::any_of(masked.begin(), masked.end(), [&](const Area& a) { return a.Contains(x, y); }))
                continue;
            ++sampled;
            const Rgba got = Unpack(shot.Pixel(x, y)), want = scene.At(x, y);
            if (Difference(got, want) > 12)
                misses.push_back("(" + std::to_string(x) + ", " + std::to_string(y) + ")");
        }
    return misses;
}

// Pixels of the area that differ from the pictures by more than a text's anti-aliased edge would
// leave unchanged.
int ChangedPixels(const ImageLib::Image& shot, const PictureScene& scene, const Area& area)
{
    int changed = 0;
    for (int y = std::max(area.y0, 0); y < std::min(area.y1, shot.GetHeight()); ++y)
        for (int x = std::max(area.x0, 0); x < std::min(area.x1, shot.GetWidth()); ++x)
            if (Difference(Unpack(shot.Pixel(x, y)), scene.At(x, y)) > 60)
                ++changed;
    return changed;
}

// Pixels at a distance from (cx, cy) between r0 and r1 brighter than the pictures there by 60 or
// more in each channel: sparks.
int BrightPixelsAround(const ImageLib::Image& shot, const PictureScene& scene, int cx, int cy, int r0, int r1)
{
    int bright = 0;
    for (int y = std::max(cy - r1, 0); y < std::min(cy + r1, shot.GetHeight()); ++y)
        for (int x = std::max(cx - r1, 0); x < std::min(cx + r1, shot.GetWidth()); ++x) {
            const int d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            if (d2 < r0 * r0 || d2 >= r1 * r1)
                continue;
            const Rgba got = Unpack(shot.Pixel(x, y)), want = scene.At(x, y);
            if (got[0] - want[0] >= 60 && got[1] - want[1] >= 60 && got[2] - want[2] >= 60)
                ++bright;
        }
    return bright;
}

std::vector<std::unique_ptr<ImageLib::Image>> Screenshots(const DriverRun& run)
{
    std::map<int, fs::path> numbered; // "image<n>.png" in the order taken
    for (const auto& f : fs::recursive_directory_iterator(run.home))
        if (f.path().parent_path().filename() == "_screenshots")
            numbered[std::atoi(f.path().stem().string().substr(5).c_str())] = f.path();
    std::vector<std::unique_ptr<ImageLib::Image>> shots;
    for (const auto& [number, path] : numbered)
        shots.push_back(ImageLib::ReadPng(path.string()));
    return shots;
}

// pref.dat: the 56-byte settings header, then per profile a 260-byte UTF-16LE name and the
// length-prefixed script data.
struct Profiles {
    int32_t masterSound = -1, masterMusic = -1, selected = -2;
    std::vector<std::pair<std::string, std::string>> players; // name (ASCII), data
};

int32_t Int32At(const std::string& bytes, size_t at)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4; ++i)
        v |= uint32_t(uint8_t(bytes[at + i])) << (8 * i);
    return int32_t(v);
}

Profiles ReadProfiles(const std::string& path)
{
    const std::string bytes = TestSupport::ReadFileBytes(path);
    Profiles p;
    if (bytes.size() < 56)
        return p;
    p.masterSound = Int32At(bytes, 36);
    p.masterMusic = Int32At(bytes, 40);
    p.selected = Int32At(bytes, 48);
    size_t at = 56;
    for (int32_t i = 0; i < Int32At(bytes, 52) && at + 264 <= bytes.size(); ++i) {
        std::string name;
        for (size_t c = 0; c < 260 && bytes[at + c] != 0; c += 2)
            name += bytes[at + c];
        const int32_t length = Int32At(bytes, at + 260);
        p.players.emplace_back(name, bytes.substr(at + 264, size_t(std::max(length, 0))));
        at += 264 + size_t(std::max(length, 0));
    }
    return p;
}

// The splash's second page as "cfg\\ui.xml" lays it out: its picture, and the text elements on it.
struct SplashPage {
    std::vector<LayoutEntry> picture; // one picture entry
    std::vector<LayoutEntry> texts;
};

SplashPage ReadSplashPage()
{
    const std::string text = TestSupport::ReadFileBytes(SourceDir() + "/game/data/cfg/ui.xml");
    Platform::XmlDocument ui;
    if (!ui.LoadBuffer(text.data(), text.size(), Platform::XmlTextEncoding::Utf8))
        throw std::runtime_error("ui.xml does not parse");
    const Platform::XmlNode page = ui.SelectSingleNode("/root/element[@name='splash']/element[@name='title']");
    auto number = [](const Platform::XmlNode& node, const char* name) {
        return std::atoi(node.Attribute(name).Text().c_str());
    };
    SplashPage splash;
    LayoutEntry back{"picture", "title", number(page, "x"), number(page, "y"), number(page, "width"),
                     number(page, "height"), {}};
    back.options["picture"] = page.SelectSingleNode("texture[@id='normal']").Attribute("texture").Text();
    splash.picture.push_back(back);
    if (const auto texts = page.SelectNodes("element[@type='vttext']")) {
        for (size_t i = 0; i < texts->Length(); ++i) {
            const Platform::XmlNode t = texts->Item(i);
            splash.texts.push_back({"text", t.Attribute("name").Text(), back.x + number(t, "x"), back.y + number(t, "y"),
                                    number(t, "width"), number(t, "height"), {}});
        }
    }
    return splash;
}

using SampleGameThreads = ::testing::Test;

TEST_F(SampleGameThreads, PlaysFromTheSplashThroughTheMenuAndTheLevelDrivenByEngineState)
{
    TestSupport::TempFolder home;
    const DriverRun run = RunDriver(home, BuiltGameFolder());
    ASSERT_TRUE(run.exited) << Describe(run);
    EXPECT_EQ(run.exitCode, 0) << Describe(run);

    const Road road = MakeRoad();
    std::vector<std::string> pattern = {
        "InitGame", "LevelFree", "LoadLevel:menu", "LevelUpdate+",
        Click("MouseDown", road.edit, true), Click("MouseUp", road.edit, false), "LevelUpdate+",
        "ProfileCreate:" + road.name + ":1", "LevelUpdate+",
        // the list takes the press itself and hands on only the release
        Click("MouseUp", road.list, false), "ProfileSelect:0:" + road.name, "LevelUpdate+",
        Click("MouseDown", road.slider, true), Click("MouseUp", road.slider, false),
        "MusicVolume:" + std::to_string(road.volume), "LevelUpdate+",
        Click("MouseDown", road.check, true), Click("MouseUp", road.check, false), "Mute:1", "LevelUpdate+",
        Click("MouseDown", road.play, true), Click("MouseUp", road.play, false),
        "LevelFree", "LoadLevel:level1", "LevelUpdate+"};
    for (size_t i = 0; i < road.gems.size(); ++i) {
        const LayoutEntry& gem = road.gems[i];
        pattern.push_back(Click("MouseDown", At(gem), true));
        pattern.push_back("Found:" + gem.name + ":" + std::to_string(i + 1));
        if (i + 1 == road.gems.size())
            pattern.push_back("LevelDone:" + std::to_string(road.gems.size()));
        pattern.push_back(Click("MouseUp", At(gem), false));
        pattern.push_back("LevelUpdate+");
    }
    for (const char* line : {"LevelFree", "LoadLevel:menu", "LevelUpdate+", "Shutdown", "LevelFree", "DeinitGame"})
        pattern.push_back(line);
    EXPECT_EQ(CompareLog(LogLinesWithoutMoves(run.log), pattern), "") << Describe(run);

    // The typed player, chosen, with the level's result; the slider's volume and the switched-off
    // sound in the settings.
    const Profiles profiles = ReadProfiles(run.dataFolder + "/pref.dat");
    ASSERT_EQ(profiles.players.size(), 1u) << Describe(run);
    EXPECT_EQ(profiles.players[0].first, road.name);
    EXPECT_EQ(profiles.selected, 0);
    const std::string& data = profiles.players[0].second;
    EXPECT_NE(data.find("found=" + std::to_string(road.gems.size())), std::string::npos) << data;
    const size_t best = data.find("best=");
    ASSERT_NE(best, std::string::npos) << data;
    EXPECT_GT(std::atof(data.c_str() + best + 5), 0.0) << data;
    EXPECT_EQ(profiles.masterMusic, road.volume);
    EXPECT_EQ(profiles.masterSound, 0);

    // Three screenshots: the splash's second page, the menu once the sound was switched off, the
    // level after the first find.
    const auto shots = Screenshots(run);
    ASSERT_EQ(shots.size(), 3u) << Describe(run);
    for (const auto& shot : shots) {
        ASSERT_TRUE(shot);
        ASSERT_EQ(shot->GetWidth(), 1024);
        ASSERT_EQ(shot->GetHeight(), 768);
    }
    struct Screen {
        const char* level;
        const ImageLib::Image& shot;
        std::vector<std::string> moving; // widgets changing size: gems found
        std::string cursor;
    };
    {
        // The title page's texts draw their letters on its picture.
        const SplashPage splash = ReadSplashPage();
        const PictureScene scene(splash.picture, {});
        ASSERT_FALSE(splash.texts.empty());
        for (const LayoutEntry& e : splash.texts)
            EXPECT_GE(ChangedPixels(*shots[0], scene, AreaOf(e)), 40) << "no text drawn for " << e.name;
    }
    for (const Screen& screen : {Screen{"menu", *shots[1], {}, road.check},
                                 Screen{"level1", *shots[2], {road.gems[0].name}, At(road.gems[0])}}) {
        SCOPED_TRACE(screen.level);
        const std::vector<LayoutEntry> layout = ReadLayout(screen.level);
        const PictureScene scene(layout, screen.moving);
        // The pictures where no text, control, moving widget, burst or cursor lies over them.
        std::vector<Area> masked;
        for (const LayoutEntry& e : layout) {
            if (!e.IsPicture() && e.kind != "effects")
                masked.push_back(AreaOf(e, 4));
            if (std::find(screen.moving.begin(), screen.moving.end(), e.name) != screen.moving.end())
                masked.push_back(AreaOf(e, 3 * e.width));
        }
        const int cx = std::atoi(screen.cursor.c_str()), cy = std::atoi(screen.cursor.c_str() + screen.cursor.find(',') + 1);
        masked.push_back({cx - 4, cy - 4, cx + 24, cy + 28});
        size_t sampled = 0;
        const std::vector<std::string> misses = PictureMismatches(screen.shot, scene, masked, sampled);
        EXPECT_GT(sampled, 1000u);
        EXPECT_LE(misses.size(), sampled / 50) << misses.size() << " of " << sampled << " points differ, first "
                                               << (misses.empty() ? "" : misses[0]);
        // Each text shown draws its letters where it stands.
        for (const LayoutEntry& e : layout) {
            if (e.IsShownText()) {
                EXPECT_GE(ChangedPixels(screen.shot, scene, AreaOf(e)), 40) << "no text drawn for " << e.name;
            }
        }
    }
    // The first gem found bursts into sparks beyond where it grows.
    const LayoutEntry& first = road.gems[0];
    const PictureScene level(ReadLayout("level1"), {first.name});
    EXPECT_GE(BrightPixelsAround(*shots[2], level, first.CentreX(), first.CentreY(), 3 * first.width / 4, 3 * first.width), 20)
        << "no sparks around " << first.name;
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
