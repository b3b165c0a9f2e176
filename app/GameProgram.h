// The game program: the engine (VTEngine3) on the game in the program's folder, with the program's
// own command-line option -frames N (end the main loop after N updates); the framework's options
// (-record, -play, -demofile, -changedir ...) are passed on to it. main.cpp runs it; tests derive
// from it to drive the game.
#pragma once
#include "engine/app/Engine3.h"
#include "framework/core/CommandLine.h"

#include <cstdlib>
#include <string>

class GameProgram : public VTEngine3 {
public:
    explicit GameProgram(const std::string& programFolder = {}) : VTEngine3(programFolder) {}

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
