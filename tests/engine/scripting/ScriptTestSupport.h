// Fixture for script tests: a temporary program folder with a prog.dat of test scripts, the script
// host started on it, and the debugger output captured.
#pragma once
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/EngineObject.h"
#include "engine/scripting/GameScript.h"
#include "platform/DebugOutput.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>

class ScriptFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("fwscript-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "prog.dat" / "lib");
        previousSink_ = Platform::SetDebugOutputSink([this](std::string_view text) {
            std::lock_guard<std::mutex> lock(outputMutex_);
            output_.append(text);
        });
    }

    void TearDown() override
    {
        delete gGameScript;
        gGameScript = nullptr;
        DestroyInterpreter();
        Platform::SetDebugOutputSink(previousSink_);
        std::filesystem::remove_all(folder_);
    }

    void WriteScript(const std::string& relative, const std::string& text)
    {
        std::ofstream(folder_ / "prog.dat" / relative, std::ios::binary) << text;
    }

    // Starts the host on the folder and, when a game module is written, loads it.
    void StartHost(ScriptApplication* app = nullptr)
    {
        ASSERT_TRUE(StartInterpreter(folder_.string(), app));
        gGameScript = new VTGameScript();
    }

    std::string Output()
    {
        std::lock_guard<std::mutex> lock(outputMutex_);
        return output_;
    }

    std::filesystem::path folder_;

private:
    Platform::DebugOutputSink previousSink_;
    std::mutex outputMutex_;
    std::string output_;
};
