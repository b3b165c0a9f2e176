// Plays the game in a folder like a player would, but paced by the engine's state instead of the
// clock, for the end-to-end test (tests/app/SampleGameTest.cpp). Each step waits for what the game
// shows (the splash page visible, lines of the game's callback log CORVIN_HOG_LOG, updates and
// draws counted by the application), then acts:
//   1. the splash's second page ("title") is visible and two more frames are drawn: a screenshot,
//      then a key;
//   2. the menu runs ("LoadLevel:menu", then "LevelUpdate"): a click on the name box;
//   3. its release is logged: the new player's name typed, then Enter;
//   4. the profile is made ("ProfileCreate:"): a click on the list's first line (the new player);
//   5. the player is chosen ("ProfileSelect:"): a click on the music slider;
//   6. the volume is reported ("MusicVolume:"): a click on the sound check box;
//   7. the sound is switched ("Mute:") and two more frames are drawn: a screenshot of the menu,
//      then a click on PLAY;
//      (Hover is not driven: the application asks the window system where the real cursor is on
//      its timer, and a headless cursor is never over the window.)
//   8. the level runs ("LoadLevel:level1", "LevelUpdate") and two more frames are drawn: a click on
//      the first gem;
//   9. its find is logged ("Found:") and 30 more updates and a frame have passed: a screenshot of
//      the level with the burst, then a click on each further gem, each after the last find;
//  10. the menu is back after the last find ("LoadLevel:menu" again, then "LevelUpdate"): a close
//      request.
// Input goes through the window procedure, as the window system would deliver it (a press and its
// release in one update, so the script gets them in one frame). Exit code 0 when the game ran to
// its end; the program's output names each step taken.
// Usage: sample_game_driver GAME_FOLDER NAME EDIT LIST SLIDER CHECK PLAY GEM [GEM ...]
//        (each point X,Y in window pixels)
#include "app/GameProgram.h"
#include "engine/widgets/CandyWidget.h"
#include "framework/app/D3DAppRenderer.h"
#include "platform/WindowMessages.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uintptr_t kSpaceKey = 0x20;
constexpr uintptr_t kReturnKey = 0x0D;
constexpr int32_t kBurstUpdates = 30; // updates between a find and the screenshot of its burst

struct Point {
    int x = 0, y = 0;
};

bool ParsePoint(const char* text, Point& p) { return std::sscanf(text, "%d,%d", &p.x, &p.y) == 2; }

struct Road {
    std::string name;
    Point edit, list, slider, check, play;
    std::vector<Point> gems;
};

class GameDriver : public GameProgram {
public:
    GameDriver(const std::string& folder, Road road) : GameProgram(folder), road_(std::move(road))
    {
        if (const char* path = std::getenv("CORVIN_HOG_LOG"))
            logPath_ = path;
        BuildSteps();
    }

    void UpdateFrames() override
    {
        GameProgram::UpdateFrames();
        // A player's window gains the focus when it opens; SDL's offscreen driver never gives it,
        // so the driver delivers the activation the window system would.
        if (!active && !activated_) {
            Say("window activated");
            Send(Platform::Msg::ActivateApp, 1, 0);
            activated_ = true;
        }
        ReadNewLogLines();
        // One step an update at most: each acts on what the previous one brought about.
        if (next_ < steps_.size() && steps_[next_].ready()) {
            Say(steps_[next_].what.c_str());
            steps_[next_].act();
            ++next_;
        }
    }

private:
    struct Step {
        std::string what;
        std::function<bool()> ready;
        std::function<void()> act;
    };

    void Say(const char* text)
    {
        std::printf("driver: %s\n", text);
        std::fflush(stdout);
    }

    void Send(uint32_t message, uintptr_t wParam, intptr_t lParam) { WindowProc(mainWindow, message, wParam, lParam); }

    void Click(Point p)
    {
        Send(Platform::Msg::MouseMove, 0, Platform::MakePointParam(p.x, p.y));
        Send(Platform::Msg::LButtonDown, 1, Platform::MakePointParam(p.x, p.y));
        Send(Platform::Msg::LButtonUp, 0, Platform::MakePointParam(p.x, p.y));
    }

    void Key(uintptr_t key)
    {
        Send(Platform::Msg::KeyDown, key, 0);
        Send(Platform::Msg::KeyUp, key, 0);
    }

    void Type(const std::string& text)
    {
        for (const char c : text)
            Send(Platform::Msg::Char, static_cast<unsigned char>(c), 0);
    }

    // The splash's second page is showing.
    bool SecondSplashPageShows()
    {
        VTBoard_Splash* splash = GetSplashBoard();
        const VTCandyWidget* page = splash ? splash->FindChild("title") : nullptr;
        return page && page->IsVisibleWithAncestors();
    }

    // The index of the first log line at or after from that starts with prefix, or -1.
    long FindLine(const std::string& prefix, size_t from) const
    {
        for (size_t i = from; i < lines_.size(); ++i)
            if (lines_[i].rfind(prefix, 0) == 0)
                return long(i);
        return -1;
    }

