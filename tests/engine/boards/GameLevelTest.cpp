// The hosted level: level files written into a scratch folder, the per-frame step with its event
// firing and level-over delay, money and stages of e-levels, hover and click.
#include "engine/boards/GameLevel.h"

#include "LevelTestSupport.h"
#include "engine/core/Localization.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace LevelTest;
using Strings = std::vector<std::string>;

namespace {

// Records the hooks into CallLog(); FireEvent declines the points named in decline once each.
class RecordingHooks : public GameLevelHooks {
public:
    bool IsBoardActive() const override { return boardActive; }
    bool FireEvent(TimePoint& point) override
    {
        const bool decline = !declineOnce.empty() && declineOnce.front() == point.event;
        if (decline)
            declineOnce.erase(declineOnce.begin());
        CallLog().push_back("fire:" + point.event + (decline ? "(declined)" : ""));
        return !decline;
    }
    void OnLevelStart() override { CallLog().push_back("start"); }
    void OnLevelEnd() override { CallLog().push_back("end"); }
    void OnLevelStop() override { CallLog().push_back("stop"); }
    void OnLevelUnloaded() override { CallLog().push_back("unloaded"); }
    void OnObjectClicked(VTLevelObject* object) override { CallLog().push_back("clicked:" + object->name); }
    void OnStageChanged() override { CallLog().push_back("stage"); }
    void PlayClickSound() override { CallLog().push_back("sound"); }

    bool boardActive = true;
    Strings declineOnce;
};

class GameLevelTest : public LevelFixture {
protected:
    void WriteLevel(const std::string& file, const std::string& body)
    {
        scratch.Write(file, R"(<level doc="data\doc.xml">)" + body + "</level>");
    }
    // Runs one update of frameMs milliseconds and returns what it logged.
    Strings Update(int frameMs = 1000)
    {
        CallLog().clear();
        level.Step(frameMs);
        return CallLog();
    }

