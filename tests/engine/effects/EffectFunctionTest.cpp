// The exported effect functions: the name table with its calling forms, what each function writes,
// and that every function leaves things alone when its parts are not bound.
#include "engine/effects/EffectFunctionTable.h"

#include "EffectTestSupport.h"
#include "engine/effects/Effect.h"
#include "engine/effects/EffectFunctions.h"
#include "engine/effects/EffectValueIds.h"
#include "engine/effects/TypeInTarget.h"
#include "engine/effects/WidgetGroup.h"
#include "engine/widgets/CandyWidget.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(EffectFunctionTable, SixtySixNamesOnSixtyThreeFunctionsEachFoundOnlyInItsForm)
{
    std::set<std::string_view> names;
    std::set<VTEffectFunction> functions;
    for (const VTEffectFunctionEntry& entry : EffectFunctionTable()) {
        functions.insert(entry.function);
        for (std::string_view name : entry.names) {
            if (name.empty())
                continue;
            names.insert(name);
            const bool control = entry.form != VTEffectCallForm::Message;
            const bool message = entry.form != VTEffectCallForm::Control;
            EXPECT_EQ(FindControlFunction(name), control ? entry.function : nullptr) << name;
            EXPECT_EQ(FindMessageFunction(name), message ? entry.function : nullptr) << name;
        }
    }
    EXPECT_EQ(names.size(), 66u);
    EXPECT_EQ(functions.size(), 63u);
    EXPECT_EQ(FindControlFunction("EffectBlinkHPOff"), &EffectFadeOne);
    EXPECT_EQ(FindControlFunction("EffectItemShow"), &DlgShow);
    EXPECT_EQ(FindControlFunction("EffectItemHide"), &DlgHide);
    EXPECT_EQ(FindMessageFunction("WidgetsLock"), &WidgetsLock);
    EXPECT_EQ(FindControlFunction("dlgfadein"), nullptr); // names are case-sensitive
    EXPECT_EQ(FindControlFunction(""), nullptr);
}

TEST(EffectFunctionTable, EveryFunctionReturnsZeroWithNothingBound)
{
    VTEffect empty;
    for (const VTEffectFunctionEntry& entry : EffectFunctionTable()) {
        const std::string name(entry.names[0]);
        EXPECT_EQ(entry.function(nullptr), 0) << name << " with no argument";
        if (name == "WindowReset")
            continue; // does what it can, which is nothing, and reports 1
        VTEffectState state;
        state.owner = &empty;
        state.value = 0.0f;
        void* argument = entry.form == VTEffectCallForm::Message ? static_cast<void*>(&empty) : &state;
        EXPECT_EQ(entry.function(argument), 0) << name;
    }
    VTEffectState state;
    state.owner = &empty;
    EXPECT_EQ(WindowReset(&state), 1);
}

// A widget that shows a text of ten characters, so that DlgTypeIn finds all its parts.
class TypingWidget : public VTCandyWidget, public VTTypeInTarget {
public:
    int32_t DisplayedTextLength() const override { return 10; }
    void SetShownLength(int32_t length) override { shown = length; }
    int32_t shown = -1;
};

// What a widget function can change: the widget's and its "girl_front" child's fields.
struct WidgetFacts {
    int32_t offsetX, offsetY, pointX, pointY, childOffsetX, shown;
    float alpha, scale, angle, childAlpha;
    bool visible;

    static WidgetFacts Of(const TypingWidget& w, const VTCandyWidget& child)
    {
        return {w.offset.x, w.offset.y, w.scalePoint.x, w.scalePoint.y, child.offset.x, w.shown,
                w.alpha, w.scale, w.angle, child.alpha, w.visible};
    }
    bool operator==(const WidgetFacts&) const = default;
};

