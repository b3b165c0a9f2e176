#include "framework/core/Profiler.h"

#include <gtest/gtest.h>

namespace {

// Cycle counter under the test's control: each read returns the current value and then adds the
// step, so every stamp in a run is predictable. 1000 cycles per second makes cycles milliseconds
// times one.
uint64_t gNow = 0;
uint64_t gStep = 0;
uint64_t FakeCycles()
{
    const uint64_t t = gNow;
    gNow += gStep;
    return t;
}
int64_t FakeSpeed()
{
    return 1000;
}

class ProfilerTest : public ::testing::Test {
protected:
    void SetUp() override { gNow = 1000, gStep = 0; }
    Fw::Profiler p{&FakeCycles, &FakeSpeed};
};

TEST_F(ProfilerTest, NestedSameNameIsOneIntervalAndCaseFolds)
{
    p.Start();
    p.Begin("A");
    gNow += 10;
    p.Begin("a"); // same section, inner call: counted, not timed separately
    gNow += 5;
    p.End("a");
    gNow += 5;
    p.End("A");
    p.Stop();
    ASSERT_EQ(p.Sections().size(), 1u);
    const auto& s = p.Sections().begin()->second;
    EXPECT_EQ(s.calls, 2);
    EXPECT_EQ(s.totalCycles, 20u);
    EXPECT_DOUBLE_EQ(s.totalMs, 20000.0 / 1000);
    EXPECT_DOUBLE_EQ(s.longest, 20.0);
}

TEST_F(ProfilerTest, SequentialCallsAverageAndReportFormat)
{
    p.Start();
    for (uint64_t d : {3u, 6u, 9u}) {
        p.Begin("Draw");
        gNow += d;
        p.End("Draw");
    }
    p.Begin("Update");
    gNow += 2;
    p.End("Update");
    gNow += 80;
    p.Stop();
    EXPECT_DOUBLE_EQ(p.TotalTimeMs(), 100.0);
    EXPECT_EQ(p.Report(), "Total Time: 100.00\n"
                          "Draw (3 calls, %18.00 time): 18.00 (6.00 avg, 9.00 longest)\n"
                          "Update (1 calls, %2.00 time): 2.00 (2.00 avg, 2.00 longest)\n");
}

TEST_F(ProfilerTest, FoldingTimeIsLeftOutOfTheTotal)
{
    gStep = 1; // every stamp costs one cycle, also those taken around the folding
    p.Start();
    p.Begin("X");
    p.End("X");
    const uint64_t stopStamp = gNow;
    p.Stop();
    // Start 1000, begin 1001, end 1002, fold 1003..1004 (1 cycle), stop stamp 1005, and the
    // final (empty) fold 1006..1007 (1 cycle).
    EXPECT_EQ(stopStamp, 1005u);
    EXPECT_DOUBLE_EQ(p.TotalTimeMs(), (1005.0 - 2 - 1000) * 1000 / 1000);
    EXPECT_EQ(p.Sections().at("x").totalCycles, 1u);
}

TEST_F(ProfilerTest, StoppedProfilerRecordsNothingAndEmptyRunReportsTotalOnly)
{
    p.Begin("A");
    p.End("A");
    p.Start(true);
    p.Begin("A");
    EXPECT_EQ(p.PendingRecords(), 0u);
    p.Start();
    gNow += 5;
    p.Stop();
    EXPECT_EQ(p.Report(), "Total Time: 5.00\n");
}

TEST_F(ProfilerTest, RecordsWaitForTheOutermostEndAndUnbalancedEndsAreHarmless)
{
    p.Start();
    p.Begin("Outer");
    for (int i = 0; i < 100; ++i) { // grows the record array while records are pending
        p.Begin("Inner");
        gNow += 1;
        p.End("Inner");
    }
    EXPECT_EQ(p.PendingRecords(), 201u);
    EXPECT_TRUE(p.Sections().empty());
    p.End("Outer");
    EXPECT_EQ(p.PendingRecords(), 0u);
    EXPECT_EQ(p.Sections().at("Inner").calls, 100);
    EXPECT_EQ(p.Sections().at("Inner").totalCycles, 100u);
    EXPECT_EQ(p.Sections().at("Outer").totalCycles, 100u);

    p.End("Inner"); // one end too many
    p.Begin("Inner");
    gNow += 7;
    p.End("Inner");
    p.Stop();
    EXPECT_EQ(p.Sections().at("Inner").totalCycles, 107u) << "an extra end stopped later calls being timed";
}

TEST(ProfileScope, EndsAnOpenSectionWhenLeft)
{
    Fw::ProfileStart();
    {
        Fw::ProfileScope scope("Load");
        EXPECT_TRUE(Fw::IsProfiling());
    }
    {
        Fw::ProfileScope scope("Load");
        scope.End();
    } // no second end
    Fw::ProfileStop();
    EXPECT_FALSE(Fw::IsProfiling());
    EXPECT_NE(Fw::GetProfileReport().find("Load (2 calls"), std::string::npos) << Fw::GetProfileReport();
}

} // namespace
