// Decoding of XML file bytes, node walking and element insertion.
#include "engine/core/XmlAccess.h"
#include "framework/assets/PakInterface.h"
#include "support/ArchiveFixtures.h"
#include "support/DebugOutputCapture.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Platform::XmlDocument;
using Platform::XmlNode;

namespace {

std::vector<unsigned char> Utf16(std::u16string_view text, bool bigEndian)
{
    std::vector<unsigned char> bytes;
    for (char16_t unit : text) {
        const unsigned char lo = unit & 0xFF, hi = unit >> 8;
        bytes.push_back(bigEndian ? hi : lo);
        bytes.push_back(bigEndian ? lo : hi);
    }
    return bytes;
}

std::wstring TextOf(const std::vector<unsigned char>& bytes)
{
    XmlDocument document;
    EXPECT_TRUE(LoadXmlBytes(bytes.data(), bytes.size(), document));
    return document.SelectSingleNode("root/loc").Attribute("text").WideText();
}

} // namespace

TEST(LoadXmlBytes, EveryMarkGivesTheSameText)
{
    const std::u16string xml = u"<root><loc text=\"caf\u00E9\"/></root>";
    const std::string utf8 = "\xEF\xBB\xBF<root><loc text=\"caf\xC3\xA9\"/></root>";
    const std::string latin1 = "<root><loc text=\"caf\xE9\"/></root>";

    std::vector<unsigned char> le = {0xFF, 0xFE}, be = {0xFE, 0xFF};
    for (unsigned char b : Utf16(xml, false)) le.push_back(b);
    for (unsigned char b : Utf16(xml, true)) be.push_back(b);

    EXPECT_EQ(TextOf({utf8.begin(), utf8.end()}), L"caf\u00E9");
    EXPECT_EQ(TextOf(le), L"caf\u00E9");
    EXPECT_EQ(TextOf(be), L"caf\u00E9");
    EXPECT_EQ(TextOf({latin1.begin(), latin1.end()}), L"caf\u00E9");

    // Characters beyond one byte survive the UTF-16 decodings.
    std::vector<unsigned char> euro = {0xFE, 0xFF};
    for (unsigned char b : Utf16(u"<root><loc text=\"\u20AC\"/></root>", true)) euro.push_back(b);
    EXPECT_EQ(TextOf(euro), L"\u20AC");
}

TEST(LoadXmlBytes, TextEndsAtTheFirstNulAndBadTextFails)
{
    const std::string withTail("<root><loc text=\"a\"/></root>\0<junk", 34);
    EXPECT_EQ(TextOf({withTail.begin(), withTail.end()}), L"a");

    XmlDocument document;
    for (std::string bad : {std::string(""), std::string("\xEF\xBB"), std::string("\xFF\xFE"),
                            std::string("<root>"), std::string("\0<root/>", 8)})
        EXPECT_FALSE(LoadXmlBytes(bad.data(), bad.size(), document)) << testing::PrintToString(bad);
}

TEST(XmlForEachNode, WalksInOrderAndStopsWhenTheCallbackSaysSo)
{
    XmlDocument document;
    const std::string xml = "<r><n i='1'/><n i='2'/><n i='3'/></r>";
    ASSERT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document));

    std::string seen;
    auto collect = [&](const XmlNode& n) { seen += n.Attribute("i").Text(); return true; };
    EXPECT_TRUE(XmlForEachNode(document.Root(), "r/n", collect));
    EXPECT_EQ(seen, "123");

    seen.clear();
    EXPECT_TRUE(XmlForEachNode(document.Root(), "r/n", [&](const XmlNode& n) {
        seen += n.Attribute("i").Text();
        return false;
    }));
    EXPECT_EQ(seen, "1");

    seen.clear();
    EXPECT_TRUE(XmlForEachNode(document.Root(), "r/n[@i=$i]", collect, {{"i", "2"}}));
    EXPECT_EQ(seen, "2");

    EXPECT_TRUE(XmlForEachNode(document.Root(), "r/none", collect));
    EXPECT_FALSE(XmlForEachNode(XmlNode(), "r/n", collect));
    EXPECT_FALSE(XmlForEachNode(document.Root(), "r/n[", collect));
    EXPECT_EQ(seen, "2");
}

