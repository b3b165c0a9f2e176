// The game board around its level, on a plain engine: the level step driven by the application's
// frame time and gated by window activation and the board's visibility, money published through
// the engine's key table, particle systems reset at the level start, focus on show and hide,
// presses and drags on the board's own area, and the teardown.
#include "engine/boards/GameBoard.h"

#include "LevelTestSupport.h"
#include "engine/app/Engine.h"
#include "engine/core/Localization.h"
#include "engine/effects/ParticleSystem.h"
#include "engine/effects/ParticleSystemDesc.h"
#include "engine/scripting/GameScript.h"
#include "framework/widgets/WidgetManager.h"
#include "support/AppEnvironment.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

using namespace LevelTest;

namespace {

class RecordingBoard : public VTBoard_Game {
public:
    using VTBoard_Game::VTBoard_Game;
    void OnLevelEnd() override { ++ends; }
    void OnMoneyChanged() override { ++moneyChanges; }
    void OnShutdown() override { CallLog().push_back("OnShutdown"); }
    void UnloadLevel() override
    {
        CallLog().push_back(gScriptLoadBusy ? "unload busy" : "unload idle");
        VTBoard_Game::UnloadLevel();
    }
    int ends = 0, moneyChanges = 0;
};

class GameBoardTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        engine.frameTime = 250;
        engine.active = true;
        engine.widgetManager->AddWidget(&board);
        board.SetVisible(true);
    }
    void TearDown() override
    {
        engine.widgetManager->RemoveWidget(&board);
        LevelFixture::TearDown();
    }
    std::wstring Key(const char* name) { return engine.GetKeyTable().GetText(name); }

    FwTest::AppEnvironment env;
    TestSupport::ScratchFolder scratch;
    VTEngine engine{scratch.Path()};
    RecordingBoard board{&engine};
};

TEST_F(GameBoardTest, PublishesItselfAndCoversTheApplication)
{
    EXPECT_EQ(gGameBoard, &board);
    EXPECT_EQ(board.GetRect(), Fw::Rect(0, 0, engine.width, engine.height));
}

TEST_F(GameBoardTest, EmptyQueueEndsTheLevelTwoSecondsOfQuarterSecondFramesLater)
{
    board.ResetLevelState();
    int endedAt = 0;
    for (int update = 1; update <= 12 && endedAt == 0; ++update) {
        board.Update();
        EXPECT_FLOAT_EQ(gFrameSeconds, 0.25f) << "update " << update;
        if (board.ends > 0)
            endedAt = update;
    }
    EXPECT_EQ(endedAt, 9) << "armed at 0.25 s, ends when the level clock reaches 2.25 s";
    EXPECT_FALSE(board.IsLevelActive());
    board.Update();
    EXPECT_EQ(gFrameSeconds, 0.0f) << "a stopped level has no frame time";
}

TEST_F(GameBoardTest, InactiveWindowOrHiddenBoardStopsTheLevelClock)
{
    board.ResetLevelState();
    board.Update(); // armed at 0.25 s
    engine.active = false;
    for (int i = 0; i < 20; ++i)
        board.Update();
    EXPECT_EQ(gFrameSeconds, 0.0f);
    engine.active = true;
    board.SetVisible(false);
    for (int i = 0; i < 20; ++i)
        board.Update();
    EXPECT_EQ(board.ends, 0) << "no level time passes while the window is inactive or the board hidden";
    board.SetVisible(true);
    for (int i = 0; i < 8; ++i)
        board.Update();
    EXPECT_EQ(board.ends, 1);
}

TEST_F(GameBoardTest, MoneyOfAnLLevelIsPublishedAndNeverNegative)
{
    board.ResetLevelState();
    EXPECT_EQ(Key("money"), L"0") << "the level start publishes its money";
    const int changesAtStart = board.moneyChanges;
    EXPECT_EQ(board.AddMoney(10), 10);
    EXPECT_EQ(board.AddMoney(-30), 0);
    EXPECT_EQ(Key("money"), L"0");
    EXPECT_EQ(board.AddMoney(0), 0);
    EXPECT_EQ(board.moneyChanges - changesAtStart, 3) << "every call reports, also a gain of 0";
}

TEST_F(GameBoardTest, ELevelMoneyOnlyRisesAndPassesOneTargetPerGain)
{
    scratch.Write("data/doc.xml", "<root/>");
    scratch.Write("cfg/e1.xml", R"(<level doc="data\doc.xml"><events_queue>
        <templates><order_template name="t"><stand/></order_template></templates>
        <stages><stage points="100"/><stage points="250"/></stages></events_queue></level>)");
    ASSERT_TRUE(board.LoadLevel(1, true));
    board.ResetLevelState();
    EXPECT_EQ(board.AddMoney(20), 20);
    EXPECT_EQ(board.AddMoney(-5), 20) << "a loss leaves e-level money";
    EXPECT_EQ(board.AddMoney(300), 320);
    EXPECT_EQ(board.Level().StageNumber(), 2) << "two targets passed, one stage reached";
    EXPECT_EQ(Key("normal"), L"250");
    EXPECT_EQ(Key("money"), L"320");
}

TEST_F(GameBoardTest, LevelStartResetsLiveParticleSystems)
{
    VTParticleSystemDesc desc;
    VTParticleSystem system(&desc, &board);
    system.Play();
    ASSERT_TRUE(system.IsActive());
    board.ResetLevelState();
    EXPECT_FALSE(system.IsActive());
}

TEST_F(GameBoardTest, ShowingTakesTheFocusAndHidingDropsIt)
{
    board.SetVisible(false);
    board.Show();
    EXPECT_EQ(engine.widgetManager->GetFocusWidget(), &board);
    board.Hide();
    EXPECT_EQ(engine.widgetManager->GetFocusWidget(), nullptr);
}

TEST_F(GameBoardTest, ShutdownUnloadsWithTheBusyFlagThenReports)
{
    CallLog().clear();
    board.Shutdown();
    EXPECT_EQ(CallLog(), (std::vector<std::string>{"unload busy", "OnShutdown"}));
    EXPECT_FALSE(gScriptLoadBusy);
}

} // namespace