TEST(EffectFunctionTable, AFunctionMissingAPartItReadsChangesNothing)
{
    // Each widget part unbound in turn, the others bound (a text widget with its "girl_front"
    // child, so every widget function has all it needs but the missing part): a function that
    // answers 0 must not have acted first.
    enum class Missing { Target, Offset, ScalePoint, Widget };
    for (Missing missing : {Missing::Target, Missing::Offset, Missing::ScalePoint, Missing::Widget}) {
        for (const VTEffectFunctionEntry& entry : EffectFunctionTable()) {
            if (entry.form != VTEffectCallForm::Control)
                continue;
            const std::string name(entry.names[0]);
            TypingWidget widget;
            widget.Resize(10, 20, 100, 50);
            auto* girl = new VTCandyWidget;
            widget.AddChild("girl_front", girl);
            widget.SetEffect(std::make_unique<VTEffect>());
            auto& effect = static_cast<VTEffect&>(*widget.GetEffect());
            widget.alpha = girl->alpha = 0.5f;
            widget.scale = 0.5f;
            widget.offset = girl->offset = {-7, -7};
            widget.scalePoint = {-7, -7};
            switch (missing) {
            case Missing::Target: effect.SetTarget(nullptr); break;
            case Missing::Offset: effect.SetValue(VTEffectValueId::Offset, nullptr); break;
            case Missing::ScalePoint: effect.SetValue(VTEffectValueId::ScalePoint, nullptr); break;
            case Missing::Widget: effect.SetValue(VTEffectValueId::Widget, nullptr); break;
            }
            const WidgetFacts before = WidgetFacts::Of(widget, *girl);
            VTEffectState state;
            state.type = kTimerControlRange;
            state.owner = &effect;
            state.value = 0.5f;
            if (entry.function(&state) == 0) {
                EXPECT_TRUE(WidgetFacts::Of(widget, *girl) == before)
                    << name << " answered 0 but acted, missing part " << static_cast<int>(missing);
            }
        }
    }
}

TEST(EffectFunctions, TypeInShowsItsShareOnlyWithTargetAndTextBound)
{
    TypingWidget widget;
    widget.SetEffect(std::make_unique<VTEffect>());
    widget.alpha = 0.0f;
    VTEffectState state;
    state.owner = static_cast<VTEffect*>(widget.GetEffect());
    state.value = 0.25f;
    EXPECT_EQ(DlgTypeIn(&state), 1);
    EXPECT_EQ(widget.shown, 3); // 2.5 characters, taken upwards
    EXPECT_FLOAT_EQ(widget.alpha, 1.0f);
}

