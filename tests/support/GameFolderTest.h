// Base fixture of the tests that run the real engine on a game folder of their own: the fake
// application environment, captured debugger output and a recording sound device, and under
// <temp>/game a cfg folder (title "Fixture Title", empty cfg.xml and ui.xml) and an empty
// prog.dat/lib. Derived tests write the game module. The current folder (the engine moves to the
// game folder) and the sound device are restored in TearDown.
#pragma once
#include "platform/SoundDevice.h"
#include "platform/fake/RecordingSoundDevice.h"
#include "support/AppEnvironment.h"
#include "support/DebugOutputCapture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace TestSupport {

class GameFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousFolder_ = std::filesystem::current_path();
        previousDevice_ = Platform::SetSoundDevice(&device_);
        game_ = std::filesystem::path(env_.temp.Path()) / "game";
        std::filesystem::create_directories(game_ / "cfg");
        std::filesystem::create_directories(game_ / "prog.dat" / "lib");
        Write("cfg/loc.xml", "<root><loc id=\"app_title\" text=\"Fixture Title\"/></root>");
        Write("cfg/cfg.xml", "<root/>");
        Write("cfg/ui.xml", "<root/>");
    }

    void TearDown() override
    {
        std::filesystem::current_path(previousFolder_);
        Platform::SetSoundDevice(previousDevice_);
    }

    // Writes text to a file of the game folder (relative path with '/').
    void Write(const std::string& relative, const std::string& text)
    {
        std::ofstream(game_ / relative, std::ios::binary) << text;
    }

    FwTest::AppEnvironment env_;
    TestSupport::DebugOutputCapture output_;
    Platform::RecordingSoundDevice device_;
    Platform::SoundDevice* previousDevice_ = nullptr;
    std::filesystem::path game_, previousFolder_;
};

} // namespace TestSupport
