#include "framework/assets/PakInterface.h"
#include "framework/assets/PakPath.h"

#include "support/ArchiveFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using TestSupport::ArchiveFiles;
using TestSupport::MakeArchive;
using TestSupport::ScratchFolder;

class PakInterfaceTest : public ::testing::Test {
protected:
    // Writes an archive under name and opens it; fails the test when it does not open.
    void Open(const std::string& name, const ArchiveFiles& files, uint64_t fileTime = 0)
    {
        folder.Write(name, MakeArchive(files, fileTime));
        ASSERT_TRUE(pak.OpenPakArchive(name)) << name;
    }

    // The whole contents of name read through FRead, or "<null>" when it does not open.
    std::string ReadAll(const std::string& name, const char* mode = "rb")
    {
        PakFile* f = pak.FOpen(name.c_str(), mode);
        if (!f)
            return "<null>";
        std::string out;
        char buffer[7]; // deliberately small: several reads per file
        size_t n;
        while ((n = pak.FRead(buffer, 1, sizeof buffer, f)) > 0)
            out.append(buffer, n);
        pak.FClose(f);
        return out;
    }

    ScratchFolder folder;
    PakInterface pak;
};

TEST_F(PakInterfaceTest, SpellingsOfOneNameOpenTheSameEntry)
{
    Open("data.pak", {{"data\\Images\\Foo.png", "foo bytes"}});
    const std::string absolute = folder.Path() + "/data/Images/Foo.png";
    const std::string absoluteOtherCase = folder.Path() + "/DATA\\images/FOO.png";
    const char* names[] = {"data\\Images\\Foo.png",
                           "DATA/IMAGES/foo.PNG",
                           "data//images/foo.png",
                           "data\\\\Images//Foo.png",
                           "data\\sub\\..\\Images\\Foo.png",
                           "data\\Images\\x\\y\\..\\..\\Foo.png",
                           absolute.c_str(),
                           absoluteOtherCase.c_str()};
    for (const char* name : names)
        EXPECT_EQ(ReadAll(name), "foo bytes") << name;
    EXPECT_EQ(ReadAll("Images\\Foo.png"), "<null>");
    EXPECT_EQ(ReadAll("data\\Images\\..\\Foo.png"), "<null>");
}

TEST(PakPathTest, NormalisationCases)
{
    ScratchFolder folder;
    struct Case {
        std::string in, expected;
    } cases[] = {
        {"a\\b\\..\\c", "A\\C"},
        {"ab\\..\\c", "C"},
        {"\\ab\\..\\c", "\\C"},
        {"\\..\\c", "\\C"},     // never above a leading separator
        {"a\\..\\..\\c", "C"},  // nor above the start
        {"..\\x", "..\\X"},     // leading dots are copied
        {"a\\.\\b", "A\\.\\B"}, // a single-dot component too
        {"a//\\b", "A\\B"},
        {"/x/y", "\\X\\Y"}, // absolute outside the current folder: only normalised
        {folder.Path() + "/Sub/f.txt", "SUB\\F.TXT"},
        {"\xC3\xA9t\xC3\xA9.png", "\xC3\xA9T\xC3\xA9.PNG"}, // only a-z change case
    };
    for (const Case& c : cases)
        EXPECT_EQ(Pak::NormalizePakPath(c.in), c.expected) << c.in;
}

TEST_F(PakInterfaceTest, OnlyReadModesLookInArchives)
{
    Open("data.pak", {{"cfg\\mode.txt", "from archive"}});
    folder.Write("cfg/mode.txt", "from disk");
    struct Case {
        const char* mode;
        bool archive;
    } cases[] = {{"r", true},   {"rb", true},   {"rt", true}, {"R", true}, {"RB", true},
                 {"r+", false}, {"rb+", false}, {"a", false}, {"w", false}};
    for (const Case& c : cases) {
        PakFile* f = pak.FOpen("cfg\\mode.txt", c.mode);
        ASSERT_NE(f, nullptr) << c.mode;
        EXPECT_EQ(f->entry != nullptr, c.archive) << c.mode;
        EXPECT_EQ(f->stream == nullptr, c.archive) << c.mode;
        pak.FClose(f);
    }
}

