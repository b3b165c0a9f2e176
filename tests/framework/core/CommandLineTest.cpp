// Command-line text: what reaches the application's hook, and its split into options.
#include "framework/core/CommandLine.h"

#include <gtest/gtest.h>

namespace {

using Fw::CommandLineOption;

TEST(CommandLine, ArgumentsAfterTheProgramName)
{
    struct Case {
        const char* line;
        const char* expected;
    };
    const Case cases[] = {
        {"\"C:\\Games\\My Game\\game.exe\"", ""},               // only the quoted program name
        {"\"C:\\Games\\game.exe\" -play", "-play"},
        {"\"C:\\Games\\game.exe\"  -play", " -play"},            // two blanks: the text begins with one
        {"game.exe -record -demofile x.dmo", "-record -demofile x.dmo"},
        {"game.exe", ""},
        {"\"unterminated -play", ""},                           // no closing quote: nothing
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Fw::CommandLineArguments(c.line), c.expected) << "line: " << c.line;
}

TEST(CommandLine, JoinQuotesWhatNeedsIt)
{
    const char* argv[] = {"/opt/my game/fwapp", "-demofile", "a b.dmo", "-x"};
    const std::string line = Fw::JoinCommandLine(4, argv);
    EXPECT_EQ(line, "\"/opt/my game/fwapp\" -demofile \"a b.dmo\" -x");
    EXPECT_EQ(Fw::CommandLineArguments(line), "-demofile \"a b.dmo\" -x");
}

TEST(CommandLine, SplitIntoOptions)
{
    struct Case {
        const char* text;
        std::vector<CommandLineOption> expected;
    };
    const Case cases[] = {
        {"", {}},
        {"-record", {{"-record", ""}}},
        {"-recnum 3 -play", {{"-recnum", "3"}, {"-play", ""}}},
        {"  -demofile \"my demo.dmo\"  ", {{"-demofile", "my demo.dmo"}}},
        {"-changedir /tmp/x stray", {{"-changedir", "/tmp/x"}, {"stray", ""}}},
        {"-a -b", {{"-a", ""}, {"-b", ""}}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Fw::SplitCommandLineOptions(c.text), c.expected) << "text: " << c.text;
}

} // namespace
