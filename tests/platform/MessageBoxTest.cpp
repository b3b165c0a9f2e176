#include "platform/MessageBox.h"
#include "platform/fake/ScriptedMessageBox.h"
#include "platform/sdl/SdlMessageBox.h"
#include "support/DebugOutputCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace Platform;

TEST(MessageBox, DefaultAnswerFollowsButtonSetAndDefaultBit)
{
    struct Case { uint32_t style; int expected; };
    const Case cases[] = {
        {kMbOk | kMbIconError, kIdOk},
        {kMbYesNo, kIdYes},
        {kMbYesNo | kMbDefButton2, kIdNo},
        {kMbYesNoCancel | kMbDefButton3, kIdCancel},
        {kMbOkCancel | kMbDefButton3, kIdOk}, // no third button: the first
        {kMbAbortRetryIgnore | kMbDefButton2, kIdRetry},
        {0xF, kIdOk},                         // unknown set: OK
    };
    for (const auto& c : cases)
        EXPECT_EQ(MessageBoxDefaultAnswer(c.style), c.expected) << std::hex << c.style;
}

TEST(MessageBox, ScriptedAnswersThenDefaults)
{
    ScriptedMessageBox fake;
    ScopedMessageBoxService installed(fake);
    fake.Answer(kIdNo);
    EXPECT_EQ(GetMessageBoxService().Show(nullptr, "Quit?", "Game", kMbYesNo), kIdNo);
    EXPECT_EQ(GetMessageBoxService().Show(nullptr, "Again?", "Game", kMbYesNo | kMbDefButton2), kIdNo);
    EXPECT_EQ(GetMessageBoxService().Show(nullptr, "Sure?", "Game", kMbYesNo), kIdYes);
    const auto shown = fake.ShownBoxes();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[1].text, "Again?");
    EXPECT_EQ(shown[1].caption, "Game");
}

TEST(SdlMessageBox, WithoutDisplayWritesToDebugOutputAndAnswersDefault)
{
    // With a display SDL would show a real box and wait for a person: only run without one.
    if (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"))
        GTEST_SKIP() << "a display is available";
    TestSupport::DebugOutputCapture capture;
    SdlMessageBox box;
    EXPECT_EQ(box.Show(nullptr, "No 3-D", "Error", kMbYesNoCancel | kMbDefButton2 | kMbIconError), kIdNo);
    EXPECT_NE(capture.Text().find("Error: No 3-D"), std::string::npos) << capture.Text();
}

} // namespace
