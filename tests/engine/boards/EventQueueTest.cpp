// The event queue: fixed queues of l-levels, staged queues of e-levels drawn from a scripted
// random source, money targets, and what the clear does with recycled points.
#include "LevelTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

using namespace LevelTest;
using Strings = std::vector<std::string>;

namespace {

class EventQueueTest : public LevelFixture {};

// An e-level "events_queue" with order template "t" (stand: one list of orders "s1"/"s2"; sit: one
// list with "x"), and the given stages.
std::string StagedLevel(const std::string& stages, const std::string& templates = "")
{
    return R"(<level><events_queue><templates>
        <order_template name="t"><stand prob="1"><order_list prob="1"><order name="s1" prob="1"/>
            <order name="s2" prob="1"/></order_list></stand>
          <sit prob="1"><order_list prob="1"><order name="x" prob="1"/></order_list></sit></order_template>
        <order_template name="bare"><stand prob="0"/></order_template>)" +
           templates + "</templates><stages>" + stages + "</stages></events_queue></level>";
}

Strings Params(const TimePoint& point)
{
    return {point.params.begin(), point.params.end()};
}

TEST_F(EventQueueTest, StagedPointsFollowTheTemplateWeights)
{
    const auto doc = Parse(StagedLevel(R"(<stage points="10">
        <time_point_template event="one" type="a" prob="1" time_min="2" time_max="3" order_template="bare"/>
        <time_point_template event="three" type="b" prob="3" time_min="5" time_max="6" order_template="bare"/>
    </stage>)"));
    // A taken template draws r, then the delay (2 here), the sit choice and the stand budget; an
    // empty point draws only r.
    struct Case {
        float r;
        const char* event;
    };
    const Case kCases[] = {{0.999f, "one"}, {1.0f, "three"}, {4.0f, ""}, {0.0f, "one"}};
    ScriptedRandom random;
    for (const Case& c : kCases) {
        random.Push(c.r);
        if (*c.event)
            random.Push(2.0f), random.Push(0), random.Push(0);
    }

    EventQueue queue;
    queue.SetRandomSource(random.Source());
    queue.SetMode(EventQueue::kStaged);
    ASSERT_TRUE(queue.Load(doc.SelectSingleNode("level")));
    float clock = 0.0f;
    for (const Case& c : kCases) {
        ASSERT_EQ(queue.Points().size(), 1u);
        const TimePoint& point = *queue.Points().front();
        EXPECT_EQ(point.event, c.event) << "r = " << c.r;
        EXPECT_EQ(point.time, *c.event ? clock + 2.0f : clock) << "r = " << c.r;
        EXPECT_FALSE(queue.IsAtEnd());
        gFrameSeconds = 0.5f;
        queue.AdvanceClock();
        clock += 0.5f;
        queue.Advance();
    }
}

TEST_F(EventQueueTest, OrdersWithoutSitNeverDrawSitOrders)
{
    const auto doc = Parse(StagedLevel(R"(<stage points="10">
        <time_point_template event="e" type="t" prob="1" order_template="nosit"/></stage>)",
                                       R"(<order_template name="nosit"><stand prob="2"><order_list prob="1">
            <order name="s" prob="1"/></order_list></stand></order_template>)"));
    // The sit choice draws its upper end, stand.prob + 0: not above stand.prob, so after the stand
    // budget and its one order nothing more is drawn.
    ScriptedRandom random({0, 0, 2.0f, 1.0f, 0});
    EventQueue queue;
    queue.SetRandomSource(random.Source());
    queue.SetMode(EventQueue::kStaged);
    ASSERT_TRUE(queue.Load(doc.SelectSingleNode("level")));
    EXPECT_EQ(Params(*queue.Points().front()), Strings{"s"});
    EXPECT_EQ(random.draws, 5) << "template, delay, sit choice, stand budget, one order";
}

TEST_F(EventQueueTest, SitOrdersComeOnTopOfTheStandOrders)
{
    const auto doc = Parse(StagedLevel(R"(<stage points="10">
        <time_point_template event="e" type="t" prob="1" order_template="t"/></stage>)"));
    // template, delay, sit choice 1.5 > stand 1, stand budget 0.5, order r 1.5 -> "s2",
    // sit budget 0.1, order r 0 -> "x".
    ScriptedRandom random({0, 0, 1.5f, 0.5f, 1.5f, 0.1f, 0});
    EventQueue queue;
    queue.SetRandomSource(random.Source());
    queue.SetMode(EventQueue::kStaged);
    ASSERT_TRUE(queue.Load(doc.SelectSingleNode("level")));
    EXPECT_EQ(Params(*queue.Points().front()), (Strings{"s2", "x"}));
    EXPECT_EQ(random.draws, 7);
}

TEST_F(EventQueueTest, TargetsStepThroughStagesThenRepeatTheLastGap)
{
    const auto doc = Parse(StagedLevel(R"(<stage points="100"/><stage points="250"/>)"));
    EventQueue queue;
    queue.SetMode(EventQueue::kStaged);
    ASSERT_TRUE(queue.Load(doc.SelectSingleNode("level")));
    EXPECT_EQ(queue.GetNextTarget(), 100);
    queue.StepTarget();
    EXPECT_EQ(queue.GetNextTarget(), 250);
    queue.StepTarget();
    EXPECT_EQ(queue.GetNextTarget(), 400);
    queue.StepTarget();
    EXPECT_EQ(queue.GetNextTarget(), 550);
    queue.Rewind();
    EXPECT_EQ(queue.GetNextTarget(), 550);
    EXPECT_EQ(queue.GetPreviousTarget(), 400);
}

TEST_F(EventQueueTest, TargetStepsSaturate)
{
    const auto doc = Parse(StagedLevel(R"(<stage points="2000000000"/>)"));
    EventQueue queue;
    queue.SetMode(EventQueue::kStaged);
    ASSERT_TRUE(queue.Load(doc.SelectSingleNode("level")));
    queue.StepTarget();
    EXPECT_EQ(queue.GetNextTarget(), std::numeric_limits<int32_t>::max());
    queue.StepTarget();
    EXPECT_EQ(queue.GetNextTarget(), std::numeric_limits<int32_t>::max());
}

TEST_F(EventQueueTest, ClearAfterStagedAdvancesDeletesEveryPointOnce)
{
    const auto doc = Parse(StagedLevel(R"(<stage points="5">
        <time_point_template event="e" type="t" prob="1" time_min="1" time_max="2" order_template="t"/></stage>)"));
    EventQueue queue;
    queue.SetMode(EventQueue::kStaged);
    ASSERT_TRUE(queue.Load(doc.SelectSingleNode("level")));
    const TimePoint* first = queue.Points().front().get();
    for (int i = 0; i < 4; ++i)
        queue.Advance();
    // The fired point is recycled rather than lost: the queue still holds the same one object.
    EXPECT_EQ(queue.Points().size(), 1u);
    EXPECT_EQ(queue.Points().front().get(), first);
    gSpareTimePoints.push_back(std::make_unique<TimePoint>());
    queue.Clear();
    EXPECT_TRUE(queue.Points().empty());
    EXPECT_TRUE(gSpareTimePoints.empty());
    EXPECT_TRUE(queue.IsAtEnd());
    queue.Advance(); // nothing left to draw from
    EXPECT_TRUE(queue.Points().empty());
}

TEST_F(EventQueueTest, FixedQueueReadsPointsInFileOrder)
{
    const auto doc = Parse(R"(<level><events_queue>
        <time_point time="1.5" type="spawn" event="go"><param name="p"/><param/><param name="q"/></time_point>
        <time_point/>
        <templates><order_template name="ignored"/></templates>
    </events_queue></level>)");
    EventQueue queue;
    queue.SetMode(EventQueue::kFixed);
    ASSERT_TRUE(queue.Load(doc.SelectSingleNode("level")));
    ASSERT_EQ(queue.Points().size(), 2u);
    const TimePoint& point = *queue.Points().front();
    EXPECT_EQ(point.time, 1.5f);
    EXPECT_EQ(point.type, "spawn");
    EXPECT_EQ(point.event, "go");
    EXPECT_EQ(Params(point), (Strings{"p", "q"}));
    EXPECT_TRUE(queue.OrderTemplates().empty());
    EXPECT_TRUE(queue.IsAtEnd()) << "the load does not move to the first point";
    queue.Rewind();
    EXPECT_FALSE(queue.IsAtEnd());
    EXPECT_EQ(queue.GetDuePoint(), nullptr) << "1.5 is not due at 0";
}

TEST_F(EventQueueTest, MalformedStagedQueuesAreRefused)
{
    const struct {
        const char* what;
        std::string xml;
    } kCases[] = {
        {"no events_queue", "<level/>"},
        {"no stages", StagedLevel("")},
        {"unknown order template",
         StagedLevel(R"(<stage points="1"><time_point_template event="e" type="t" order_template="nope"/></stage>)")},
        {"template without stand",
         StagedLevel(R"(<stage points="1"/>)", R"(<order_template name="nostand"><sit prob="1"/></order_template>)")},
        {"stage without points", StagedLevel(R"(<stage/>)")},
    };
    for (const auto& c : kCases) {
        const auto doc = Parse(c.xml);
        EventQueue queue;
        queue.SetMode(EventQueue::kStaged);
        EXPECT_FALSE(queue.Load(doc.SelectSingleNode("level"))) << c.what;
        EXPECT_TRUE(queue.Stages().empty() && queue.OrderTemplates().empty() && queue.Points().empty()) << c.what;
        EXPECT_TRUE(queue.IsAtEnd()) << c.what;
    }
}

TEST_F(EventQueueTest, FirstOrderTemplateOfANameIsUsed)
{
    const auto doc = Parse(StagedLevel(
        R"(<stage points="1"><time_point_template event="e" type="t" prob="1" order_template="bare"/></stage>)",
        R"(<order_template name="bare"><stand prob="7"/></order_template>)"));
    EventQueue queue;
    queue.SetMode(EventQueue::kStaged);
    ASSERT_TRUE(queue.Load(doc.SelectSingleNode("level")));
    EXPECT_EQ(queue.OrderTemplates().at("bare")->stand.prob, 0.0f);
}

TEST_F(EventQueueTest, NeverLoadedQueueDoesNothing)
{
    EventQueue queue;
    queue.Rewind();
    gFrameSeconds = 0.016f;
    queue.AdvanceClock();
    queue.Advance();
    queue.StepTarget();
    EXPECT_TRUE(queue.IsAtEnd());
    EXPECT_EQ(queue.GetDuePoint(), nullptr);
    EXPECT_EQ(queue.GetNextTarget(), 0);
    EXPECT_EQ(queue.Clock(), 0.016f);
}

} // namespace
