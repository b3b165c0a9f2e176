// The game's engine object on a fixture game folder: identity and start-up, the loading step's
// boards and the module import, the start-up worker, close requests, teardown order, the root
// dialog's lock and the sound pause on focus changes. Runs on the fake platform with the real
// interpreter and a recording game module that appends each callback to a file.
#include "engine/boards/GameBoard3.h"
#include "engine/boards/LoadScreenBoard.h"
#include "engine/boards/SplashBoard.h"
#include "engine/app/Engine3.h"
#include "engine/scripting/ExtPythonManager.h"
#include "platform/UserFolders.h"
#include "platform/fake/RecordingSoundDevice.h"
#include "support/GameFolderTest.h"
#include "framework/widgets/WidgetManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Appends "name deleted host=<0|1>" to the call log when deleted (host: the interpreter still up).
class LoggingWidget : public Fw::Widget {
public:
    LoggingWidget(std::string name, std::string log) : name_(std::move(name)), log_(std::move(log)) {}
    ~LoggingWidget() override
    {
        std::ofstream(log_, std::ios::app) << name_ << " deleted host=" << (gExtPythonManager ? 1 : 0) << "\n";
    }

private:
    std::string name_, log_;
};

class EngineTest : public TestSupport::GameFolderTest {
protected:
    void SetUp() override
    {
        GameFolderTest::SetUp();
        WriteModule(true);
    }

    std::string LogPath() const { return (game_ / "calls.txt").string(); }

    std::string PrefPath() const
    {
        return (fs::path(Platform::GetUserFolders().AppDataFolder()) / "Varnel Games" / "Corvin HOG" / "pref.dat")
            .string();
    }

    // The recording game module; broken: one whose import fails.
    void WriteModule(bool importable)
    {
        std::string text = "import os\nLOG = r'" + LogPath() + "'\nPREF = r'" + PrefPath() + "'\n";
        text += "def _log(t):\n    with open(LOG, 'a') as f:\n        f.write(t + '\\n')\n"
                "def InitGame(engine):\n    _log('InitGame')\n"
                "def LevelFree(engine):\n    _log('LevelFree pref=%d' % os.path.exists(PREF))\n"
                "def DeinitGame():\n    _log('DeinitGame')\n"
                "def Shutdown():\n    _log('Shutdown')\n";
        if (!importable)
            text += "raise RuntimeError('broken game module')\n";
        Write("prog.dat/CorvinHOG.py", text);
    }

    std::vector<std::string> Calls() const
    {
        std::ifstream in(LogPath());
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    std::unique_ptr<VTEngine3> MakeEngine() { return std::make_unique<VTEngine3>(game_.string()); }

    // Constructed, initialised, loading step run and completed (as the main loop would).
    std::unique_ptr<VTEngine3> StartedEngine()
    {
        auto engine = MakeEngine();
        engine->Init();
        engine->LoadingThreadProc();
        engine->LoadingThreadCompleted();
        return engine;
    }
};

TEST_F(EngineTest, StartsWithTheGamesIdentityTitleAndProfiles)
{
    auto engine = MakeEngine();
    EXPECT_EQ(VTEngine::GetInstance(), engine.get());
    EXPECT_EQ(engine->productName, "Corvin HOG");
    EXPECT_EQ(engine->registryKey, "Varnel Games\\Corvin HOG");
    EXPECT_EQ(engine->width, 1024);
    EXPECT_EQ(engine->height, 768);
    const Fw::Widget* root = engine->GetRootDialog();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->GetRect(), Fw::Rect(0, 0, 1024, 768));
    EXPECT_FALSE(root->visible);
    EXPECT_EQ(fs::current_path(), fs::path(game_)) << "the program folder becomes the current folder";
    ASSERT_FALSE(fs::exists(PrefPath()));

    engine->Init();
    EXPECT_EQ(engine->title, L"Fixture Title");
    EXPECT_EQ(engine->GetProfileStore()->Path(), PrefPath());
    EXPECT_TRUE(fs::exists(PrefPath())) << "a missing pref.dat is written back at once";
}

