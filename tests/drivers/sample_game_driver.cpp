// Plays the game in a folder like a player would, but paced by the engine's state instead of the
// clock, for the end-to-end test (tests/app/SampleGameTest.cpp):
//   1. when the splash's second page ("title") is visible: a key;
//   2. when the menu runs (the log shows "LoadLevel:menu", then "LevelUpdate"): a left press and
//      its release at the menu point (in one update, so the script gets them in one frame);
//   3. when the level runs (likewise after "LoadLevel:level1") and two more frames have been drawn:
//      a screenshot (AppBase::TakeScreenshot), then a press and a release at the level point;
//   4. when the log shows that release ("MouseUp" after "LoadLevel:level1") and a "LevelUpdate"
//      after it (the level goes on after the click): a close request.
// Input goes through the window procedure, as the window system would deliver it. The game's own
// callback log (CORVIN_HOG_LOG) is how the driver sees the script's state. Exit code 0 when the
// game ran to its end; the program's output names each step taken.
// Usage: sample_game_driver GAME_FOLDER MENU_X MENU_Y LEVEL_X LEVEL_Y
#include "app/GameProgram.h"
#include "engine/widgets/CandyWidget.h"
#include "framework/app/D3DAppRenderer.h"
#include "platform/WindowMessages.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

namespace {

constexpr uintptr_t kSpaceKey = 0x20;

class GameDriver : public GameProgram {
public:
    GameDriver(const std::string& folder, int menuX, int menuY, int levelX, int levelY)
        : GameProgram(folder), menuX_(menuX), menuY_(menuY), levelX_(levelX), levelY_(levelY)
    {
        if (const char* path = std::getenv("CORVIN_HOG_LOG"))
            logPath_ = path;
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
        Drive();
    }

private:
    enum class Stage { Splash, Menu, Level, WaitRelease, Closing };

    void Say(const char* text)
    {
        std::printf("driver: %s\n", text);
        std::fflush(stdout);
    }

    void Send(uint32_t message, uintptr_t wParam, intptr_t lParam)
    {
        WindowProc(mainWindow, message, wParam, lParam);
    }

    void Press(int x, int y)
    {
        Send(Platform::Msg::MouseMove, 0, Platform::MakePointParam(x, y));
        Send(Platform::Msg::LButtonDown, 1, Platform::MakePointParam(x, y));
    }

    void Release(int x, int y) { Send(Platform::Msg::LButtonUp, 0, Platform::MakePointParam(x, y)); }

    // The splash's second page is showing.
    bool SecondSplashPageShows()
    {
        VTBoard_Splash* splash = GetSplashBoard();
        const VTCandyWidget* page = splash ? splash->FindChild("title") : nullptr;
        return page && page->IsVisibleWithAncestors();
    }


    void Drive()
    {
        switch (stage_) {
        case Stage::Splash:
            if (SecondSplashPageShows()) {
                Say("key on the second splash page");
                Send(Platform::Msg::KeyDown, kSpaceKey, 0);
                Send(Platform::Msg::KeyUp, kSpaceKey, 0);
                stage_ = Stage::Menu;
            }
            break;
        case Stage::Menu:
            if (menuRuns_) {
                Say("click on the menu");
                Press(menuX_, menuY_);
                Release(menuX_, menuY_);
                stage_ = Stage::Level;
            }
            break;
        case Stage::Level:
            if (levelRuns_ && levelDraws_ < 0)
                levelDraws_ = drawCount;
            if (levelDraws_ >= 0 && drawCount >= levelDraws_ + 2) {
                Say("screenshot of the level");
                TakeScreenshot();
                Say("click on the level");
                Press(levelX_, levelY_);
                Release(levelX_, levelY_);
                stage_ = Stage::WaitRelease;
            }
            break;
        case Stage::WaitRelease:
            if (levelGoesOn_) {
                Say("close request");
                Send(Platform::Msg::Close, 0, 0);
                stage_ = Stage::Closing;
            }
            break;
        case Stage::Closing:
            break;
        }
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
            OnLogLine(line);
        }
    }

    void OnLogLine(const std::string& line)
    {
        if (line == "LoadLevel:menu")
            menuLoaded_ = true;
        else if (line == "LoadLevel:level1")
            levelLoaded_ = true;
        else if (line == "LevelUpdate") {
            menuRuns_ = menuRuns_ || (menuLoaded_ && !levelLoaded_);
            levelRuns_ = levelRuns_ || levelLoaded_;
            levelGoesOn_ = levelGoesOn_ || levelReleaseSeen_;
        } else if (line.rfind("MouseUp:", 0) == 0 && levelRuns_)
            levelReleaseSeen_ = true;
    }

    int menuX_, menuY_, levelX_, levelY_;
    std::string logPath_;
    size_t logOffset_ = 0;
    Stage stage_ = Stage::Splash;
    bool menuLoaded_ = false, levelLoaded_ = false;
    bool menuRuns_ = false, levelRuns_ = false, levelReleaseSeen_ = false, levelGoesOn_ = false;
    int32_t levelDraws_ = -1;
    bool activated_ = false;
};


} // namespace

int main(int argc, char** argv)
{
    if (argc != 6) {
        std::fprintf(stderr, "usage: sample_game_driver GAME_FOLDER MENU_X MENU_Y LEVEL_X LEVEL_Y\n");
        return 2;
    }
    Fw::SetDisplayFactory(Fw::D3DDisplayFactory());
    auto game = std::make_unique<GameDriver>(argv[1], std::atoi(argv[2]), std::atoi(argv[3]),
                                             std::atoi(argv[4]), std::atoi(argv[5]));
    game->SetCommandLine(1, argv);
    game->Init();
    game->Start();
    game.reset();
    return 0;
}