    TestSupport::ScratchFolder scratch;
    RecordingHooks hooks;
    VTLocalization keys;
    GameLevel level{hooks, &keys};
};

TEST_F(GameLevelTest, FixedQueueFiresOnePointPerUpdateAndEndsTwoSecondsAfterTheLast)
{
    scratch.Write("data/doc.xml", "<root/>");
    WriteLevel("cfg/l1.xml", R"(<events_queue><time_point time="1.0" event="a"/>
        <time_point time="1.0" event="b"/></events_queue>)");
    ASSERT_TRUE(level.LoadLevel(1, false));
    hooks.declineOnce = {"b"};
    level.ResetLevelState();

    EXPECT_EQ(Update(), Strings{"fire:a"});
    EXPECT_EQ(Update(), Strings{"fire:b(declined)"});
    EXPECT_EQ(Update(), Strings{"fire:b"}); // offered again, then the queue is at its end
    EXPECT_TRUE(level.IsLevelOverArmed());
    EXPECT_EQ(Update(), Strings{}); // level clock 4.0 of 5.0
    EXPECT_EQ(Update(), (Strings{"stop", "end"}));
    EXPECT_FALSE(level.IsRunning());
    EXPECT_EQ(Update(), Strings{});
}

TEST_F(GameLevelTest, InactiveBoardStopsTheClocks)
{
    scratch.Write("data/doc.xml", "<root/>");
    WriteLevel("cfg/l1.xml", R"(<events_queue><time_point time="0.5" event="a"/></events_queue>)");
    ASSERT_TRUE(level.LoadLevel(1, false));
    level.ResetLevelState();
    hooks.boardActive = false;
    EXPECT_EQ(Update(), Strings{});
    EXPECT_EQ(gFrameSeconds, 0.0f);
    EXPECT_EQ(level.Queue().Clock(), 0.0f);
    hooks.boardActive = true;
    EXPECT_EQ(Update(250), Strings{});
    EXPECT_EQ(gFrameSeconds, 0.25f);
    EXPECT_EQ(Update(250), Strings{"fire:a"}); // due exactly at its time
}

TEST_F(GameLevelTest, NeverLoadedLevelRunsOverEmptyRegistries)
{
    // What the script-driven board does: no level file is read, the level starts and updates.
    level.ResetLevelState();
    EXPECT_EQ(keys.GetText("money"), L"0");
    for (int frame = 0; frame < 3; ++frame) {
        level.TickEvents();
        LevelObjects::UpdateAll();
        level.Step(16);
    }
    EXPECT_TRUE(level.IsLevelOverArmed());
    EXPECT_EQ(std::count(CallLog().begin(), CallLog().end(), "fire:"), 0);
    level.UnloadLevel(); // nothing loaded: no hook
    EXPECT_EQ(CallLog(), Strings{"start"});
}

TEST_F(GameLevelTest, ELevelMoneyAdvancesOneStagePerGain)
{
    scratch.Write("data/doc.xml", R"(<root><objects>
        <object class="rec" name="gate"/><object class="rec" name="tower"/></objects>
        <graphs><graph name="boss"><points><point name="p"/></points></graph></graphs></root>)");
    WriteLevel("cfg/e1.xml", R"(<stages><stage num="2"><object name="gate"/><object name="ghost"/></stage>
          <stage num="3"><object name="tower"/></stage></stages>
        <events_queue><templates><order_template name="t"><stand/></order_template></templates>
          <stages><stage points="100"/><stage points="250"/></stages></events_queue>)");
    ASSERT_TRUE(level.LoadLevel(1, true));
    ASSERT_EQ(level.StageRecords().size(), 2u);
    EXPECT_EQ(level.StageRecords().front().objects.size(), 1u) << "an unknown name is skipped";
    EXPECT_EQ(level.GraphSets().at("boss")->Combined().Points().size(), 1u);
    level.ResetLevelState();
    EXPECT_EQ(level.StageNumber(), 1);

    CallLog().clear();
    EXPECT_EQ(level.AddMoney(300), 300); // passes both targets: one stage only
    EXPECT_EQ(CallLog(), (Strings{"gate:SetActive(1)", "stage"}));
    EXPECT_TRUE(LevelObjects::FindByName("gate")->active);
    EXPECT_EQ(keys.GetText("normal"), L"250");
    EXPECT_EQ(keys.GetText("money"), L"300");

    EXPECT_EQ(level.AddMoney(-50), 300) << "money never falls in e-levels";
    EXPECT_EQ(level.StageNumber(), 3);
    EXPECT_EQ(keys.GetText("normal"), L"400");
    EXPECT_TRUE(LevelObjects::FindByName("tower")->active);
}

TEST_F(GameLevelTest, MoneySaturatesAndNeverGoesBelowZero)
{
    level.ResetLevelState();
    const int32_t max = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(level.AddMoney(max), max);
    EXPECT_EQ(level.AddMoney(max), max);
    EXPECT_EQ(level.AddMoney(std::numeric_limits<int32_t>::min()), 0);
    EXPECT_EQ(level.AddMoney(-5), 0);
    EXPECT_EQ(keys.GetText("money"), L"0");
}

TEST_F(GameLevelTest, BrokenLevelsAreRefusedAndLeaveNoLevel)
{
    scratch.Write("data/doc.xml", R"(<root><objects><object class="rec" name="a"/></objects></root>)");
    const struct {
        const char* what;
        const char* file;
        const char* text;
        bool eLevel;
    } kCases[] = {
        {"missing file", nullptr, nullptr, false},
        {"no level element", "cfg/l1.xml", "<other/>", false},
        {"no doc", "cfg/l1.xml", "<level/>", false},
        {"doc missing", "cfg/l1.xml", R"(<level doc="data\none.xml"/>)", false},
        {"no events_queue", "cfg/e1.xml", R"(<level doc="data\doc.xml"/>)", true},
        {"no stages", "cfg/e1.xml", R"(<level doc="data\doc.xml"><events_queue/></level>)", true},
    };
    for (const auto& c : kCases) {
        TestSupport::ScratchFolder folder;
        folder.Write("data/doc.xml", R"(<root><objects><object class="rec" name="a"/></objects></root>)");
        if (c.file)
            folder.Write(c.file, c.text);
        CallLog().clear();
        EXPECT_FALSE(level.LoadLevel(1, c.eLevel)) << c.what;
        EXPECT_EQ(level.LevelNumber(), 0) << c.what;
        EXPECT_TRUE(gLevelObjectList.empty()) << c.what;
        EXPECT_TRUE(level.Queue().IsAtEnd()) << c.what;
        level.UnloadLevel();
        EXPECT_EQ(std::count(CallLog().begin(), CallLog().end(), "unloaded"), 0) << c.what;
    }
}

TEST_F(GameLevelTest, HoverClaimsAndClicksReachTheNextUpdate)
{
    scratch.Write("data/doc.xml", R"(<root><objects>
        <object class="rec" name="btn" active="1" mouse="1" x="0" y="0" w="10" h="10"/></objects></root>)");
    WriteLevel("cfg/l1.xml", R"(<events_queue><time_point time="99"/></events_queue>)");
    ASSERT_TRUE(level.LoadLevel(1, false));
    struct Claimer : RecordingObject {
        bool TakeHover(bool inside) override { return inside; }
    };
    // The class is ours: an interactive object is what a level-object class registers.
    VTLevelObject* button = LevelObjects::FindByName("btn");
    Claimer claimer;
    claimer.name = "claimer";
    claimer.active = claimer.mouseEnabled = true;
    claimer.region.Add(0, 0, 10, 10);
    gInteractiveObjects = {{"a", &claimer}, {"b", button}};

    level.TrackHover(5, 5); // not running yet: ignored
    EXPECT_EQ(level.Hovered(), nullptr);
    level.ResetLevelState();
    level.TrackHover(5, 5);
    EXPECT_EQ(level.Hovered(), &claimer);
    CallLog().clear();
    level.ClickHovered(20, 20); // outside
    level.ClickHovered(5, 5);
    EXPECT_EQ(CallLog(), (Strings{"claimer:OnClick", "sound"}));
    EXPECT_EQ(Update(), (Strings{"btn:Update", "clicked:claimer"}));
    gInteractiveObjects.clear();
}

} // namespace
