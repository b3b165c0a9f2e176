// Fixture for script tests: a temporary program folder with a prog.dat of test scripts, the script
// host started on it, and the debugger output captured.
#pragma once
#include "engine/scripting/EngineObject.h"
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/GameScript.h"
#include "support/DebugOutputCapture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

class ScriptFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = temp_.Path();
        std::filesystem::create_directories(folder_ / "prog.dat" / "lib");
        output_ = std::make_unique<TestSupport::DebugOutputCapture>();
    }

    void TearDown() override
    {
        delete gGameScript;
        gGameScript = nullptr;
        DestroyInterpreter();
        output_.reset();
    }

    void WriteScript(const std::string& relative, const std::string& text)
    {
        TestSupport::WriteFileBytes((folder_ / "prog.dat" / relative).string(), text);
    }

    void StartHost(ScriptApplication* app = nullptr)
    {
        ASSERT_TRUE(StartInterpreter(folder_.string(), app));
        gGameScript = new VTGameScript();
    }

    // Read only while no script runs on another thread.
    std::string Output() const { return output_->Text(); }

    TestSupport::TempFolder temp_;
    std::filesystem::path folder_;

private:
    std::unique_ptr<TestSupport::DebugOutputCapture> output_;
};
