// Program entry: the game's engine object run from the program's folder (archives, "cfg",
// "prog.dat" beside the executable): constructed (interpreter started), initialised, run until the
// main loop ends, destroyed in order.
// Options: -frames N ends the main loop after N updates (smoke tests); the framework's own options
// (-record, -play, -demofile, -changedir ...) are passed on to it.
#include "engine/core/Engine3.h"
#include "framework/app/D3DAppRenderer.h"
#include "framework/core/CommandLine.h"

#include <cstdlib>
#include <memory>

namespace {

class GameProgram : public VTEngine3 {
public:
    void HandleCommandLine(const std::string& text) override
    {
        for (const Fw::CommandLineOption& option : Fw::SplitCommandLineOptions(text)) {
            if (option.name == "-frames")
                frameLimit_ = std::atoi(option.value.c_str());
            else
                HandleCmdLineParam(option.name, option.value);
        }
    }

    void UpdateFrames() override
    {
        VTEngine3::UpdateFrames();
        if (frameLimit_ > 0 && updateCount == frameLimit_)
            EndMainLoop();
    }

private:
    int frameLimit_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    // The display draws through OpenGL once the 3-D capability test passes; without an OpenGL
    // context, or when the test fails, it draws in software.
    Fw::SetDisplayFactory(Fw::D3DDisplayFactory());
    auto game = std::make_unique<GameProgram>();
    game->SetCommandLine(argc, argv);
    game->Init();
    game->Start();
    game.reset();
    return 0;
}
