#include "framework/core/CritSect.h"
#include "framework/core/DirectXErrors.h"
#include "framework/core/LeakTracker.h"
#include "framework/core/OsVersion.h"
#include "framework/core/PerformanceTimer.h"
#include "framework/core/Ratio.h"
#include "support/DebugOutputCapture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(DirectXErrors, KnownSharedAndUnknownCodes)
{
    struct Case { uint32_t code; const char* name; };
    const Case cases[] = {
        {0x8007000E, "E_OUTOFMEMORY"},        {0x80004001, "DDERR_UNSUPPORTED"},
        {0x80070057, "DDERR_INVALIDPARAMS"},  {0x88760005, "DDERR_ALREADYINITIALIZED"},
        {0x887601C2, "DDERR_SURFACELOST"},    {0x8876021C, "DDERR_WASSTILLDRAWING"},
        {0x887602C1, "D3DERR_INVALID_DEVICE"}, {0x88760836, "D3DERR_NOTINBEGINSTATEBLOCK"},
        {0x88780096, "DSERR_BUFFERLOST"},     {0x80004005, "DSERR_GENERIC"},
        {0, "0"},                             {0x887601C3, "887601c3"},
        {0xDEADBEEF, "deadbeef"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fw::GetDirectXErrorName(c.code), c.name) << std::hex << c.code;
}

TEST(Ratio, ReducedWithSignOfTheRemainder)
{
    struct Case { int32_t n, d, rn, rd; };
    const Case cases[] = {{640, 480, 4, 3}, {1024, 768, 4, 3}, {1280, 720, 16, 9}, {4, -6, -2, 3},
                          {-4, 6, -2, 3},   {0, 5, 0, 1},      {7, 0, 1, 0},       {0, 0, 0, 0}};
    for (const auto& c : cases) {
        Fw::Ratio r;
        r.Set(c.n, c.d);
        EXPECT_EQ(r, (Fw::Ratio{c.rn, c.rd})) << c.n << "/" << c.d << " gave " << r.numerator << "/" << r.denominator;
    }
    EXPECT_EQ(Fw::Ratio(), (Fw::Ratio{1, 1}));
}

TEST(CritSectThreads, RecursiveForOwnerExclusiveForOthers)
{
    Fw::CritSect cs;
    Fw::ScopedCritSect outer(cs);
    {
        Fw::ScopedCritSect inner(cs); // must not deadlock
        bool otherGotIt = true;
        std::thread([&] { otherGotIt = cs.TryEnter(); if (otherGotIt) cs.Leave(); }).join();
        EXPECT_FALSE(otherGotIt);
    }
}

TEST(OsVersion, AnswersForThisPlatform)
{
    EXPECT_FALSE(Fw::IsWin9x());
    EXPECT_TRUE(Fw::IsVistaOrLater());
}

TEST(PerformanceTimer, StopFreezesTheDuration)
{
    Fw::PerformanceTimer t;
    EXPECT_EQ(t.GetDuration(), 0.0);
    t.Start();
    EXPECT_TRUE(t.IsRunning());
    t.Stop();
    const double d = t.GetDuration();
    EXPECT_GE(d, 0.0);
    EXPECT_EQ(t.GetDuration(), d);
    t.Stop(); // not running: changes nothing
    EXPECT_EQ(t.GetDuration(), d);
    const int64_t cps = Fw::GetCpuCyclesPerSecond();
    EXPECT_GT(cps, 0);
    EXPECT_EQ(Fw::GetCpuCyclesPerSecond(), cps) << "measured twice";
}

TEST(LeakTracker, ReportListsLiveAllocations)
{
    TestSupport::TempFolder dir;
    Fw::LeakTracker tracker;
    int a = 0, b = 0;
    tracker.Add(&a, 1, "x.cpp", 3);
    tracker.Add(&b, 2048, "y.cpp", 9);
    tracker.Add(&b + 1, 5, "z.cpp", 1);
    tracker.Remove(&b + 1);
    TestSupport::DebugOutputCapture capture;
    tracker.WriteReport(dir.File("mem_leaks.txt"));
    const std::string text = TestSupport::ReadFileBytes(dir.File("mem_leaks.txt"));
    EXPECT_EQ(text.rfind("Memory Leak Report for ", 0), 0u) << text;
    EXPECT_NE(text.find("x.cpp(3) : Leak 1 byte\n"), std::string::npos) << text;
    EXPECT_NE(text.find("y.cpp(9) : Leak 2048 bytes\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("z.cpp"), std::string::npos) << text;
    EXPECT_NE(text.find("Total Unfreed: 2049 bytes (2KB)\n\n"), std::string::npos) << text;
    EXPECT_NE(capture.Text().find("Total Unfreed: 2049 bytes (2KB)"), std::string::npos);
    tracker.WriteReport(dir.File("no/such/folder/x.txt")); // cannot open: writes nothing
    EXPECT_EQ(capture.Text().find("Memory Leak Report", capture.Text().find("Total Unfreed")), std::string::npos);
}

} // namespace
