#include "platform/DebugOutput.h"
#include "support/DebugOutputCapture.h"

#include <gtest/gtest.h>

namespace {

TEST(DebugOutput, SinkReceivesTextAsWrittenAndIsRestored)
{
    std::string outer;
    auto previous = Platform::SetDebugOutputSink([&](std::string_view t) { outer.append(t); });
    {
        TestSupport::DebugOutputCapture capture;
        Platform::OutputDebugStringA("one\n");
        Platform::OutputDebugStringA(nullptr);
        Platform::OutputDebugStringA("two");
        EXPECT_EQ(capture.Text(), "one\ntwo");
    }
    Platform::OutputDebugStringA("three");
    EXPECT_EQ(outer, "three") << "the capture did not restore the sink it replaced";
    Platform::SetDebugOutputSink(std::move(previous));
}

} // namespace