TEST(XmlInsertNewElement, InsertsBeforeTheReferenceOrAppends)
{
    XmlDocument document;
    const std::string xml = "<level><obj n='a'/></level>";
    ASSERT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document));
    XmlNode level = document.DocumentElement();
    XmlNode first = XmlInsertNewElement(level, "obj", level.FirstChild());
    ASSERT_TRUE(first);
    first.SetAttribute("n", "b");
    XmlInsertNewElement(level, "obj").SetAttribute("n", "c");
    std::string order;
    XmlForEachNode(level, "obj", [&](const XmlNode& n) { order += n.Attribute("n").Text(); return true; });
    EXPECT_EQ(order, "bac");
    EXPECT_FALSE(XmlInsertNewElement(XmlNode(), "obj"));
    EXPECT_EQ(XmlGetAttributeNode(level.FirstChild(), "n").Text(), "b");
    EXPECT_FALSE(XmlGetAttributeNode(level, "n"));
}

TEST(LoadXmlFile, ReadsThroughTheFileLayerAndReportsFailures)
{
    TestSupport::TempFolder folder;
    TestSupport::WriteFileBytes(folder.File("good.xml"), std::string("\xFF\xFE<\0r\0/\0>\0", 10));
    TestSupport::WriteFileBytes(folder.File("bad.xml"), "<r>");

    XmlDocument document;
    EXPECT_TRUE(LoadXmlFile(folder.File("good.xml"), document));
    EXPECT_EQ(document.DocumentElement().Name(), "r");
    // Names in data use '\\'.
    std::string backslashed = folder.File("good.xml");
    backslashed[backslashed.rfind('/')] = '\\';
    EXPECT_TRUE(OpenXmlFile(backslashed));
    EXPECT_FALSE(LoadXmlFile(folder.File("bad.xml"), document));
    EXPECT_FALSE(OpenXmlFile(folder.File("missing.xml")));
    EXPECT_FALSE(OpenXmlFile(folder.Path())); // a folder is not a file
}

TEST(LoadXmlFile, AFileThatDoesNotParseIsNamedWithWhereItCameFromTheLineAndTheReason)
{
    TestSupport::TempFolder folder;
    const std::string broken = "<root>\n  <texture id=\"a\">\n</root>";
    const std::string archive = folder.File("mod.pak");
    const std::vector<uint8_t> bytes = TestSupport::MakeArchive({{"cfg\\ui.xml", broken}});
    TestSupport::WriteFileBytes(archive, std::string(bytes.begin(), bytes.end()));
    TestSupport::WriteFileBytes(folder.File("loose.xml"), broken);

    TestSupport::DebugOutputCapture output;
    PakInterface reader;
    ASSERT_TRUE(reader.OpenPakArchive(archive));
    XmlDocument document;
    EXPECT_FALSE(LoadXmlFile("cfg\\ui.xml", document));
    EXPECT_EQ(output.Text(), "XML file \"cfg\\ui.xml\" (archive " + archive +
                                 ") does not parse: line 3, column 3: Start-end tags mismatch\n");

    output.Clear();
    EXPECT_FALSE(LoadXmlFile(folder.File("loose.xml"), document));
    EXPECT_NE(output.Text().find("(file " + folder.File("loose.xml") + ") does not parse: line 3, column 3"),
              std::string::npos)
        << output.Text();

    output.Clear();
    EXPECT_FALSE(LoadXmlFile(folder.File("missing.xml"), document));
    EXPECT_EQ(output.Text(), "") << "a missing file is the caller's to report";
}