    // A line starting with prefix came after the last step acted, and a "LevelUpdate" after it.
    std::function<bool()> Logged(const std::string& prefix)
    {
        return [this, prefix] {
            const long at = FindLine(prefix, mark_);
            return at >= 0 && FindLine("LevelUpdate", size_t(at) + 1) >= 0;
        };
    }

    // Marks the log's end: what the next step waits for comes after this.
    void Mark() { mark_ = lines_.size(); }

    // Updates and draws counted from the first time cond held: frames showing what it waited for.
    std::function<bool()> ThenFrames(std::function<bool()> cond, int32_t updates, int32_t draws)
    {
        return [this, cond, updates, draws] {
            if (!condHeld_) {
                if (!cond())
                    return false;
                condHeld_ = true;
                heldUpdates_ = updateCount;
                heldDraws_ = drawCount;
            }
            if (updateCount < heldUpdates_ + updates || drawCount < heldDraws_ + draws)
                return false;
            condHeld_ = false;
            return true;
        };
    }

    void BuildSteps()
    {
        auto then = [this](std::function<void()> act) {
            return [this, act] {
                act();
                Mark();
            };
        };
        steps_.push_back({"screenshot of the second splash page, a key",
                          ThenFrames([this] { return SecondSplashPageShows(); }, 0, 2), then([this] {
                              TakeScreenshot();
                              Key(kSpaceKey);
                          })});
        steps_.push_back({"click on the name box", Logged("LoadLevel:menu"), then([this] { Click(road_.edit); })});
        steps_.push_back({"the name typed, then Enter", Logged("MouseUp:"), then([this] {
                              Type(road_.name);
                              Key(kReturnKey);
                          })});
        steps_.push_back({"click on the new player", Logged("ProfileCreate:"), then([this] { Click(road_.list); })});
        steps_.push_back({"click on the music slider", Logged("ProfileSelect:"),
                          then([this] { Click(road_.slider); })});
        steps_.push_back({"click on the sound check box", Logged("MusicVolume:"),
                          then([this] { Click(road_.check); })});
        steps_.push_back({"screenshot of the menu, click on PLAY", ThenFrames(Logged("Mute:"), 0, 2), then([this] {
                              TakeScreenshot();
                              Click(road_.play);
                          })});
        for (size_t i = 0; i < road_.gems.size(); ++i) {
            if (i == 0) {
                steps_.push_back({"click on the first gem", ThenFrames(Logged("LoadLevel:level1"), 0, 2),
                                  then([this] { Click(road_.gems[0]); })});
                continue;
            }
            if (i == 1) {
                steps_.push_back({"screenshot of the level with the burst, click on the next gem",
                                  ThenFrames(Logged("Found:"), kBurstUpdates, 1), then([this] {
                                      TakeScreenshot();
                                      Click(road_.gems[1]);
                                  })});
                continue;
            }
            steps_.push_back({"click on the next gem", Logged("Found:"), then([this, i] { Click(road_.gems[i]); })});
        }
        steps_.push_back({"close request on the menu", Logged("LoadLevel:menu"),
                          then([this] { Send(Platform::Msg::Close, 0, 0); })});
    }

    // Follows the log as it grows: only whole new lines are taken.
    void ReadNewLogLines()
    {
        if (logPath_.empty())
            return;
        std::ifstream in(logPath_, std::ios::binary);
        if (!in)
            return;
        in.seekg(static_cast<std::streamoff>(logOffset_));
        std::string line;
        while (std::getline(in, line)) {
            if (in.eof())
                break; // a line still being written: read it again next time
            logOffset_ += line.size() + 1;
            lines_.push_back(line);
        }
    }

    Road road_;
    std::string logPath_;
    size_t logOffset_ = 0;
    std::vector<std::string> lines_;
    std::vector<Step> steps_;
    size_t next_ = 0;
    size_t mark_ = 0;
    bool condHeld_ = false;
    int32_t heldUpdates_ = 0, heldDraws_ = 0;
    bool activated_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    Road road;
    bool ok = argc >= 9;
    if (ok) {
        road.name = argv[2];
        ok = ParsePoint(argv[3], road.edit) && ParsePoint(argv[4], road.list) && ParsePoint(argv[5], road.slider) &&
             ParsePoint(argv[6], road.check) && ParsePoint(argv[7], road.play);
        for (int i = 8; ok && i < argc; ++i) {
            Point p;
            ok = ParsePoint(argv[i], p);
            road.gems.push_back(p);
        }
    }
    if (!ok) {
        std::fprintf(stderr, "usage: sample_game_driver GAME_FOLDER NAME EDIT LIST SLIDER CHECK PLAY GEM [GEM ...]\n"
                             "       (each point X,Y in window pixels)\n");
        return 2;
    }
    Fw::SetDisplayFactory(Fw::D3DDisplayFactory());
    auto game = std::make_unique<GameDriver>(argv[1], std::move(road));
    game->SetCommandLine(1, argv);
    game->Init();
    game->Start();
    game.reset();
    return 0;
}