TEST_F(EngineTest, LoadingCompletionPutsTheBoardsInTheTreeShowsTheSplashAndImportsTheModule)
{
    auto engine = MakeEngine();
    engine->Init();
    engine->LoadingThreadProc();
    EXPECT_NE(engine->GetGameBoard(), nullptr);
    EXPECT_EQ(gCurrentGameBoard, engine->GetGameBoard());
    EXPECT_EQ(engine->widgetManager->GetChildren().size(), 1u) << "boards enter the tree on the main thread";
    EXPECT_FALSE(engine->ModuleImportAttempted());

    engine->LoadingThreadCompleted();
    const std::vector<Fw::Widget*> expected = {engine->GetRootDialog(), engine->GetLoadingBoard(),
                                               engine->GetSplashBoard()};
    const auto& children = engine->widgetManager->GetChildren();
    EXPECT_EQ(std::vector<Fw::Widget*>(children.begin(), children.end()), expected);
    EXPECT_TRUE(engine->GetSplashBoard()->visible);
    EXPECT_FALSE(engine->GetLoadingBoard()->visible);
    EXPECT_TRUE(engine->IsModuleLoaded());
    EXPECT_TRUE(Calls().empty()) << "InitGame waits for the splash";
}

TEST_F(EngineTest, HidingTheSplashShowsTheLoadingScreenAndRunsInitGameOnTheWorker)
{
    auto engine = StartedEngine();
    VTBoard_Splash* splash = engine->GetSplashBoard();
    splash->Update(); // a splash without pages ends in its first update
    EXPECT_FALSE(splash->visible);
    EXPECT_TRUE(splash->StartupStarted());
    EXPECT_TRUE(engine->GetLoadingBoard()->visible);
    EXPECT_EQ(engine->widgetManager->GetChildren().back(), engine->GetLoadingBoard());
    splash->JoinStartupWorker();
    EXPECT_FALSE(gScriptLoadBusy) << "the worker lowers the flag when InitGame returned";
    EXPECT_EQ(Calls(), std::vector<std::string>{"InitGame"});

    splash->Hide(); // a second hide starts nothing
    splash->JoinStartupWorker();
    EXPECT_EQ(Calls(), std::vector<std::string>{"InitGame"});
}

enum class Module { Loaded, ImportFailed, NotYetImported };

struct CloseCase {
    const char* what;
    bool busy;
    Module module;
    bool initGameCalled;
    bool scriptShutdownCalled;
    bool loopEnds;
};

TEST_F(EngineTest, CloseRequests)
{
    const CloseCase cases[] = {
        {"busy, module loaded: dropped", true, Module::Loaded, true, false, false},
        {"idle, after InitGame: the script decides", false, Module::Loaded, true, true, false},
        {"idle, module loaded, before InitGame: the loop ends", false, Module::Loaded, false, false, true},
        {"busy, before InitGame: dropped", true, Module::Loaded, false, false, false},
        {"idle, import failed: the loop ends", false, Module::ImportFailed, false, false, true},
        {"idle, not yet imported: nothing changes", false, Module::NotYetImported, false, false, false},
        {"busy, not yet imported: dropped", true, Module::NotYetImported, false, false, false},
        {"busy, import failed: dropped", true, Module::ImportFailed, false, false, false},
    };
    for (const CloseCase& c : cases) {
        fs::remove(LogPath());
        WriteModule(c.module != Module::ImportFailed);
        auto engine = MakeEngine();
        engine->Init();
        if (c.module != Module::NotYetImported) {
            engine->LoadingThreadProc();
            engine->LoadingThreadCompleted();
        }
        EXPECT_EQ(engine->IsModuleLoaded(), c.module == Module::Loaded) << c.what;
        if (c.initGameCalled) {
            engine->GetGameScript()->CallInitGame();
            fs::remove(LogPath());
        }

        gScriptLoadBusy = c.busy;
        engine->Shutdown();
        gScriptLoadBusy = false;
        const std::vector<std::string> expected =
            c.scriptShutdownCalled ? std::vector<std::string>{"Shutdown"} : std::vector<std::string>{};
        EXPECT_EQ(Calls(), expected) << c.what;
        EXPECT_EQ(engine->shutdown.load(), c.loopEnds) << c.what;
        EXPECT_FALSE(engine->shutdownRequested.load()) << c.what << ": nothing is queued for later";

        if (c.scriptShutdownCalled) {
            // The script's engine.Shutdown() ends the loop through the framework's own shutdown.
            engine->EndMainLoop();
            EXPECT_TRUE(engine->shutdown.load()) << c.what;
            EXPECT_EQ(Calls(), expected) << c.what << ": the script is not asked again";
        }
        engine.reset();
    }
}