TEST(EffectFunctions, ScaleUpRecoilRunsFromZeroOverItsPeakToExactlyOne)
{
    // The curve -1.5686271 v^2 + 2.5686271 v through (0, 0), (0.85, 1.05) and (1, 1): its peak
    // 2.5686271^2 / (4 x 1.5686271) lies at v = 2.5686271 / (2 x 1.5686271).
    VTCandyWidget widget;
    widget.SetEffect(std::make_unique<VTEffect>());
    VTEffectState state;
    state.owner = static_cast<VTEffect*>(widget.GetEffect());
    auto scaleAt = [&](float v) {
        state.value = v;
        widget.scale = -1.0f;
        EXPECT_EQ(DlgScaleUpRecoil(&state), 1);
        return widget.scale;
    };
    EXPECT_EQ(scaleAt(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(scaleAt(0.85f), 1.05f);
    const float peakV = 2.5686271f / (2.0f * 1.5686271f);
    const float peak = scaleAt(peakV);
    EXPECT_NEAR(peak, 2.5686271 * 2.5686271 / (4.0 * 1.5686271), 1e-6);
    EXPECT_GT(peak, scaleAt(peakV - 0.01f));
    EXPECT_GT(peak, scaleAt(peakV + 0.01f));
    EXPECT_EQ(scaleAt(1.0f), 1.0f) << "the end point is exact, not 0.99999988";
}

enum class Out { OffsetX, OffsetY, PointX, PointY, Alpha, Scale, Angle, GroupScale, GroupAlpha0, GroupAlpha1, GroupOffsetY };

struct ValueCase {
    const char* name;
    float v;
    Out out;
    double expected;
};

// Widget at (10, 20), 100 x 50.
const ValueCase kValueCases[] = {
    {"DlgSlideFromLeftAccel400M", 0.0f, Out::OffsetX, -400},
    {"DlgSlideFromLeftAccel400M", 1.0f, Out::OffsetX, 0},
    {"DlgSlideLeftAccel400", 0.0f, Out::OffsetX, 400},
    {"DlgSlideLeftAccel400", 1.0f, Out::OffsetX, 0},
    {"DlgSlideLeftAccel400M", 0.5f, Out::OffsetX, -100},
    {"DlgSlideFromLeftAccel400", 0.5f, Out::OffsetX, 100},
    {"DlgSlideFromLeftAccel", 0.0f, Out::OffsetX, -100},
    {"DlgSlideFromLeftAccel", 1.0f, Out::OffsetX, 0},
    {"DlgSlideFromRightAccel", 0.0f, Out::OffsetX, 100},
    {"DlgSlideFromRightAccel", 0.5f, Out::OffsetX, 25},
    {"DlgSlideLeftAccel", 0.5f, Out::OffsetX, -25},
    {"DlgSlideRightAccel", 0.5f, Out::OffsetX, 25},
    {"DlgShiftToRight", 0.0f, Out::OffsetX, -200},
    {"DlgShiftDown", 1.0f, Out::OffsetY, 10},
    {"DlgShiftDownAccel", 0.5f, Out::OffsetY, 2},
    {"DlgSlideDownAccel", 0.5f, Out::OffsetY, 12},
    {"DlgSlideFromBottomAccel", 0.5f, Out::OffsetY, 12},
    {"DlgSlideUp20", 0.5f, Out::OffsetY, -10},
    {"DlgSlideDown20", 0.25f, Out::OffsetY, -15},
    {"DlgSlideDownAccel485", 0.0f, Out::OffsetY, -242},
    {"DlgSlideFromBottomAccel485", 0.0f, Out::OffsetY, 0},
    {"DlgSlideFromBottomAccel485", 1.0f, Out::OffsetY, -242},
    {"DlgSetCenterScalePoint", 0.0f, Out::PointX, 60},
    {"DlgSetCenterScalePoint", 0.0f, Out::PointY, 45},
    {"Rotate360", 0.25f, Out::Angle, 90},
    {"DlgStampSplash", 0.5f, Out::Alpha, 0.35},
    {"DlgStampSplash", 0.5f, Out::Scale, 1.9},
    {"DlgStampSplash", 0.0f, Out::Alpha, 0.0},
    {"DlgStampSplash", 0.0f, Out::Scale, 4.0},
    {"DlgStampSplash", 0.65f, Out::Alpha, 0.433},
    {"DlgStampSplash", 1.0f, Out::Alpha, 1.0},
    {"DlgStampSplash", 1.0f, Out::Scale, 1.0},
    {"DlgScaleUpRecoil", 0.85f, Out::Scale, 1.05},
    {"DlgScaleUpRecoil", 1.0f, Out::Scale, 1.0},
    {"DlgScaleUpEaseOut", 0.5f, Out::Scale, 1.8},
    {"DlgScaleUpEaseOut", 1.0f, Out::Scale, 2.0},
    {"DlgSmallScaleUpAccel", 1.0f, Out::Scale, 1.0},
    {"DlgSmallScaleDownAccel", 1.0f, Out::Scale, 0.9},
    {"DlgBigScaleDownAccel", 0.0f, Out::Scale, 4.0},
    {"DlgFadeIn", 0.25f, Out::Alpha, 0.25},
    {"DlgFadeOut", 0.25f, Out::Alpha, 0.75},
    {"DlgTypeIn", 0.5f, Out::Alpha, -1.0}, // a plain widget shows no text: nothing happens
    {"DlgUpgradeBtnBlink", 0.1f, Out::Alpha, 0.5},
    {"DlgUpgradeBtnBlink", 0.4f, Out::Alpha, 0.5},
    {"DlgUpgradeBtnBlink", 0.25f, Out::Alpha, 1.0},
    {"EffectScalePulse", 0.5f, Out::GroupScale, 1.2},
    {"EffectScaleUpRecoil", 0.9f, Out::GroupScale, 1.1},
    {"EffectScaleDownToOne", 0.0f, Out::GroupScale, 2.5},
    {"EffectScaleDown", 0.25f, Out::GroupScale, 0.75},
    {"EffectScaleZero", 0.5f, Out::GroupScale, 0.0},
    {"EffectFadeIn", 0.25f, Out::GroupAlpha0, 0.25},
    {"EffectFadeOut", 0.25f, Out::GroupAlpha0, 0.75},
    {"EffectBlinkHPOff", 0.25f, Out::GroupAlpha0, 1.0},
    {"EffectFadeZero", 0.25f, Out::GroupAlpha0, 0.0},
    {"UpgradeEffectBlink", 0.55f, Out::GroupAlpha0, 0.85},
    {"UpgradeEffectBlink", 0.2f, Out::GroupAlpha0, 0.2},
    {"EffectBlinkHP", 0.5f, Out::GroupAlpha1, 1.0},
    {"EffectBlinkHP", 0.5f, Out::GroupAlpha0, -1.0}, // only the second entry changes
    {"EffectSlideUpAccel", 0.5f, Out::GroupOffsetY, -5},
    {"EffectJumpUp", 0.5f, Out::GroupOffsetY, -5},
    {"EffectSlideFromBottomDecel", 0.5f, Out::GroupOffsetY, 5},
    {"EffectSetCashPenaltyOffset", 0.5f, Out::GroupOffsetY, 50},
};

void PrintTo(const ValueCase& c, std::ostream* out)
{
    *out << c.name << " v=" << c.v;
}

class EffectFunctionValues : public testing::TestWithParam<ValueCase> {};

TEST_P(EffectFunctionValues, WritesTheExpectedValue)
{
    const ValueCase& c = GetParam();
    VTCandyWidget widget;
    widget.Resize(10, 20, 100, 50);
    widget.SetEffect(std::make_unique<VTEffect>());
    auto& effect = static_cast<VTEffect&>(*widget.GetEffect());
    widget.alpha = -1.0f;
    widget.scale = -1.0f;

    int32_t offsets[2][2] = {{-7, -7}, {-7, -7}};
    float scales[2] = {-1.0f, -1.0f};
    float alphas[2] = {-1.0f, -1.0f};
    VTWidgetGroup group;
    for (int i = 0; i < 2; ++i) {
        VTWidgetGroupEntry entry;
        entry.offset = offsets[i];
        entry.scale = &scales[i];
        entry.alpha = &alphas[i];
        group.entries.push_back(entry);
    }
    effect.SetValue(VTEffectValueId::WidgetGroup, &group);

    VTEffectFunction function = FindControlFunction(c.name);
    ASSERT_NE(function, nullptr);
    VTEffectState state;
    state.type = kTimerControlRange;
    state.owner = &effect;
    state.value = c.v;
    EXPECT_EQ(function(&state), c.name == std::string("DlgTypeIn") ? 0 : 1); // no text on a plain widget

    double actual = 0.0;
    switch (c.out) {
    case Out::OffsetX: actual = widget.offset.x; break;
    case Out::OffsetY: actual = widget.offset.y; break;
    case Out::PointX: actual = widget.scalePoint.x; break;
    case Out::PointY: actual = widget.scalePoint.y; break;
    case Out::Alpha: actual = widget.alpha; break;
    case Out::Scale: actual = widget.scale; break;
    case Out::Angle: actual = widget.angle; break;
    case Out::GroupScale: actual = scales[0]; break;
    case Out::GroupAlpha0: actual = alphas[0]; break;
    case Out::GroupAlpha1: actual = alphas[1]; break;
    case Out::GroupOffsetY: actual = offsets[0][1]; break;
    }
    EXPECT_NEAR(actual, c.expected, 1e-3);
}

INSTANTIATE_TEST_SUITE_P(EffectFunctions, EffectFunctionValues, testing::ValuesIn(kValueCases),
                         [](const testing::TestParamInfo<ValueCase>& info) {
                             return std::string(info.param.name) + "_" + std::to_string(info.index);
                         });

TEST(EffectFunctions, FirstAndSecondEntryFunctionsLeaveShortGroupsAlone)
{
    VTEffect effect;
    VTWidgetGroup group;
    effect.SetValue(VTEffectValueId::WidgetGroup, &group);
    VTEffectState state;
    state.owner = &effect;
    EXPECT_EQ(EffectSetChainColor(&state), 0);
    EXPECT_EQ(EffectSetCheckmarkScalepoint(&state), 0);
    float alpha = 0.25f;
    VTWidgetGroupEntry entry;
    entry.alpha = &alpha;
    group.entries.push_back(entry);
    state.value = 0.5f;
    EXPECT_EQ(EffectBlinkHP(&state), 0);
    EXPECT_FLOAT_EQ(alpha, 0.25f);
    uint32_t first = 0, second = 0;
    group.entries[0].firstColor = &first;
    group.entries[0].secondColor = &second;
    EXPECT_EQ(EffectSetCashBonusColor(&state), 1);
    EXPECT_EQ(first, 0x5AFF00FFu);
    EXPECT_EQ(second, 0x000000FFu);
    EXPECT_FLOAT_EQ(alpha, 1.0f);
}

TEST(EffectFunctions, WindowResetAndFadeOutDriveTheGroupsVisibility)
{
    VTEffect effect;
    bool visible = true;
    float alpha = 1.0f;
    uint8_t flag = 0;
    VTWidgetGroup group;
    VTWidgetGroupEntry entry;
    entry.visible = &visible;
    entry.alpha = &alpha;
    group.entries.push_back(entry);
    effect.SetValue(VTEffectValueId::WidgetGroup, &group);
    effect.SetValue(VTEffectValueId::ResetFlag, &flag);
    VTEffectState state;
    state.owner = &effect;
    state.value = 0.5f;
    WindowFadeOut(&state);
    EXPECT_TRUE(visible);
    state.value = 1.0f;
    WindowFadeOut(&state);
    EXPECT_FALSE(visible);
    EXPECT_FLOAT_EQ(alpha, 0.0f);
    EXPECT_EQ(WindowReset(&state), 1);
    EXPECT_TRUE(visible);
    EXPECT_FLOAT_EQ(alpha, 1.0f);
    EXPECT_EQ(flag, 1);
}

TEST(EffectFunctions, GirlSlidesMoveTheChildBackAndShowIt)
{
    VTCandyWidget widget;
    widget.Resize(0, 0, 200, 100);
    auto* girl = new VTCandyWidget;
    girl->alpha = 0.0f;
    widget.AddChild("girl_front", girl);
    widget.SetEffect(std::make_unique<VTEffect>());
    VTEffectState state;
    state.owner = static_cast<VTEffect*>(widget.GetEffect());
    state.value = 0.5f;
    EXPECT_EQ(DlgSlideRightAccelGirl(&state), 1);
    EXPECT_EQ(widget.offset.x, 50);
    EXPECT_EQ(girl->offset.x, -50);
    EXPECT_FLOAT_EQ(girl->alpha, 1.0f);

    VTCandyWidget lonely;
    lonely.Resize(0, 0, 200, 100);
    lonely.SetEffect(std::make_unique<VTEffect>());
    state.owner = static_cast<VTEffect*>(lonely.GetEffect());
    EXPECT_EQ(DlgSlideFromRightAccelGirl(&state), 0);
    EXPECT_EQ(lonely.offset.x, 50); // its own offset is written before the child is looked for
}

} // namespace

namespace {

TEST(EffectFunctionTable, SecondNamesAreTheSameExportedFunctions)
{
    EXPECT_EQ(&EffectItemShow, &DlgShow);
    EXPECT_EQ(&EffectItemHide, &DlgHide);
    EXPECT_EQ(&EffectBlinkHPOff, &EffectFadeOne);
}

} // namespace
