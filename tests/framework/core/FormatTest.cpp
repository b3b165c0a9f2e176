#include "framework/core/Format.h"
#include "support/DebugOutputCapture.h"

#include <gtest/gtest.h>

namespace {

TEST(Format, ShortAndLongResults)
{
    EXPECT_EQ(Fw::FormatString("%d-%s", 42, "x"), "42-x");
    const std::string big(5000, 'q');
    const std::string out = Fw::FormatString("<%s|%d>", big.c_str(), 7);
    EXPECT_EQ(out, "<" + big + "|7>");
    const std::string exact(160, 'e'); // one past the stack buffer's text capacity
    EXPECT_EQ(Fw::FormatString("%s", exact.c_str()), exact);
    EXPECT_EQ(Fw::FormatString("%s", exact.substr(1).c_str()), exact.substr(1));
}

TEST(Format, WideResultsNeedNoLengthFromTheFormatter)
{
    const std::wstring big(5000, L'w');
    EXPECT_EQ(Fw::FormatWString(L"[%ls] %d", big.c_str(), -3), L"[" + big + L"] -3");
    EXPECT_EQ(Fw::FormatWString(L"%ls", L"\u20ac"), L"\u20ac");
}

TEST(Format, HugeResultIsCutNotLost)
{
    const std::string huge(2000000, 'h');
    const std::string out = Fw::FormatString("%s", huge.c_str());
    EXPECT_GE(out.size(), 1000000u);
    EXPECT_LE(out.size(), 1310720u);
    EXPECT_EQ(out.find_first_not_of('h'), std::string::npos);
}

TEST(Format, OutputDebugFormatWWritesUtf8)
{
    TestSupport::DebugOutputCapture capture;
    Fw::OutputDebugFormatW(L"%ls=%d\n", L"caf\u00e9", 5);
    EXPECT_EQ(capture.Text(), "caf\xC3\xA9=5\n");
}

} // namespace
