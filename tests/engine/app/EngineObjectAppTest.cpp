// The engine object on the real engine of a fixture game: the services reach the boards, the
// tables and the profile store; display work from a worker waits for the main thread's next step;
// the survey edition's Shutdown goes through the platform's URL opener.
#include "engine/boards/GameBoard3.h"
#include "engine/boards/LoadScreenBoard.h"
#include "engine/core/DebugSettings.h"
#include "engine/app/Engine3.h"
#include "engine/core/Localization.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/GilGuard.h"
#include "support/GameFolderTest.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

class EngineObjectAppTest : public TestSupport::GameFolderTest {
protected:
    void SetUp() override
    {
        GameFolderTest::SetUp();
        Write("prog.dat/CorvinHOG.py", "def InitGame(engine):\n    pass\n");
        engine_ = std::make_unique<VTEngine3>(game_.string());
        engine_->Init();
        engine_->LoadingThreadProc();
        engine_->LoadingThreadCompleted();
    }

    void TearDown() override
    {
        engine_.reset();
        gDebugSettings->surveyEdition = false;
        GameFolderTest::TearDown();
    }

    // Runs statements with "engine" bound to the engine object; false when they raised.
    static bool Run(const std::string& statements)
    {
        GilGuard gil;
        PyObject* globals = PyDict_New();
        PyDict_SetItemString(globals, "__builtins__", PyEval_GetBuiltins());
        PyDict_SetItemString(globals, "engine", gExtPythonManager->GetEngineObject()->GetObject());
        PyObject* done = PyRun_String(statements.c_str(), Py_file_input, globals, globals);
        const bool ok = done != nullptr;
        PyErr_Clear();
        Py_XDECREF(done);
        Py_DECREF(globals);
        return ok;
    }

    std::unique_ptr<VTEngine3> engine_;
};

} // namespace

TEST_F(EngineObjectAppTest, AWorkerScriptReachesTheEngineAndItsBoards)
{
    ASSERT_NE(GetEngineServices(), nullptr);
    bool ok = false;
    std::thread worker([&] {
        ok = Run("engine.SetLoadingSkin('dusk')\nengine.LoadLevel('crypt')\nengine.SetKeyLoc('k', 'app_title')\n"
                 "engine.ProfileCreate('Ann')\nengine.esc_menu_active = 1\n");
    });
    worker.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(engine_->GetGameBoard()->PendingLevelName(), "crypt");
    EXPECT_EQ(engine_->GetKeyTable().GetText("k"), L"Fixture Title");
    EXPECT_EQ(engine_->GetProfileStore()->Count(), 1u);
    EXPECT_TRUE(engine_->IsEscMenuActive());
    EXPECT_EQ(engine_->GetLoadingBoard()->SelectedPicture(), "") << "the visible board waits for the main thread";

    engine_->ApplyDeferredCursorCalls(); // what the next application step does first
    EXPECT_EQ(engine_->GetLoadingBoard()->SelectedPicture(), "dusk");
}

TEST_F(EngineObjectAppTest, SurveyShutdownOpensTheLinkThroughThePlatform)
{
    Write("link.txt", "https://example.com/thanks\n");
    gDebugSettings->surveyEdition = true;
    EXPECT_TRUE(Run("engine.Shutdown()"));
    EXPECT_EQ(env_.ws.openedUrls, (std::vector<std::string>{"https://example.com/thanks"}));
    EXPECT_TRUE(engine_->shutdown) << "the framework's shutdown ran";
}
