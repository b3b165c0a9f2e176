// Effects from the catalogue: parsing, messages and their commands, advancing, values.
#include "engine/effects/Effect.h"

#include "EffectTestSupport.h"
#include "engine/effects/EffectCatalogue.h"
#include "engine/effects/EffectFunctionTable.h"
#include "engine/effects/EffectValueIds.h"
#include "engine/effects/WidgetEffect.h"
#include "platform/fake/FakeClock.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

namespace {

// A fade over one second (DlgFadeIn over the whole timer), a point at 0 that hides the widget, and
// the messages that drive it.
constexpr const char* kCatalogue = R"(<?xml version="1.0"?>
<effects>
  <effect name="fade">
    <timers>
      <timer name="main" type="usual" ftime="1" direction="forward">
        <control id="1" type="range" starttime="0" endtime="1" function="DlgFadeIn" active="true"/>
      </timer>
      <timer name="flash" type="usual" ftime="1" direction="forward">
        <control id="2" type="point" starttime="0" function="DlgHide" active="true"/>
      </timer>
    </timers>
    <messages>
      <message name="onshow" timer_id="main" command="start"/>
      <message name="restart" timer_id="main" command="stop"/>
      <message name="restart" timer_id="main" command="start"/>
      <message name="halt" timer_id="main" command="stop"/>
      <message name="pause" timer_id="main" command="pause"/>
      <message name="resume" timer_id="main" command="resume"/>
      <message name="flash" timer_id="flash" command="start"/>
      <message name="render_ps" timer_id="RenderPSFunc" command="call"/>
      <message name="wrongform" timer_id="DlgFadeIn" command="call"/>
      <message name="nobody" timer_id="missing" command="start"/>
      <message name="odd" timer_id="main" command="Start"/>
    </messages>
  </effect>
  <effect name="it's &quot;quoted&quot;">
    <timers><timer name="a" type="cycle" ftime="1" direction="forward"/></timers>
  </effect>
</effects>
)";

class EffectFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EffectTest::InstallCatalogue(kCatalogue));
        effect = CreateEffectByName("fade");
        ASSERT_NE(effect, nullptr);
        effect->SetTarget(&target);
    }
    void TearDown() override { FreeEffectCatalogue(); }

    VTTimer& Main() { return *effect->GetTimer(0); }

    Platform::FakeClock clock;
    Platform::ScopedClock installed{clock};
    EffectTest::RecordingTarget target;
    std::unique_ptr<VTEffect> effect;
};

TEST_F(EffectFixture, ParsesTimersAndMessagesInFileOrder)
{
    ASSERT_EQ(effect->TimerCount(), 2u);
    EXPECT_EQ(Main().Controls().size(), 1u);
    EXPECT_FALSE(Main().IsRunning()); // nothing moves before a message starts it
    std::vector<std::string> restart;
    effect->ForEachMessage([&](const std::string& name, const VTEffectMessage& message) {
        if (name == "restart")
            restart.push_back(std::to_string(message.command));
        if (name == "render_ps") {
            EXPECT_EQ(message.function, FindMessageFunction("RenderPSFunc"));
        }
        if (name == "wrongform" || name == "nobody") {
            EXPECT_EQ(message.function, nullptr);
        }
        if (name == "nobody") {
            EXPECT_EQ(message.timer, nullptr);
        }
        if (name == "odd") {
            EXPECT_EQ(message.command, kEffectCommandNone); // commands are case-sensitive
        }
    });
    EXPECT_EQ(restart, (std::vector<std::string>{"1", "2"}));
}

TEST_F(EffectFixture, StartRunsAndTheZeroUpdateFiresAtOnce)
{
    EXPECT_TRUE(effect->FireEvent("onshow"));
    EXPECT_TRUE(Main().IsRunning());
    // The range opens at time 0: its opening call and its progress 0.
    EXPECT_EQ(target.log, (std::vector<std::string>{"alpha 0", "alpha 0"}));
    effect->Update(0.5f);
    EXPECT_FLOAT_EQ(target.alpha, 0.5f);
    effect->Update(0.5f);
    EXPECT_FLOAT_EQ(target.alpha, 1.0f);
    EXPECT_TRUE(Main().IsFinished());
    target.log.clear();
    effect->Update(0.5f);
    EXPECT_TRUE(target.log.empty()) << "a finished timer is left alone";
}

