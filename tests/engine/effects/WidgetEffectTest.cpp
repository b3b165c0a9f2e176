// Effects on engine widgets: made from the catalogue through the "effect" attribute, advanced by
// the application's frame time, showing the widget themselves, moving it, and running particle
// systems that the widget's update advances.
#include "engine/effects/Effect.h"

#include "EffectTestSupport.h"
#include "engine/effects/EffectCatalogue.h"
#include "engine/effects/EffectFunctions.h"
#include "engine/effects/EffectParticles.h"
#include "engine/effects/EffectValueIds.h"
#include "engine/effects/ParticleSystem.h"
#include "engine/effects/ParticleSystemRegistry.h"
#include "engine/widgets/CandyWidget.h"
#include "support/AppEnvironment.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kCatalogue = R"(<effects>
  <effect name="appear">
    <timers>
      <timer name="t" type="usual" ftime="1" direction="forward">
        <control id="1" type="point" starttime="0.5" function="DlgShow" active="true"/>
      </timer>
    </timers>
    <messages><message name="onshow" timer_id="t" command="start"/></messages>
  </effect>
  <effect name="never">
    <timers><timer name="t" type="usual" ftime="1" direction="forward"/></timers>
    <messages><message name="onshow" timer_id="t" command="start"/></messages>
  </effect>
  <effect name="slide">
    <timers>
      <timer name="t" type="usual" ftime="1" direction="forward">
        <control id="1" type="range" starttime="0" endtime="1" function="DlgSlideFromRightAccel" active="true"/>
        <control id="2" type="range" starttime="0" endtime="1" function="DlgFadeIn" active="true"/>
      </timer>
    </timers>
    <messages><message name="go" timer_id="t" command="start"/></messages>
  </effect>
  <effect name="stars">
    <messages><message name="render_ps" timer_id="RenderPSFunc" command="call"/></messages>
  </effect>
</effects>)";

class WidgetEffectFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(EffectTest::InstallCatalogue(kCatalogue));
        app.frameTime = 250;
    }
    void TearDown() override { FreeEffectCatalogue(); }

    // A widget at (100, 100), 80 x 40, loaded with the named effect.
    std::unique_ptr<VTCandyWidget> Load(const std::string& effect)
    {
        auto widget = std::make_unique<VTCandyWidget>();
        widget->LoadCommonFromXml(EffectTest::ParseElement(
            "<element x=\"100\" y=\"100\" width=\"80\" height=\"40\" effect=\"" + effect + "\"/>"));
        return widget;
    }

    FwTest::AppEnvironment env;
    Fw::AppBase app;
};

TEST_F(WidgetEffectFixture, TheEffectAttributeMakesAndBindsTheEffect)
{
    auto widget = Load("slide");
    auto* effect = dynamic_cast<VTEffect*>(widget->GetEffect());
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->Target(), static_cast<VTIEffect*>(widget.get()));
    EXPECT_EQ(effect->GetValue(VTEffectValueId::Widget), widget.get());
    EXPECT_EQ(Load("unknown")->GetEffect(), nullptr);
}

TEST_F(WidgetEffectFixture, ShowLeavesVisibilityToTheEffect)
{
    auto widget = Load("appear");
    widget->Show();
    EXPECT_FALSE(widget->visible);
    widget->Update(); // 0.25 s
    EXPECT_FALSE(widget->visible);
    widget->Update(); // 0.5 s: the point shows it
    EXPECT_TRUE(widget->visible);

    auto hidden = Load("never");
    hidden->Show();
    for (int i = 0; i < 8; ++i)
        hidden->Update();
    EXPECT_FALSE(hidden->visible);
    EXPECT_TRUE(hidden->IsShowing());
}

TEST_F(WidgetEffectFixture, AdvancesByTheApplicationFrameTimeAndMovesInTheSameFrame)
{
    auto widget = Load("slide");
    widget->SetVisible(true);
    widget->GetEffect()->FireEvent("go");
    EXPECT_EQ(widget->offset.x, 80); // one width to the right at the start
    widget->Update();                // 0.25 s: (1 - 0.25)^2 x 80
    EXPECT_EQ(widget->offset.x, 45);
    EXPECT_FLOAT_EQ(widget->alpha, 0.25f);
    EXPECT_EQ(widget->GetScreenBounds().x, 145);
    app.frameTime = 750;
    widget->Update();
    EXPECT_EQ(widget->offset.x, 0);
    EXPECT_EQ(widget->GetScreenBounds().x, 100);
}

TEST_F(WidgetEffectFixture, GoalStarsEmitAsTheWidgetUpdatesAndStop)
{
    VTParticleSystemRegistry registry;
    VTParticleSystemRegistry* previous = SetEffectParticleRegistry(&registry);
    {
        auto widget = Load("stars");
        auto* effect = static_cast<VTEffect*>(widget->GetEffect());
        VTEffectState state;
        state.owner = effect;
        state.value = 0.0f;
        ASSERT_EQ(FuncOnGoalExpertPSEffect(&state), 1);
        auto* small = effect->Value<VTParticleSystem>(VTEffectValueId::ParticleSystem0);
        auto* big = effect->Value<VTParticleSystem>(VTEffectValueId::ParticleSystem1);
        ASSERT_NE(small, nullptr);
        ASSERT_NE(big, nullptr);
        EXPECT_TRUE(small->IsActive());
        EXPECT_TRUE(big->IsActive());
        EXPECT_EQ(registry.Count(effect->ParticleOwnerKey()), 2u);
        ASSERT_EQ(FuncOnGoalExpertPSEffect(&state), 1); // found again, not made twice
        EXPECT_EQ(registry.Count(effect->ParticleOwnerKey()), 2u);

        widget->Update();
        widget->Update();
        EXPECT_FALSE(small->Particles().empty());
        EXPECT_FALSE(big->Particles().empty());

        state.value = 1.0f;
        ASSERT_EQ(FuncOnGoalExpertPSEffect(&state), 1);
        EXPECT_FALSE(small->IsActive());
        EXPECT_FALSE(big->IsActive());
    }
    EXPECT_EQ(registry.Size(), 0u) << "the systems go with their effect";
    SetEffectParticleRegistry(previous);
}

} // namespace
