// Runs the built archive tool on real folders: what it packs, the reader opens and the tool
// unpacks byte for byte; damaged archives and escaping entry names are refused.
#include "framework/assets/PakArchiveWriter.h"
#include "framework/assets/PakInterface.h"

#include "support/ArchiveFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

using namespace TestSupport;
namespace fs = std::filesystem;

// The tool next to this test program's build folder (tests run in <build>/tests).
const fs::path& ToolPath()
{
    static const fs::path path = fs::absolute("../tools/paktool");
    return path;
}

struct RunResult {
    int exitCode = -1;
    std::string output;
};

RunResult RunPaktool(const std::string& arguments)
{
    RunResult result;
    FILE* pipe = ::popen((ToolPath().string() + " " + arguments + " 2>&1").c_str(), "r");
    if (!pipe)
        return result;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe))
        result.output += buffer;
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class PaktoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ToolPath(); // resolved before the scratch folder becomes the current directory
        folder = std::make_unique<ScratchFolder>();
        if (!fs::exists(ToolPath()))
            GTEST_SKIP() << "paktool not built at " << ToolPath();
    }
    std::unique_ptr<ScratchFolder> folder;
};

TEST_F(PaktoolTest, CreateListExtractRoundTrip)
{
    folder->Write("src/cfg/ui.xml", "<root/>\r\n");
    folder->Write("src/Data/Images/Foo.png", std::string("\x89PNG\0\xA6\xFF", 7));
    folder->Write("src/empty.txt", "");

    const RunResult created = RunPaktool("create game.pak src");
    ASSERT_EQ(created.exitCode, 0) << created.output;

    const RunResult listed = RunPaktool("list game.pak");
    ASSERT_EQ(listed.exitCode, 0) << listed.output;
    EXPECT_NE(listed.output.find("Data\\Images\\Foo.png"), std::string::npos) << listed.output;
    EXPECT_NE(listed.output.find("cfg\\ui.xml"), std::string::npos) << listed.output;

    {
        PakInterface pak;
        ASSERT_TRUE(pak.OpenPakArchive("game.pak"));
        PakFile* f = pak.FOpen("data/images/foo.png", "rb");
        ASSERT_NE(f, nullptr);
        char bytes[8] = {};
        EXPECT_EQ(pak.FRead(bytes, 1, sizeof bytes, f), 7u);
        EXPECT_EQ(std::string(bytes, 7), std::string("\x89PNG\0\xA6\xFF", 7));
        pak.FClose(f);
    }

    const RunResult extracted = RunPaktool("extract game.pak out");
    ASSERT_EQ(extracted.exitCode, 0) << extracted.output;
    for (const char* name : {"cfg/ui.xml", "Data/Images/Foo.png", "empty.txt"})
        EXPECT_EQ(ReadFileBytes(std::string("out/") + name), ReadFileBytes(std::string("src/") + name))
            << name;
}

TEST_F(PaktoolTest, RefusesBrokenArchivesEscapingNamesAndBadUsage)
{
    folder->Write("broken.pak", MakeBrokenArchive(BrokenArchive::EntryPastEnd));
    EXPECT_EQ(RunPaktool("list broken.pak").exitCode, 1);
    EXPECT_EQ(RunPaktool("extract broken.pak out").exitCode, 1);
    EXPECT_EQ(RunPaktool("list missing.pak").exitCode, 1);

    for (const char* evil : {"..\\escape.txt", "a\\..\\..\\escape.txt", "/tmp/escape.txt"}) {
        folder->Write("evil.pak", MakeArchive({{evil, "x"}}));
        EXPECT_EQ(RunPaktool("extract evil.pak out").exitCode, 1) << evil;
        EXPECT_FALSE(fs::exists("escape.txt")) << evil;
    }

    EXPECT_EQ(RunPaktool("").exitCode, 2);
    EXPECT_EQ(RunPaktool("create only-one-argument").exitCode, 2);
    EXPECT_EQ(RunPaktool("unpack a.pak out").exitCode, 2);
    EXPECT_EQ(RunPaktool("create out.pak no-such-folder").exitCode, 1);
}

} // namespace