TEST_F(PakInterfaceTest, MissingNamesFallBackToTheFileSystemIgnoringCase)
{
    Open("data.pak", {{"other.txt", "x"}});
    folder.Write("Data/Sub/Plain.txt", "plain file");
    EXPECT_EQ(ReadAll("data\\sub\\PLAIN.TXT"), "plain file");
    EXPECT_EQ(ReadAll("Data/Sub/Plain.txt", "r"), "plain file");
    EXPECT_EQ(ReadAll("data\\sub\\missing.txt"), "<null>");
}

TEST_F(PakInterfaceTest, LaterArchivesAndLaterDuplicatesWin)
{
    Open("loc.pak", {{"shared.txt", "loc"}, {"loc-only.txt", "L"}});
    Open("data.pak", {{"Shared.TXT", "data"}, {"twice.txt", "first"}, {"twice.txt", "second"}});
    Open("mod.pak", {{"SHARED.txt", "mod"}});
    EXPECT_EQ(ReadAll("shared.txt"), "mod");
    EXPECT_EQ(ReadAll("loc-only.txt"), "L");
    EXPECT_EQ(ReadAll("twice.txt"), "second");
}

TEST_F(PakInterfaceTest, BrokenArchivesAreRejectedAndLeaveNothingBehind)
{
    Open("data.pak", {{"kept.txt", "kept"}});
    folder.Write("cfg/broken.txt", "disk copy");
    for (TestSupport::BrokenArchive kind : TestSupport::kAllBrokenArchives) {
        SCOPED_TRACE(TestSupport::Describe(kind));
        folder.Write("broken.pak", TestSupport::MakeBrokenArchive(kind));
        EXPECT_FALSE(pak.OpenPakArchive("broken.pak"));
        EXPECT_EQ(ReadAll("cfg\\broken.txt"), "disk copy");
        EXPECT_EQ(ReadAll("kept.txt"), "kept");
        PakFile* self = pak.FOpen("broken.pak", "rb"); // the archive's own name is a plain file
        ASSERT_NE(self, nullptr);
        EXPECT_EQ(self->entry, nullptr);
        pak.FClose(self);
    }
    EXPECT_FALSE(pak.OpenPakArchive("no-such.pak"));
}

TEST_F(PakInterfaceTest, LineAndCharacterReadsDropCarriageReturns)
{
    Open("data.pak", {{"text.txt", "ab\r\ncd"}, {"empty.txt", ""}, {"cr-last.txt", "x\r"}});
    char line[10];
    PakFile* f = pak.FOpen("text.txt", "rt");
    ASSERT_NE(f, nullptr);
    ASSERT_NE(pak.FGetS(line, 10, f), nullptr);
    EXPECT_STREQ(line, "ab\n");
    ASSERT_NE(pak.FGetS(line, 10, f), nullptr);
    EXPECT_STREQ(line, "cd");
    EXPECT_EQ(pak.FGetS(line, 10, f), nullptr);
    EXPECT_EQ(pak.FEof(f), 1);

    pak.FSeek(f, 0, SEEK_SET);
    std::vector<int> chars;
    for (int i = 0; i < 6; ++i)
        chars.push_back(pak.FGetC(f));
    EXPECT_EQ(chars, (std::vector<int>{'a', 'b', '\n', 'c', 'd', -1}));

    pak.FSeek(f, 0, SEEK_SET);
    EXPECT_EQ(pak.FGetS(line, 3, f), line); // n - 1 characters at most
    EXPECT_STREQ(line, "ab");
    EXPECT_EQ(pak.FGetS(line, 1, f), line); // room for the terminator only
    EXPECT_STREQ(line, "");
    line[0] = 'z';
    EXPECT_EQ(pak.FGetS(line, 0, f), line); // no room at all: untouched
    EXPECT_EQ(line[0], 'z');
    pak.FClose(f);

    PakFile* empty = pak.FOpen("empty.txt", "r");
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(pak.FEof(empty), 1);
    EXPECT_EQ(pak.FGetC(empty), -1);
    EXPECT_EQ(pak.FGetS(line, 10, empty), nullptr);
    pak.FClose(empty);

    PakFile* crLast = pak.FOpen("cr-last.txt", "r");
    EXPECT_EQ(pak.FGetC(crLast), 'x');
    EXPECT_EQ(pak.FGetC(crLast), -1);
    pak.FClose(crLast);
}