TEST_F(EngineTest, TeardownSavesProfilesFreesTheLevelThenTheBoardThenTheScriptThenTheRest)
{
    auto engine = StartedEngine();
    engine->GetSplashBoard()->Hide();
    engine->GetSplashBoard()->JoinStartupWorker();
    engine->GetGameBoard()->AddWidget(new LoggingWidget("board child", LogPath()));
    engine->widgetManager->AddWidget(new LoggingWidget("top-level", LogPath()));
    fs::remove(PrefPath());

    const uint32_t before = env_.clock.TimeGetTime();
    engine.reset();
    EXPECT_EQ(env_.clock.TimeGetTime(), before) << "nothing busy after InitGame returned: no wait";
    const std::vector<std::string> expected = {"InitGame", "LevelFree pref=1", "board child deleted host=1",
                                               "DeinitGame", "top-level deleted host=0"};
    EXPECT_EQ(Calls(), expected);
    EXPECT_EQ(gGameScript, nullptr);
    EXPECT_EQ(gCurrentGameBoard, nullptr);
    EXPECT_EQ(VTEngine::GetInstance(), nullptr);
}

TEST_F(EngineTest, WidgetsLockRaisesTheRootDialogAndUnlockOnlyHidesIt)
{
    auto engine = MakeEngine();
    Fw::WidgetManager& manager = *engine->widgetManager;
    auto* a = new Fw::Widget();
    auto* b = new Fw::Widget();
    manager.AddWidget(a);
    manager.AddWidget(b);
    Fw::Widget* root = engine->GetRootDialog();

    engine->WidgetsUnlock();
    EXPECT_FALSE(root->visible);
    EXPECT_EQ(manager.GetChildren().front(), root) << "unlock does not move it";

    engine->WidgetsLock();
    engine->WidgetsLock();
    EXPECT_TRUE(root->visible);
    EXPECT_EQ(manager.GetChildren().back(), root);
    EXPECT_EQ(std::count(manager.GetChildren().begin(), manager.GetChildren().end(), root), 1);

    engine->WidgetsUnlock();
    EXPECT_FALSE(root->visible);
    EXPECT_EQ(manager.GetChildren().back(), root);
}

TEST_F(EngineTest, FocusLossPausesAllSoundOnceAndRegainResumesOnce)
{
    auto engine = MakeEngine();
    engine->Init();
    engine->active = true;
    engine->minimized = false;
    engine->UpdateFocusState(); // the fake window may start without the focus
    device_.ClearLog();
    auto count = [&](const std::string& line) {
        const auto calls = device_.Calls();
        return std::count(calls.begin(), calls.end(), line);
    };
    engine->active = false;
    engine->UpdateFocusState();
    engine->UpdateFocusState();
    EXPECT_EQ(count("Pause 1"), 1);
    EXPECT_EQ(count("Pause 0"), 0);
    engine->active = true;
    engine->UpdateFocusState();
    EXPECT_EQ(count("Pause 1"), 1);
    EXPECT_EQ(count("Pause 0"), 1);
}

} // namespace
