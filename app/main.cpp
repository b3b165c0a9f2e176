// Program entry: the game's engine object run from the program's folder (archives, "cfg",
// "prog.dat" beside the executable): constructed (interpreter started), initialised, run until the
// main loop ends, destroyed in order. Options: see GameProgram.h.
#include "app/GameProgram.h"
#include "framework/app/D3DAppRenderer.h"

#include <memory>

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