TEST_F(PakInterfaceTest, WideReadsTakeLittleEndianUnitsAndStopBeforeAnOddByte)
{
    const std::string units("A\0\r\0\n\0\x34\x12Z", 9); // 'A', CR, LF, U+1234, one stray byte
    Open("data.pak", {{"wide.txt", units}});
    PakFile* f = pak.FOpen("wide.txt", "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(pak.FGetWC(f), 'A');
    EXPECT_EQ(pak.FGetWC(f), '\n');
    EXPECT_EQ(pak.FGetWC(f), 0x1234);
    EXPECT_EQ(pak.FGetWC(f), 0xFFFF);
    EXPECT_EQ(pak.FTell(f), 8);

    pak.FSeek(f, 0, SEEK_SET);
    char16_t line[8];
    ASSERT_EQ(pak.FGetWS(line, 8, f), line);
    EXPECT_EQ(std::u16string(line), u"A\n");
    ASSERT_EQ(pak.FGetWS(line, 8, f), line);
    EXPECT_EQ(std::u16string(line), u"\u1234");
    EXPECT_EQ(pak.FGetWS(line, 8, f), nullptr);
    pak.FClose(f);
}

TEST_F(PakInterfaceTest, SeeksClampToTheEntry)
{
    Open("data.pak", {{"ten.bin", "0123456789"}});
    PakFile* f = pak.FOpen("ten.bin", "rb");
    ASSERT_NE(f, nullptr);
    struct Case {
        long offset;
        int origin;
        long expected;
    } cases[] = {{-5, SEEK_SET, 0},   {20, SEEK_SET, 10},          {0, SEEK_END, 10},
                 {-3, SEEK_END, 7},   {-2, SEEK_CUR, 5},           {100, SEEK_CUR, 10},
                 {-100, SEEK_CUR, 0}, {0x7FFFFFFFL, SEEK_END, 10}, {-0x7FFFFFFFL, SEEK_END, 0},
                 {4, SEEK_SET, 4}};
    for (const Case& c : cases) {
        EXPECT_EQ(pak.FSeek(f, c.offset, c.origin), 0);
        EXPECT_EQ(pak.FTell(f), c.expected) << c.offset << " from " << c.origin;
    }
    pak.UnGetC('x', f);
    EXPECT_EQ(pak.FTell(f), 3);
    pak.FSeek(f, 0, SEEK_SET);
    pak.UnGetC('x', f);
    EXPECT_EQ(pak.FTell(f), 0);
    pak.FClose(f);
}

TEST_F(PakInterfaceTest, ReadsCountWholeElementsAndNeverOverrun)
{
    Open("data.pak", {{"twelve.bin", "AB0123456789"}});
    PakFile* f = pak.FOpen("twelve.bin", "rb");
    ASSERT_NE(f, nullptr);
    pak.FSeek(f, 2, SEEK_SET);
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(pak.FRead(buffer, 4, 3, f), 2u); // 10 bytes left: two whole elements
    EXPECT_EQ(std::string(buffer, 11), "0123456789#");
    EXPECT_EQ(pak.FTell(f), 12);
    EXPECT_EQ(pak.FRead(buffer, 1, 1, f), 0u);

    pak.FSeek(f, 8, SEEK_SET);
    EXPECT_EQ(pak.FRead(buffer, SIZE_MAX / 2, 3, f), 0u); // size x count overflows: reads what is left
    EXPECT_EQ(pak.FTell(f), 12);
    pak.FSeek(f, 8, SEEK_SET);
    EXPECT_EQ(pak.FRead(buffer, 2, SIZE_MAX, f), 2u);
    EXPECT_EQ(pak.FRead(buffer, 0, 5, f), 0u);
    pak.FClose(f);
}

TEST_F(PakInterfaceTest, SearchReportsArchiveEntriesInKeyOrderThenFiles)
{
    const uint64_t time = 0x01D0000012345678;
    Open("data.pak",
         {{"cfg\\b.xml", "bb"},
          {"cfg\\A.xml", "a"},
          {"cfg\\c.txt", "c"},
          {"other\\d.xml", "d"},
          {"cfg\\sub\\e.xml", "eeee"}},
         time);
    folder.Write("cfg/disk.xml", "disk");
    folder.Write("cfg/disk.txt", "disk");

    auto collect = [this](const char* pattern) {
        std::vector<std::string> names;
        PakFindFileData data;
        PakFindHandle h = pak.FindFirstFile(pattern, &data);
        if (h == kInvalidPakFindHandle)
            return names;
        do
            names.push_back(data.fileName);
        while (pak.FindNextFile(h, &data));
        EXPECT_TRUE(pak.FindClose(h));
        return names;
    };
    EXPECT_EQ(collect("cfg\\*.xml"), (std::vector<std::string>{"A.xml", "b.xml", "e.xml", "disk.xml"}));
    std::vector<std::string> all = collect("CFG/*");
    ASSERT_EQ(all.size(), 6u);
    std::sort(all.begin() + 4, all.end()); // the file system reports in its own order
    EXPECT_EQ(all, (std::vector<std::string>{"A.xml", "b.xml", "c.txt", "e.xml", "disk.txt", "disk.xml"}));
    EXPECT_EQ(collect("cfg\\disk.xml"), (std::vector<std::string>{"disk.xml"})); // no '*': files only
    EXPECT_EQ(collect("cfg\\b.xml"), (std::vector<std::string>{}));
    EXPECT_EQ(collect("nowhere\\*.xml"), (std::vector<std::string>{}));

    PakFindFileData data;
    PakFindHandle h = pak.FindFirstFile("cfg\\b*", &data);
    ASSERT_NE(h, kInvalidPakFindHandle);
    EXPECT_EQ(data.fileName, "b.xml");
    EXPECT_EQ(data.fileSize, 2u);
    EXPECT_EQ(data.lastWriteTime, time);
    EXPECT_EQ(data.attributes, 0u);
    pak.FindClose(h);
}

TEST_F(PakInterfaceTest, StoredNamesAreFoundWhateverTheirSeparators)
{
    Open("data.pak", {{"cfg/a.txt", "a"}, {"cfg\\\\b.txt", "b"}});
    for (const char* name : {"cfg\\a.txt", "CFG/A.TXT", "cfg\\b.txt", "cfg//b.txt"}) {
        PakFile* f = pak.FOpen(name, "rb");
        ASSERT_NE(f, nullptr) << name;
        EXPECT_NE(f->entry, nullptr) << name;
        pak.FClose(f);
    }
}

TEST_F(PakInterfaceTest, SearchOverAnEntryWithAnEmptyNameEnds)
{
    Open("data.pak", {{"", "nameless"}, {"b.txt", "b"}});
    PakFindFileData data;
    PakFindHandle h = pak.FindFirstFile("*.txt", &data);
    ASSERT_NE(h, kInvalidPakFindHandle);
    std::vector<std::string> names{data.fileName};
    while (pak.FindNextFile(h, &data) && names.size() < 10)
        names.push_back(data.fileName);
    pak.FindClose(h);
    EXPECT_EQ(names, (std::vector<std::string>{"b.txt"}));
    h = pak.FindFirstFile("*", &data);
    ASSERT_NE(h, kInvalidPakFindHandle);
    names = {data.fileName};
    while (pak.FindNextFile(h, &data) && names.size() < 10)
        names.push_back(data.fileName);
    pak.FindClose(h);
    ASSERT_GE(names.size(), 2u) << "the search repeats the nameless entry";
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 2), (std::vector<std::string>{"", "b.txt"}));
    EXPECT_LT(names.size(), 10u) << "the search does not end";
}

TEST(PakInterfacePublication, FirstInstanceIsPublishedUntilDestroyed)
{
    ASSERT_EQ(GetPakInterface(), nullptr);
    {
        PakInterface first;
        EXPECT_EQ(GetPakInterface(), &first);
        {
            PakInterface second;
            EXPECT_EQ(GetPakInterface(), &first);
        }
        EXPECT_EQ(GetPakInterface(), &first);
    }
    EXPECT_EQ(GetPakInterface(), nullptr);
}

TEST(PakInterfacePublication, WrappersReadArchivesThroughThePublishedReader)
{
    ScratchFolder folder;
    folder.Write("data.pak", MakeArchive({{"cfg\\wrapped.txt", "line one\r\nline two"}}));
    PakInterface pak;
    ASSERT_TRUE(pak.OpenPakArchive("data.pak"));
    PakFile* f = PakFOpen("CFG/Wrapped.txt", "r");
    ASSERT_NE(f, nullptr);
    char line[32];
    ASSERT_NE(PakFGetS(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "line one\n");
    EXPECT_EQ(PakFClose(f), 0);
}

} // namespace
