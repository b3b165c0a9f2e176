// The script-driven game board on the game's engine object: mouse input queued on the board and
// its widgets and delivered by the frame hook, the gating of the script's LevelUpdate, and level
// loads stepped through the manual launcher (the hand-over, waiting requests, close requests).
#include "ScriptBoardFixture.h"

#include "engine/core/Localization.h"
#include "engine/effects/ParticleSystem.h"
#include "engine/effects/ParticleSystemDesc.h"
#include "engine/scripting/GameScript.h"

#include <algorithm>
#include <thread>

using namespace ScriptBoardTest;

namespace {

class GameBoard3Test : public ScriptBoardFixture {
protected:
    // Up to a running level "first", the call log cleared.
    void Running()
    {
        Start();
        PastSplash();
        LoadLevel("first");
        Calls(true);
    }
    Strings Frame()
    {
        engine_->DoUpdateFramesF(1.0f);
        return Calls(true);
    }
};

TEST_F(GameBoard3Test, OneFrameDeliversPressesThenReleasesThenMoves)
{
    Running();
    auto* child = new VTCandyWidget();
    Board().AddChild("button", child);
    child->MouseMove(1, 1);
    child->MouseDown(1, 1, 0, 2);
    child->MouseUp(1, 1, 1, 1);
    child->MouseDrag(1, 1);
    const Strings frame = Frame();
    ASSERT_EQ(frame.size(), 5u);
    EXPECT_EQ(frame[0], "LevelUpdate");
    EXPECT_EQ(frame[1].rfind("MouseDown", 0), 0u) << frame[1];
    EXPECT_EQ(frame[1].substr(frame[1].size() - 3), "0 2") << "button and click count";
    EXPECT_EQ(frame[2].rfind("MouseUp", 0), 0u) << frame[2];
    EXPECT_EQ(frame[3].rfind("MouseMove", 0), 0u) << frame[3];
    EXPECT_EQ(frame[4].rfind("MouseMove", 0), 0u) << "a drag over a child is a move";
    EXPECT_EQ(Frame(), Strings{"LevelUpdate"}) << "each record is delivered once";
}

TEST_F(GameBoard3Test, RecordsQueuedByACallbackGoOutInTheSamePass)
{
    Running();
    ScriptActs("MouseDown", "up");
    Board().QueueMouseDown(3, 4, 0, 1);
    EXPECT_EQ(Frame(), (Strings{"LevelUpdate", "MouseDown 3 4 0 1", "MouseUp 5 6 0"}));
}

TEST_F(GameBoard3Test, TheBoardsOwnAreaQueuesReleasesAndMovesButNoPressesOrDrags)
{
    Running();
    Board().MouseDown(10, 10, 0, 1);
    Board().MouseDrag(12, 12);
    Board().MouseUp(12, 12, 0, 1);
    Board().MouseMove(13, 13);
    const Strings frame = Frame();
    ASSERT_EQ(frame.size(), 3u);
    EXPECT_EQ(frame[1].rfind("MouseUp", 0), 0u) << frame[1];
    EXPECT_EQ(frame[2].rfind("MouseMove", 0), 0u) << frame[2];
}

struct GateCase {
    const char* what;
    bool levelRunning, appActive, boardVisible, loadFinished;
    bool levelUpdate;
};

TEST_F(GameBoard3Test, LevelUpdateRunsOnlyForARunningActiveVisibleLoadedLevel)
{
    const GateCase cases[] = {
        {"all set", true, true, true, true, true},
        {"level stopped", false, true, true, true, false},
        {"window inactive", true, false, true, true, false},
        {"board hidden", true, true, false, true, false},
        {"level load under way", true, true, true, false, false},
    };
    Running();
    for (const GateCase& c : cases) {
        Board().ResetLevelState();
        if (!c.levelRunning)
            Board().EndLevelStep();
        engine_->active = c.appActive;
        Board().SetVisible(c.boardVisible);
        engine_->loadingThreadFinished = c.loadFinished;
        Board().QueueMouseMove(7, 8);
        const Strings expected = c.levelUpdate ? Strings{"LevelUpdate", "MouseMove 7 8"} : Strings{"MouseMove 7 8"};
        EXPECT_EQ(Frame(), expected)
            << c.what << ": queued input is delivered in every case";
        engine_->active = true;
        Board().SetVisible(true);
        engine_->loadingThreadFinished = true;
    }
}

TEST_F(GameBoard3Test, WithoutAGameModuleTheFrameHookAndTheLevelLoadCallNothing)
{
    Write("prog.dat/CorvinHOG.py", "raise RuntimeError('broken')\n");
    Start();
    PastSplash();
    LoadLevel("x");
    Board().QueueMouseDown(1, 2, 0, 1);
    EXPECT_TRUE(Frame().empty());
    EXPECT_TRUE(Board().visible) << "the hand-over still shows the board";
}

TEST_F(GameBoard3Test, LevelLoadSteppedThroughTheLauncher)
{
    Running();
    VTBoard_LoadScreen* loading = engine_->GetLoadingBoard();
    ASSERT_TRUE(Manager().HasWidget(&Board()));
    ASSERT_FALSE(loading->visible);
    Board().QueueMouseDown(2, 3, 0, 1);

    Board().StartLevelLoad("x");
    EXPECT_TRUE(engine_->loadingThreadBusy) << "the loading flag is up at once";
    EXPECT_FALSE(engine_->loadingThreadFinished);
    EXPECT_TRUE(engine_->loadingThreadCompleted) << "the initial loading's flag is left alone";
    EXPECT_FALSE(Manager().HasWidget(&Board()));
    EXPECT_FALSE(Board().visible);
    EXPECT_TRUE(loading->visible);
    EXPECT_EQ(Manager().GetChildren().back(), loading);
    EXPECT_TRUE(gScriptLoadBusy) << "close requests are dropped from the start of the load";
    EXPECT_EQ(launcher_.Waiting(), 1u);

    EXPECT_EQ(Frame(), Strings{"MouseDown 2 3 0 1"}) << "input queued before the load is delivered during it";
    engine_->StepBoards();
    EXPECT_TRUE(Board().IsLevelLoadPending()) << "no hand-over before the load thread ends";

    launcher_.RunNext();
    EXPECT_EQ(Calls(true), (Strings{"LevelFree", "LoadLevel:x"}));
    EXPECT_TRUE(engine_->loadingThreadFinished);
    EXPECT_FALSE(gScriptLoadBusy);
    // What the script's LoadLevel may leave behind: money set, a particle system playing.
    engine_->GetKeyTable().SetInt("money", 40);
    VTParticleSystemDesc desc;
    VTParticleSystem system(&desc, &Board());
    system.Play();
    EXPECT_FALSE(Board().visible) << "the board waits for the main thread";

    engine_->StepBoards();
    EXPECT_TRUE(Manager().HasWidget(&Board()));
    EXPECT_TRUE(Board().visible);
    EXPECT_FALSE(loading->visible);
    EXPECT_FALSE(engine_->loadingThreadBusy);
    EXPECT_FALSE(Board().IsLevelLoadPending());
    EXPECT_EQ(engine_->GetKeyTable().GetText("money"), L"0");
    EXPECT_FALSE(system.IsActive());
    EXPECT_TRUE(Board().IsLevelActive());
    EXPECT_EQ(Frame(), Strings{"LevelUpdate"});
}

TEST_F(GameBoard3Test, TheFirstLoadFindsTheBoardOutsideTheTreeBehindTheLoadingBoard)
{
    Start();
    PastSplash();
    ASSERT_FALSE(Manager().HasWidget(&Board()));
    ASSERT_TRUE(engine_->GetLoadingBoard()->visible);
    Board().StartLevelLoad("first");
    EXPECT_FALSE(Manager().HasWidget(&Board()));
    EXPECT_TRUE(engine_->GetLoadingBoard()->visible);
    launcher_.RunAll();
    engine_->StepBoards();
    EXPECT_TRUE(Manager().HasWidget(&Board()));
    EXPECT_EQ(Manager().GetFocusWidget(), &Board()) << "the shown board takes the focus";
}

TEST_F(GameBoard3Test, RequestsDuringALoadWaitAndOnlyTheLatestStartsAfterTheHandOver)
{
    Running();
    Board().StartLevelLoad("a");
    Board().StartLevelLoad("b");
    Board().StartLevelLoad("c");
    EXPECT_EQ(Board().LevelName(), "a") << "the running load keeps its name";
    EXPECT_EQ(launcher_.Waiting(), 1u);
    launcher_.RunAll();
    engine_->StepBoards();
    EXPECT_TRUE(Board().IsLevelLoadPending()) << "the waiting request starts right after the hand-over";
    EXPECT_EQ(Board().LevelName(), "c");
    launcher_.RunAll();
    engine_->StepBoards();
    EXPECT_FALSE(Board().HasWaitingLevelLoad());
    EXPECT_EQ(Calls(), (Strings{"LevelFree", "LoadLevel:a", "LevelFree", "LoadLevel:c"}));
}

TEST_F(GameBoard3Test, CloseRequestsDuringALoadAreDropped)
{
    Running();
    Board().StartLevelLoad("x");
    engine_->Shutdown();
    launcher_.RunAll();
    engine_->StepBoards();
    EXPECT_EQ(Calls(true), (Strings{"LevelFree", "LoadLevel:x"})) << "not called then, nor replayed later";
    engine_->Shutdown();
    EXPECT_EQ(Calls(), Strings{"Shutdown"});
}

// ---- real threads ----

using GameBoard3Threads = ScriptBoardFixture;

TEST_F(GameBoard3Threads, RequestFromTheStartUpWorkerStartsOnTheMainThreadsNextStep)
{
    Start();
    ScriptActs("InitGame", "load:first");
    VTBoard_Splash* splash = engine_->GetSplashBoard();
    for (int i = 0; i < 10 && !splash->StartupStarted(); ++i)
        splash->Update();
    std::thread worker([this] { launcher_.RunAll(); });
    worker.join();
    EXPECT_TRUE(Board().HasWaitingLevelLoad());
    EXPECT_FALSE(Board().IsLevelLoadPending()) << "nothing of the board changed on the worker";
    EXPECT_EQ(launcher_.Waiting(), 0u);

    engine_->StepBoards();
    EXPECT_TRUE(Board().IsLevelLoadPending());
    EXPECT_EQ(Board().LevelName(), "first");
    launcher_.RunAll();
    engine_->StepBoards();
    EXPECT_EQ(Calls(), (Strings{"InitGame", "LevelFree", "LoadLevel:first"}));
    EXPECT_TRUE(Board().visible);
}

TEST_F(GameBoard3Threads, LevelLoadOnARealThreadWhileFramesRun)
{
    Start();
    PastSplash();
    LoadLevel("first");
    Calls(true);

    VTStdThreadLauncher threads;
    ScopedThreadLauncher useThreads(threads);
    Board().StartLevelLoad("second");
    // Frames go on while the load runs: input queued before the load, LevelUpdate held back.
    Board().QueueMouseMove(1, 1);
    for (int i = 0; i < 50 && !engine_->loadingThreadFinished; ++i) {
        engine_->DoUpdateFramesF(1.0f);
        engine_->StepBoards();
    }
    threads.JoinAll();
    engine_->StepBoards();
    engine_->DoUpdateFramesF(1.0f);
    EXPECT_FALSE(Board().IsLevelLoadPending());
    EXPECT_TRUE(Board().visible);
    const Strings calls = Calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "MouseMove 1 1"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "LevelUpdate"), 1) << "only after the hand-over";
    // The frame's MouseMove may fall between the two: the load holds the script lock per call only.
    // When the load ends before the first frame of the loop, the move comes with the last frame,
    // after its LevelUpdate.
    const auto freeAt = std::find(calls.begin(), calls.end(), "LevelFree");
    const auto loadAt = std::find(calls.begin(), calls.end(), "LoadLevel:second");
    const auto updateAt = std::find(calls.begin(), calls.end(), "LevelUpdate");
    EXPECT_TRUE(freeAt < loadAt && loadAt < updateAt && updateAt != calls.end());
}

} // namespace
