// Timer stepping, end handling per type and the control calls each move produces.
#include "engine/effects/Timer.h"

#include "EffectTestSupport.h"
#include "engine/effects/EffectFunctionTable.h"
#include "platform/fake/FakeClock.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using EffectTest::Call;
using EffectTest::Calls;

namespace {

using Window = std::pair<double, double>;

// Records every dispatched move before handling it.
class WatchedTimer : public VTTimer {
public:
    WatchedTimer() : VTTimer(nullptr) {}
    void Dispatch(double from, double to) override
    {
        windows.emplace_back(from, to);
        VTTimer::Dispatch(from, to);
    }
    std::vector<Window> windows;
};

struct ControlDef {
    int32_t type;
    int32_t id;
    float start;
    float end;
};

struct TimerCase {
    const char* what;
    int32_t type;
    int32_t direction;
    float length;
    double startTime;
    std::vector<ControlDef> controls;
    std::vector<double> advances;
    std::vector<Window> windows;
    std::vector<Call> calls;
    bool finished;
    bool phaseAfter = true;
};

constexpr int32_t Usual = kTimerTypeUsual;
constexpr int32_t Cycle = kTimerTypeCycle;
constexpr int32_t PingPong = kTimerTypePingPong;
constexpr int32_t Fwd = kTimerDirectionForward;
constexpr int32_t Back = kTimerDirectionBackward;
constexpr int32_t Point = kTimerControlPoint;
constexpr int32_t Range = kTimerControlRange;

const TimerCase kTimerCases[] = {
    {"usual timer of length 1 reaches its end exactly on the fourth quarter and then stands", Usual, Fwd, 1.0f,
     0.0, {}, {0.25, 0.25, 0.25, 0.25, 0.25},
     {{0, 0.25}, {0.25, 0.5}, {0.5, 0.75}, {0.75, 1.0}}, {}, true},
    {"range 0.25-0.75 under quarter steps: opening and progress 0, progress 0.5, closing", Usual, Fwd, 1.0f,
     0.0, {{Range, 7, 0.25f, 0.75f}}, {0.25, 0.25, 0.25, 0.25},
     {{0, 0.25}, {0.25, 0.5}, {0.5, 0.75}, {0.75, 1.0}}, {{7, 0.0f}, {7, 0.0f}, {7, 0.5f}, {7, 1.0f}}, true},
    {"range wholly inside one step: opening and closing only", Usual, Fwd, 1.0f,
     0.0, {{Range, 3, 0.2f, 0.3f}}, {0.5}, {{0, 0.5}}, {{3, 0.0f}, {3, 1.0f}}, false},
    {"backward timer runs the range mirrored: opening 1, progress 1, 0.5, closing 0", Usual, Back, 1.0f,
     1.0, {{Range, 4, 0.25f, 0.75f}}, {0.25, 0.25, 0.25},
     {{1.0, 0.75}, {0.75, 0.5}, {0.5, 0.25}}, {{4, 1.0f}, {4, 1.0f}, {4, 0.5f}, {4, 0.0f}}, false},
    {"cycle at 0.75 advanced by 0.5 wraps", Cycle, Fwd, 1.0f,
     0.75, {}, {0.5}, {{0.75, 1.0}, {0.0, 0.25}}, {}, false},
    {"ping-pong at 0.75 advanced by 0.5 turns back", PingPong, Fwd, 1.0f,
     0.75, {}, {0.5}, {{0.75, 1.0}, {1.0, 0.75}}, {}, false, false},
    {"cycle advanced by 2.5 steps 1, 1, 0.5", Cycle, Fwd, 1.0f,
     0.0, {}, {2.5}, {{0, 1}, {0, 1}, {0, 0.5}}, {}, false},
    {"cycle of length 0: a step of 0, then one step of everything", Cycle, Fwd, 0.0f,
     0.0, {}, {0.3}, {{0, 0}, {0, 0}, {0, 0.3}}, {}, false},
    {"length -1 never ends and moves in one step", Usual, Fwd, -1.0f,
     0.0, {{Point, 2, 4.0f, 0.0f}}, {5.0}, {{0, 5.0}}, {{2, 5.0f}}, false},
    {"a point on a step boundary fires in both steps", Usual, Fwd, 2.0f,
     0.0, {{Point, 9, 0.5f, 0.0f}}, {0.5, 0.5}, {{0, 0.5}, {0.5, 1.0}}, {{9, 0.5f}, {9, 1.0f}}, false},
    {"a one-shot timer finishing inside a long frame takes no further steps", Usual, Fwd, 1.0f,
     0.0, {{Range, 5, 0.25f, 0.75f}, {Point, 6, 0.5f, 0.0f}}, {2.5},
     {{0, 1.0}}, {{5, 0.0f}, {5, 1.0f}, {6, 1.0f}}, true},
    {"a range of no length on a step boundary opens and closes in both steps, never divides", Usual, Fwd, 1.0f,
     0.0, {{Range, 8, 0.5f, 0.5f}}, {0.5, 0.5}, {{0, 0.5}, {0.5, 1.0}},
     {{8, 0.0f}, {8, 1.0f}, {8, 0.0f}, {8, 1.0f}}, true},
    {"without a direction the timer never moves", Usual, kTimerDirectionNone, 1.0f,
     0.0, {{Point, 1, 0.0f, 0.0f}}, {0.5}, {}, {}, false},
};

void PrintTo(const TimerCase& c, std::ostream* out)
{
    *out << c.what;
}

class TimerStepping : public testing::TestWithParam<TimerCase> {};

TEST_P(TimerStepping, DispatchesTheMovesAndCallsTheControls)
{
    const TimerCase& c = GetParam();
    WatchedTimer timer;
    timer.SetType(c.type);
    timer.SetDirection(c.direction);
    timer.SetLength(c.length);
    timer.SetTime(c.startTime);
    timer.SetPhase(true);
    for (const ControlDef& def : c.controls) {
        VTTimerControl control;
        control.type = def.type;
        control.id = def.id;
        control.start = def.start;
        control.end = def.end;
        control.function = &EffectTest::RecordCall;
        control.active = true;
        timer.AddControl(control);
    }
    timer.SetRunning(true);
    Calls().clear();
    for (double dt : c.advances)
        timer.Advance(dt);

    EXPECT_EQ(timer.windows, c.windows);
    EXPECT_EQ(Calls(), c.calls);
    EXPECT_EQ(timer.IsFinished(), c.finished);
    EXPECT_EQ(timer.Phase(), c.phaseAfter);
    for (const VTTimerControl& control : timer.Controls())
        EXPECT_FALSE(control.type == Range && control.entered && c.finished) << "a finished range stays entered";
}

INSTANTIATE_TEST_SUITE_P(Timer, TimerStepping, testing::ValuesIn(kTimerCases),
                         [](const testing::TestParamInfo<TimerCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(Timer, ReadsItsDefinitionAndResolvesOnlyControlFormFunctions)
{
    const Platform::XmlNode element = EffectTest::ParseElement(
        R"(<timer name="t" type="cycle" ftime="2.5" direction="backward">
             <control id="4" type="range" starttime="0.5" endtime="1.5" function="DlgFadeIn" active="true"/>
             <control id="5" type="point" starttime="1" function="RenderPSFunc" active="1"/>
             <control id="6" type="arc" function="NoSuchFunction"/>
           </timer>)");
    VTTimer timer(nullptr);
    timer.ReadDefinition(element);
    EXPECT_EQ(timer.Type(), kTimerTypeCycle);
    EXPECT_EQ(timer.Direction(), kTimerDirectionBackward);
    EXPECT_FLOAT_EQ(timer.Length(), 2.5f);
    EXPECT_DOUBLE_EQ(timer.Time(), 2.5); // a backward timer starts at its end
    EXPECT_FALSE(timer.IsRunning());

    ASSERT_EQ(timer.Controls().size(), 3u);
    const VTTimerControl& range = timer.Controls()[0];
    EXPECT_EQ(range.type, kTimerControlRange);
    EXPECT_EQ(range.id, 4);
    EXPECT_FLOAT_EQ(range.start, 0.5f);
    EXPECT_FLOAT_EQ(range.end, 1.5f);
    EXPECT_EQ(range.function, FindControlFunction("DlgFadeIn"));
    EXPECT_NE(range.function, nullptr);
    EXPECT_TRUE(range.active);
    // A message-form function named by a control resolves to nothing.
    EXPECT_EQ(timer.Controls()[1].function, nullptr);
    EXPECT_TRUE(timer.Controls()[1].active);
    EXPECT_EQ(timer.Controls()[2].type, kTimerControlNone);
    EXPECT_FALSE(timer.Controls()[2].active);
}

TEST(Timer, RestartGoesToTheStartingEndAndStampsTheClock)
{
    Platform::FakeClock clock(5000);
    Platform::ScopedClock installed(clock);
    VTTimer timer(nullptr);
    timer.SetType(kTimerTypeUsual);
    timer.SetDirection(kTimerDirectionForward);
    timer.SetLength(1.0f);
    timer.SetRunning(true);
    timer.Advance(1.5);
    ASSERT_TRUE(timer.IsFinished());
    timer.Restart();
    EXPECT_FALSE(timer.IsFinished());
    EXPECT_DOUBLE_EQ(timer.Time(), 0.0);
    EXPECT_TRUE(timer.IsRunning()); // restart leaves the running flag alone

    timer.SetDirection(kTimerDirectionBackward);
    timer.Restart();
    EXPECT_DOUBLE_EQ(timer.Time(), 1.0);
}

} // namespace