TEST_F(EffectFixture, StopThenStartUnderOneNameRestarts)
{
    effect->FireEvent("onshow");
    effect->Update(0.6f);
    effect->FireEvent("restart");
    EXPECT_TRUE(Main().IsRunning());
    EXPECT_DOUBLE_EQ(Main().Time(), 0.0);
    EXPECT_FLOAT_EQ(target.alpha, 0.0f);
}

TEST_F(EffectFixture, PauseKeepsTimeStopRewindsResumeGoesOn)
{
    effect->FireEvent("onshow");
    effect->Update(0.25f);
    effect->FireEvent("pause");
    effect->Update(0.5f);
    EXPECT_DOUBLE_EQ(Main().Time(), 0.25);
    EXPECT_FLOAT_EQ(target.alpha, 0.25f);
    effect->FireEvent("resume");
    effect->Update(0.25f);
    EXPECT_FLOAT_EQ(target.alpha, 0.5f);
    effect->FireEvent("halt");
    EXPECT_FALSE(Main().IsRunning());
    EXPECT_DOUBLE_EQ(Main().Time(), 0.0);
}

TEST_F(EffectFixture, PointAtZeroFiresOnTheStartingEvent)
{
    target.visible = true;
    effect->FireEvent("flash");
    EXPECT_EQ(target.log, (std::vector<std::string>{"visible 0"}));
}

TEST_F(EffectFixture, EventsWithoutMessagesOrTimersChangeNothing)
{
    EXPECT_FALSE(effect->FireEvent("nothing"));
    EXPECT_TRUE(effect->FireEvent("nobody"));
    EXPECT_TRUE(effect->FireEvent("odd"));
    EXPECT_TRUE(effect->FireEvent("wrongform"));
    EXPECT_TRUE(target.log.empty());
    EXPECT_FALSE(Main().IsRunning());
}

TEST_F(EffectFixture, CallPassesTheEffectItself)
{
    // RenderPSFunc reads the Graphics (id 262) from the effect it gets: unbound, it draws nothing
    // and must not take the effect for a timer's state record.
    EXPECT_TRUE(effect->FireEvent("render_ps"));
    EXPECT_EQ(FindMessageFunction("RenderPSFunc")(effect.get()), 0);
}

TEST_F(EffectFixture, ValuesBindAndRebind)
{
    int first = 1, second = 2;
    EXPECT_EQ(effect->GetValue(VTEffectValueId::Offset), nullptr);
    EXPECT_TRUE(effect->SetValue(VTEffectValueId::Offset, &first));
    EXPECT_TRUE(effect->SetValue(VTEffectValueId::Offset, &second));
    EXPECT_EQ(effect->GetValue(VTEffectValueId::Offset), &second);
}

TEST_F(EffectFixture, UnknownAndTrickyNamesAreLookedUpSafely)
{
    EXPECT_EQ(CreateEffectByName("nope"), nullptr);
    EXPECT_EQ(CreateEffectByName("fade\"] | //effect[@name=\"fade"), nullptr);
    const auto quoted = CreateEffectByName("it's \"quoted\"");
    ASSERT_NE(quoted, nullptr);
    EXPECT_EQ(quoted->TimerCount(), 1u);
}

TEST_F(EffectFixture, TheCatalogueMakesWidgetEffects)
{
    EXPECT_NE(CreateWidgetEffect("fade"), nullptr);
    EXPECT_EQ(CreateWidgetEffect("nope"), nullptr);
    FreeEffectCatalogue();
    EXPECT_EQ(CreateEffectByName("fade"), nullptr);
    EXPECT_EQ(CreateWidgetEffect("fade"), nullptr);
}

TEST(EffectCatalogue, LoadsCfgEffectXmlAndSurvivesItsAbsence)
{
    TestSupport::ScratchFolder folder;
    LoadEffectCatalogue();
    EXPECT_FALSE(HasEffectCatalogue());
    EXPECT_EQ(CreateEffectByName("fade"), nullptr);

    folder.Write("cfg/effect.xml", kCatalogue);
    LoadEffectCatalogue();
    EXPECT_TRUE(HasEffectCatalogue());
    EXPECT_NE(CreateEffectByName("fade"), nullptr);
    FreeEffectCatalogue();
    EXPECT_FALSE(HasEffectCatalogue());
}

} // namespace
