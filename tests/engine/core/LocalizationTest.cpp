// The localisation table: loading "loc.xml", lookups, "HARDCODE " keys in debug mode, numbers.
#include "engine/core/DebugSettings.h"
#include "engine/core/Localization.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The text as a UTF-16LE file with its mark.
std::string Utf16File(std::u16string_view text)
{
    std::string bytes = "\xFF\xFE";
    for (char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

class LocalizationTest : public testing::Test {
protected:
    void TearDown() override { gDebugSettings->debugMode = savedDebugMode_; }
    TestSupport::TempFolder folder;

private:
    bool savedDebugMode_ = gDebugSettings->debugMode;
};

} // namespace

TEST_F(LocalizationTest, LoadKeepsTheFirstOfDuplicatesAndSkipsIncompleteEntries)
{
    const std::string path = folder.File("loc.xml");
    TestSupport::WriteFileBytes(path, Utf16File(
        u"<root>"
        u"<loc id=\"app_title\" text=\"Corvin \u00C9t\u00E9\"/>"
        u"<loc id=\"dup\" text=\"first\"/><loc id=\"dup\" text=\"second\"/>"
        u"<loc id=\"empty\" text=\"\"/><loc id=\"empty\" text=\"late\"/>"
        u"<loc text=\"no id\"/><loc id=\"notext\"/>"
        u"<other id=\"other\" text=\"not a loc\"/>"
        u"</root>"));

    VTLocalization table;
    table.SetText("preset", L"kept");
    EXPECT_TRUE(table.LoadFromXml(path));
    EXPECT_EQ(table.GetText("app_title"), L"Corvin \u00C9t\u00E9");
    EXPECT_EQ(table.GetText("dup"), L"first");
    // The empty text was not entered, so the later one is the first to count.
    EXPECT_EQ(table.GetText("empty"), L"late");
    EXPECT_EQ(table.GetText("notext"), L"");
    EXPECT_EQ(table.GetText("other"), L"");
    EXPECT_EQ(table.GetText("preset"), L"kept");
}

TEST_F(LocalizationTest, MissingFilesAndRootsLeaveTheTableEmpty)
{
    const std::string noRoot = folder.File("noroot.xml");
    TestSupport::WriteFileBytes(noRoot, "<strings><loc id='a' text='x'/></strings>");
    VTLocalization table;
    EXPECT_TRUE(table.LoadFromXml(folder.File("absent.xml")));
    EXPECT_TRUE(table.LoadFromXml(noRoot));
    EXPECT_EQ(table.GetText("a"), L"");
}

TEST_F(LocalizationTest, OverlongIdsAndTextsAreCut)
{
    const std::string path = folder.File("long.xml");
    const std::string id(200, 'k');
    const std::string text(3000, 't');
    TestSupport::WriteFileBytes(path, "<root><loc id='" + id + "' text='" + text + "'/></root>");
    VTLocalization table;
    table.LoadFromXml(path);
    EXPECT_EQ(table.GetText(id.substr(0, 127)), std::wstring(2047, L't'));
}

TEST_F(LocalizationTest, HardcodedKeysOnlyInDebugMode)
{
    VTLocalization table;
    gDebugSettings->debugMode = false;
    EXPECT_EQ(table.GetText("HARDCODE Hello"), L"");
    gDebugSettings->debugMode = true;
    EXPECT_EQ(table.GetText("HARDCODE Hello"), L"Hello");
    EXPECT_EQ(table.GetText("HARDCODE Caf\xC3\xA9"), L"Caf\u00E9");
    EXPECT_EQ(table.GetText("HARDCODE "), L"");
    EXPECT_EQ(table.GetText("HARDCODEHello"), L"");
    EXPECT_EQ(table.GetText("hardcode Hello"), L"");
}

TEST_F(LocalizationTest, KeyTableWrites)
{
    VTLocalization keys;
    struct Case { int32_t value; const wchar_t* text; };
    for (const Case& c : {Case{-42, L"-42"}, Case{0, L"0"}, Case{INT_MIN, L"-2147483648"}, Case{1234567, L"1234567"}}) {
        keys.SetInt("money", c.value);
        EXPECT_EQ(keys.GetText("money"), c.text);
    }
    keys.SetText("money", L"");
    EXPECT_EQ(keys.GetTextRef("money"), L"");
    EXPECT_EQ(keys.GetTextRef("absent"), L"");
    keys.SetText("absent", L"now set");
    EXPECT_EQ(keys.GetTextRef("absent"), L"now set");
}
