// A child process of the ending tests (tests/app/ProgramEndingTest.cpp): the game program on a game
// folder, saying on stdout where it stands so the test can end it from outside at a known point.
//   "driver: first splash page"  once the splash's first page shows;
//   "driver: close request"      the first time a close request reaches the engine's Shutdown.
// With the stage "level", the driver presses a key on the first splash page to pass it (the
// script's own output then tells the test when the level runs). Input goes through the window
// procedure, as the window system delivers it.
// Usage: ending_driver GAME_FOLDER splash|level
#include "app/GameProgram.h"
#include "engine/widgets/CandyWidget.h"
#include "framework/app/D3DAppRenderer.h"
#include "platform/WindowMessages.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

class EndingDriver : public GameProgram {
public:
    EndingDriver(const std::string& folder, bool passSplash) : GameProgram(folder), passSplash_(passSplash) {}

    void UpdateFrames() override
    {
        GameProgram::UpdateFrames();
        // SDL's offscreen driver never gives the window the focus a player's window gains.
        if (!active && !activated_) {
            WindowProc(mainWindow, Platform::Msg::ActivateApp, 1, 0);
            activated_ = true;
        }
        VTBoard_Splash* splash = GetSplashBoard();
        const VTCandyWidget* page = splash ? splash->FindChild("first") : nullptr;
        if (!pageSeen_ && page && page->IsVisibleWithAncestors()) {
            pageSeen_ = true;
            Say("first splash page");
            if (passSplash_) {
                WindowProc(mainWindow, Platform::Msg::KeyDown, 0x20, 0);
                WindowProc(mainWindow, Platform::Msg::KeyUp, 0x20, 0);
            }
        }
    }

    void Shutdown() override
    {
        if (!closeSeen_) {
            closeSeen_ = true;
            Say("close request");
        }
        GameProgram::Shutdown();
    }

private:
    static void Say(const char* text)
    {
        std::printf("driver: %s\n", text);
        std::fflush(stdout);
    }

    bool passSplash_;
    bool activated_ = false, pageSeen_ = false, closeSeen_ = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[2], "splash") != 0 && std::strcmp(argv[2], "level") != 0)) {
        std::fprintf(stderr, "usage: ending_driver GAME_FOLDER splash|level\n");
        return 2;
    }
    Fw::SetDisplayFactory(Fw::D3DDisplayFactory());
    auto game = std::make_unique<EndingDriver>(argv[1], std::strcmp(argv[2], "level") == 0);
    game->SetCommandLine(1, argv);
    game->Init();
    game->Start();
    game.reset();
    return 0;
}
