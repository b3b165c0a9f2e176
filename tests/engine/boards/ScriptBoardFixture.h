// The boards on the game's engine object: a fixture game folder with a recording game module (each
// callback appends one line to a log file), the start-up worker and level loads run through a
// manual launcher, and a hook by which the script can act on the engine from inside a callback:
// the module calls py_utils.SetTitle(action) for the callbacks named in "actions.txt" (lines
// "<callback> <action>"), and the test engine runs the action instead of setting the title.
#pragma once
#include "engine/boards/GameBoard3.h"
#include "engine/boards/LoadScreenBoard.h"
#include "engine/boards/SplashBoard.h"
#include "engine/core/DebugSettings.h"
#include "engine/app/Engine3.h"
#include "engine/core/ThreadLauncher.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/fake/RecordingSoundDevice.h"
#include "support/AppEnvironment.h"
#include "support/DebugOutputCapture.h"
#include "support/ManualThreadLauncher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ScriptBoardTest {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

// Runs the action the script names: "up" queues a release at (5, 6), "load:<name>" asks for a
// level load; anything else sets the title.
class ActingEngine : public VTEngine3 {
public:
    using VTEngine3::VTEngine3;
    void SetWindowTitle(const std::string& action) override
    {
        if (action == "up" && gCurrentGameBoard)
            gCurrentGameBoard->QueueMouseUp(5, 6, 0);
        else if (action.rfind("load:", 0) == 0 && gCurrentGameBoard)
            gCurrentGameBoard->StartLevelLoad(action.substr(5));
        else
            VTEngine3::SetWindowTitle(action);
    }
};

class ScriptBoardFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        previousFolder_ = fs::current_path();
        previousDevice_ = Platform::SetSoundDevice(&device_);
        game_ = fs::path(env_.temp.Path()) / "game";
        fs::create_directories(game_ / "cfg");
        fs::create_directories(game_ / "prog.dat");
        Write("cfg/loc.xml", "<root/>");
        Write("cfg/cfg.xml", "<root/>");
        Write("cfg/ui.xml", "<root/>");
        WriteModule();
    }

    void TearDown() override
    {
        engine_.reset();
        gDebugSettings->debugMode = false;
        fs::current_path(previousFolder_);
        Platform::SetSoundDevice(previousDevice_);
    }

    void Write(const std::string& relative, const std::string& text)
    {
        fs::create_directories((game_ / relative).parent_path());
        std::ofstream(game_ / relative, std::ios::binary) << text;
    }

    void WriteModule()
    {
        const std::string log = (game_ / "calls.txt").string();
        const std::string actions = (game_ / "actions.txt").string();
        Write("prog.dat/CorvinHOG.py",
              "import py_utils\nLOG = r'" + log + "'\nACT = r'" + actions + "'\n" + R"(
def _log(t):
    with open(LOG, 'a') as f:
        f.write(t + '\n')
def _act(callback):
    try:
        lines = open(ACT).read().splitlines()
    except OSError:
        return
    for line in lines:
        name, action = line.split(' ', 1)
        if name == callback:
            py_utils.SetTitle(action)
def InitGame(engine):
    _log('InitGame')
    _act('InitGame')
def LevelFree(engine):
    _log('LevelFree')
def LoadLevel(name):
    _log('LoadLevel:' + name)
def LevelUpdate(seconds):
    _log('LevelUpdate')
def MouseDown(x, y, button, clicks):
    _log('MouseDown %d %d %d %d' % (x, y, button, clicks))
    _act('MouseDown')
def MouseUp(x, y, button):
    _log('MouseUp %d %d %d' % (x, y, button))
def MouseMove(x, y):
    _log('MouseMove %d %d' % (x, y))
def Shutdown():
    _log('Shutdown')
)");
    }

    // The script's action for callback (see ActingEngine).
    void ScriptActs(const std::string& callback, const std::string& action)
    {
        std::ofstream(game_ / "actions.txt", std::ios::app) << callback << " " << action << "\n";
    }

    // The calls logged since the last Calls(true).
    Strings Calls(bool clear = false)
    {
        Strings lines;
        {
            std::ifstream in(game_ / "calls.txt");
            for (std::string line; std::getline(in, line);)
                lines.push_back(line);
        }
        if (clear)
            fs::remove(game_ / "calls.txt");
        return lines;
    }

    // Runs between the engine's Init (which installs the effect catalogue) and its loading step.
    virtual void AfterEngineInit() {}

    // Constructed, initialised, loading step run and completed, as the main loop does; SetTitle
    // reaches the engine (debug mode on).
    VTEngine3& Start()
    {
        engine_ = std::make_unique<ActingEngine>(game_.string());
        engine_->Init();
        AfterEngineInit();
        engine_->LoadingThreadProc();
        engine_->loadingThreadFinished = true;
        engine_->loadingThreadCompleted = true;
        engine_->LoadingThreadCompleted();
        engine_->active = true;
        gDebugSettings->debugMode = true;
        return *engine_;
    }

    // Splash over and the start-up worker run: the game is up, the loading board shows.
    void PastSplash()
    {
        VTBoard_Splash* splash = engine_->GetSplashBoard();
        for (int i = 0; i < 10 && !splash->StartupStarted(); ++i)
            splash->Update();
        ASSERT_TRUE(splash->StartupStarted());
        launcher_.RunAll();
    }

    // A level loaded and handed over, as the main loop would.
    void LoadLevel(const std::string& name)
    {
        gCurrentGameBoard->StartLevelLoad(name);
        launcher_.RunAll();
        engine_->StepBoards();
        ASSERT_FALSE(gCurrentGameBoard->IsLevelLoadPending());
    }

    VTBoard_Game3& Board() { return *engine_->GetGameBoard(); }
    Fw::WidgetManager& Manager() { return *engine_->widgetManager; }

    FwTest::AppEnvironment env_;
    TestSupport::DebugOutputCapture output_;
    Platform::RecordingSoundDevice device_;
    Platform::SoundDevice* previousDevice_ = nullptr;
    TestSupport::ManualThreadLauncher launcher_;
    ScopedThreadLauncher scopedLauncher_{launcher_};
    fs::path game_, previousFolder_;
    std::unique_ptr<ActingEngine> engine_;
};

} // namespace ScriptBoardTest
