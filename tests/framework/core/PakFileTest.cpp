#include "framework/core/PakFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using TestSupport::TempFolder;

// A reader that serves every name from one string and counts what reaches it; handles without an
// entry go to the stdio operations, as a real reader treats them.
class StringReader : public PakInterfaceBase {
public:
    explicit StringReader(std::string text) : text_(std::move(text)) {}
    int opens = 0;
    int closes = 0;

    PakFile* FOpen(const char*, const char*) override
    {
        ++opens;
        auto* f = new PakFile;
        f->entry = reinterpret_cast<PakEntry*>(this);
        return f;
    }
    int FClose(PakFile* f) override
    {
        ++closes;
        if (!f->entry)
            return PakStdio::FClose(f);
        delete f;
        return 0;
    }
    int FSeek(PakFile* f, long o, int w) override { return f->entry ? 0 : PakStdio::FSeek(f, o, w); }
    long FTell(PakFile* f) override { return f->entry ? f->position : PakStdio::FTell(f); }
    size_t FRead(void* b, size_t s, size_t n, PakFile* f) override { return f->entry ? 0 : PakStdio::FRead(b, s, n, f); }
    int FGetC(PakFile* f) override
    {
        if (!f->entry)
            return PakStdio::FGetC(f);
        return size_t(f->position) < text_.size() ? (unsigned char)text_[size_t(f->position++)] : EOF;
    }
    int FGetWC(PakFile* f) override { return f->entry ? 'W' : PakStdio::FGetWC(f); }
    int UnGetC(int c, PakFile* f) override { return f->entry ? c : PakStdio::UnGetC(c, f); }
    char16_t* FGetWS(char16_t* b, int n, PakFile* f) override { return f->entry ? nullptr : PakStdio::FGetWS(b, n, f); }
    char* FGetS(char* b, int n, PakFile* f) override { return f->entry ? nullptr : PakStdio::FGetS(b, n, f); }
    int FEof(PakFile* f) override { return f->entry ? size_t(f->position) >= text_.size() : PakStdio::FEof(f); }
    PakFindHandle FindFirstFile(const char*, PakFindFileData*) override { return kInvalidPakFindHandle; }
    bool FindNextFile(PakFindHandle, PakFindFileData*) override { return false; }
    bool FindClose(PakFindHandle) override { return false; }

private:
    std::string text_;
};

// Unpublishes the reader even when an assertion leaves the test early.
struct Published {
    PakInterfaceBase* reader;
    explicit Published(PakInterfaceBase* r) : reader(r) { EXPECT_TRUE(PublishPakInterface(r)); }
    ~Published() { UnpublishPakInterface(reader); }
};

TEST(PakFile, StdioFallbackReadsUtf16LeUnitsRegardlessOfLocale)
{
    ASSERT_EQ(GetPakInterface(), nullptr);
    TempFolder dir;
    // 'A', U+00E9, U+20AC, U+FFFE, then a lone odd byte: every unit is two bytes, low byte first.
    TestSupport::WriteFileBytes(dir.File("text.txt"), std::string("A\0\xE9\0\xAC\x20\xFE\xFF\x42", 9));
    PakFile* f = PakFOpen(dir.File("text.txt").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->entry, nullptr);
    std::vector<int> units;
    for (int i = 0; i < 6; ++i)
        units.push_back(PakFGetWC(f));
    EXPECT_EQ(units, (std::vector<int>{'A', 0xE9, 0x20AC, 0xFFFE, 0xFFFF, 0xFFFF}));
    EXPECT_NE(PakFEof(f), 0);
    EXPECT_EQ(PakFClose(f), 0);
}

TEST(PakFile, StdioFallbackAcceptsBackslashesAndAnyCase)
{
    TempFolder dir;
    std::filesystem::create_directories(dir.File("Data/Fonts"));
    TestSupport::WriteFileBytes(dir.File("Data/Fonts/Big.txt"), "xy\nz");
    const std::string name = dir.Path() + "\\DATA\\fonts\\BIG.TXT";
    PakFile* f = PakFOpen(name.c_str(), "rt");
    ASSERT_NE(f, nullptr) << name;
    char line[8];
    ASSERT_NE(PakFGetS(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "xy\n");
    EXPECT_EQ(PakFGetC(f), 'z');
    EXPECT_EQ(PakFGetC(f), EOF);
    EXPECT_EQ(PakFSeek(f, 1, SEEK_SET), 0);
    EXPECT_EQ(PakFTell(f), 1);
    char rest[4] = {};
    EXPECT_EQ(PakFRead(rest, 1, sizeof rest, f), 3u);
    EXPECT_EQ(std::string(rest, 3), "y\nz");
    PakFClose(f);
    EXPECT_EQ(PakFOpen(dir.File("missing.txt").c_str(), "rb"), nullptr);
    EXPECT_EQ(PakFOpen(dir.File("data").c_str(), "rb"), nullptr) << "a folder opened as a file";
}

TEST(PakFile, FirstPublishedReaderWinsAndServesEveryCall)
{
    TempFolder dir;
    TestSupport::WriteFileBytes(dir.File("plain.bin"), "P");
    // Opened while no reader exists: must still be readable and closable through the reader later.
    PakFile* early = PakFOpen(dir.File("plain.bin").c_str(), "rb");
    ASSERT_NE(early, nullptr);

    StringReader first("ab"), second("zz");
    {
        Published published(&first);
        EXPECT_FALSE(PublishPakInterface(&second));
        EXPECT_EQ(GetPakInterface(), &first);
        EXPECT_FALSE(UnpublishPakInterface(&second)) << "a reader that was never published withdrew the first";

        PakFile* f = PakFOpen("anything", "rb");
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(PakFGetC(f), 'a');
        EXPECT_EQ(PakFGetC(f), 'b');
        EXPECT_NE(PakFEof(f), 0);
        EXPECT_EQ(PakFClose(f), 0);
        EXPECT_EQ(first.opens, 1);
        EXPECT_EQ(second.opens, 0);

        EXPECT_EQ(PakFGetC(early), 'P');
        EXPECT_EQ(PakFClose(early), 0);
        EXPECT_EQ(first.closes, 2);
    }
    EXPECT_EQ(GetPakInterface(), nullptr);
}

TEST(PakFileThreads, ConcurrentPublishersHaveExactlyOneWinner)
{
    std::vector<StringReader> readers(8, StringReader(""));
    std::vector<int> won(readers.size(), 0);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < readers.size(); ++i)
        threads.emplace_back([&, i] { won[i] = PublishPakInterface(&readers[i]); });
    for (auto& t : threads)
        t.join();
    int winners = 0;
    for (size_t i = 0; i < readers.size(); ++i)
        if (won[i]) {
            ++winners;
            EXPECT_EQ(GetPakInterface(), &readers[i]);
            UnpublishPakInterface(&readers[i]);
        }
    EXPECT_EQ(winners, 1);
}

} // namespace
