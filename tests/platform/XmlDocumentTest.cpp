// XmlDocument over pugixml: parsing per encoding, queries with bound variables, handle lifetime,
// insertion and saving.
#include "platform/XmlDocument.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

using Platform::XmlDocument;
using Platform::XmlNode;
using Platform::XmlTextEncoding;

namespace {

XmlDocument Parse(std::string_view text)
{
    XmlDocument document;
    EXPECT_TRUE(document.LoadBuffer(text.data(), text.size(), XmlTextEncoding::Utf8)) << text;
    return document;
}

std::vector<std::string> Names(const Platform::XmlNodeList& list, std::string_view attribute)
{
    std::vector<std::string> names;
    for (size_t i = 0; i < list.Length(); ++i)
        names.push_back(list.Item(i).Attribute(attribute).Text());
    return names;
}

} // namespace

TEST(XmlDocument, TextStopsAtTheFirstNulOfEachEncoding)
{
    const char utf8[] = "<a x=\"1\"/>\0<broken";
    XmlDocument d8;
    EXPECT_TRUE(d8.LoadBuffer(utf8, sizeof utf8 - 1, XmlTextEncoding::Utf8));

    // "<a/>" then a NUL unit then garbage, in both UTF-16 byte orders.
    const unsigned char le[] = {'<', 0, 'a', 0, '/', 0, '>', 0, 0, 0, '<', 0};
    const unsigned char be[] = {0, '<', 0, 'a', 0, '/', 0, '>', 0, 0, 0, '<'};
    XmlDocument dle, dbe;
    EXPECT_TRUE(dle.LoadBuffer(le, sizeof le, XmlTextEncoding::Utf16LE));
    EXPECT_TRUE(dbe.LoadBuffer(be, sizeof be, XmlTextEncoding::Utf16BE));
    EXPECT_EQ(dle.DocumentElement().Name(), "a");
    EXPECT_EQ(dbe.DocumentElement().Name(), "a");
}

TEST(XmlDocument, Latin1WidensEachByte)
{
    const unsigned char text[] = "<a t=\"\xE9\"/>";
    XmlDocument document;
    ASSERT_TRUE(document.LoadBuffer(text, sizeof text - 1, XmlTextEncoding::Latin1));
    EXPECT_EQ(document.DocumentElement().Attribute("t").WideText(), L"\u00E9");
    EXPECT_EQ(document.DocumentElement().Attribute("t").Text(), "\xC3\xA9");
}

TEST(XmlDocument, MalformedTextFailsAndLeavesTheDocumentEmpty)
{
    for (std::string_view bad : {"", "<a>", "<a></b>", "just text", "<a x=1/>"}) {
        XmlDocument document = Parse("<old/>");
        EXPECT_FALSE(document.LoadBuffer(bad.data(), bad.size(), XmlTextEncoding::Utf8)) << bad;
        EXPECT_FALSE(document.DocumentElement()) << bad;
    }
}

TEST(XmlDocument, AFailedParseSaysWhereAndWhy)
{
    struct Case {
        const char* what;
        std::string bytes;
        XmlTextEncoding encoding;
        size_t line, column;
    };
    // Each text breaks at the 'c' of "</c>" on its third line (column 7 counted in characters),
    // after characters that take more than one byte in some encoding.
    const std::string latin1 = "<a>\n<b>\xE9\xE9</b>\n<b>\xE9</c>";
    const std::string utf8 = "<a>\n<b>\xC3\xA9\xE2\x82\xAC</b>\n<b>\xC3\xA9</c>";
    std::string utf16;
    for (char16_t unit : std::u16string(u"<a>\n<b>\u00E9\U0001F600</b>\n<b>\u20AC</c>")) {
        utf16 += char(unit & 0xFF);
        utf16 += char(unit >> 8);
    }
    const Case cases[] = {
        {"Latin-1", latin1, XmlTextEncoding::Latin1, 3, 7},
        {"UTF-8", utf8, XmlTextEncoding::Utf8, 3, 7},
        {"UTF-16 with a surrogate pair before", utf16, XmlTextEncoding::Utf16LE, 3, 7},
        {"an unquoted value on the first line", "<a x=1/>", XmlTextEncoding::Utf8, 1, 6},
    };
    for (const Case& c : cases) {
        XmlDocument document;
        ASSERT_FALSE(document.LoadBuffer(c.bytes.data(), c.bytes.size(), c.encoding)) << c.what;
        const Platform::XmlParseProblem& problem = document.LastLoadProblem();
        EXPECT_FALSE(problem.reason.empty()) << c.what;
        EXPECT_EQ(problem.line, c.line) << c.what;
        EXPECT_EQ(problem.column, c.column) << c.what;
    }
    XmlDocument document;
    ASSERT_FALSE(document.LoadBuffer("<a></b>", 7, XmlTextEncoding::Utf8));
    EXPECT_EQ(document.LastLoadProblem().reason, "Start-end tags mismatch");
    ASSERT_TRUE(document.LoadBuffer("<a/>", 4, XmlTextEncoding::Utf8));
    EXPECT_TRUE(document.LastLoadProblem().reason.empty()) << "a good load clears the last problem";
}

TEST(XmlDocument, QueriesReturnNodesInDocumentOrder)
{
    XmlDocument document = Parse(
        "<root><loc id='a'/><g><loc id='b'/></g><loc id='c'/><other id='x'/></root>");
    auto all = document.SelectNodes("//loc");
    ASSERT_TRUE(all);
    EXPECT_EQ(Names(*all, "id"), (std::vector<std::string>{"a", "b", "c"}));

    auto children = document.SelectSingleNode("root").SelectNodes("loc");
    ASSERT_TRUE(children);
    EXPECT_EQ(Names(*children, "id"), (std::vector<std::string>{"a", "c"}));

    // The cursor walks the list once, then reports null; Reset starts it again.
    EXPECT_EQ(children->NextNode().Attribute("id").Text(), "a");
    EXPECT_EQ(children->NextNode().Attribute("id").Text(), "c");
    EXPECT_FALSE(children->NextNode());
    children->Reset();
    EXPECT_EQ(children->NextNode().Attribute("id").Text(), "a");

    // An empty selection is a list, not a failure.
    auto none = document.SelectNodes("root/missing");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->Length(), 0u);
}

TEST(XmlDocument, BoundVariablesMatchNamesWithQuotes)
{
    XmlDocument document = Parse(R"(<r><s name="it's &quot;x&quot;" v="1"/><s name="plain" v="2"/></r>)");
    const std::string tricky = "it's \"x\"";
    XmlNode found = document.SelectSingleNode("r/s[@name=$n]", {{"n", tricky}});
    EXPECT_EQ(found.Attribute("v").Text(), "1");
    EXPECT_EQ(document.SelectSingleNode("r/s[@name=$n]", {{"n", "plain"}}).Attribute("v").Text(), "2");
    EXPECT_FALSE(document.SelectSingleNode("r/s[@name=$n]", {{"n", "nobody"}}));
}

TEST(XmlDocument, QueriesThatCannotBeMadeReportNoList)
{
    XmlDocument document = Parse("<r><a/></r>");
    for (std::string_view query : {"r/[", "count(//a)", "r/a[@x=$unbound]", "", "'text'"})
        EXPECT_FALSE(document.SelectNodes(query)) << query;
    EXPECT_FALSE(document.SelectSingleNode("r/["));
    EXPECT_FALSE(XmlNode().SelectNodes("r"));
}

TEST(XmlDocument, AttributeSelectionsAndAttributeNodes)
{
    XmlDocument document = Parse("<r a='1' b='2'>x<i>y</i>z</r>");
    auto attributes = document.SelectNodes("r/@*");
    ASSERT_TRUE(attributes);
    ASSERT_EQ(attributes->Length(), 2u);
    EXPECT_TRUE(attributes->Item(0).IsAttribute());
    EXPECT_EQ(attributes->Item(1).Name(), "b");
    EXPECT_EQ(attributes->Item(1).Text(), "2");
    EXPECT_EQ(attributes->Item(1).Parent().Name(), "r");
    EXPECT_EQ(document.DocumentElement().Text(), "xyz");
    EXPECT_FALSE(document.DocumentElement().Attribute("missing"));
}

TEST(XmlDocument, NodesKeepTheirDocumentAlive)
{
    XmlNode node;
    std::optional<Platform::XmlNodeList> list;
    {
        XmlDocument document = Parse("<r><a v='kept'/></r>");
        node = document.SelectSingleNode("r/a");
        list = document.SelectNodes("//a");
    }
    EXPECT_EQ(node.Attribute("v").Text(), "kept");
    EXPECT_EQ(list->Item(0).Parent().Name(), "r");

    // Loading new content leaves nodes of the old content intact.
    XmlDocument document = Parse("<old><a v='before'/></old>");
    XmlNode before = document.SelectSingleNode("old/a");
    const std::string next = "<new/>";
    ASSERT_TRUE(document.LoadBuffer(next.data(), next.size(), XmlTextEncoding::Utf8));
    EXPECT_EQ(before.Attribute("v").Text(), "before");
    EXPECT_EQ(document.DocumentElement().Name(), "new");
}

TEST(XmlDocument, InsertNewElementBeforeAReferenceOrLast)
{
    XmlDocument document = Parse("<r><a/><c/></r>");
    XmlNode root = document.DocumentElement();
    XmlNode c = root.SelectSingleNode("c");
    ASSERT_TRUE(root.InsertNewElement("b", c));
    ASSERT_TRUE(root.InsertNewElement("d"));
    std::string order;
    for (XmlNode n = root.FirstChild(); n; n = n.NextSibling())
        order += n.Name();
    EXPECT_EQ(order, "abcd");

    // A reference that is not a child, an empty name or an attribute parent gives null.
    XmlNode deep = root.SelectSingleNode("a");
    EXPECT_FALSE(root.InsertNewElement("x", deep.InsertNewElement("inner")));
    EXPECT_FALSE(root.InsertNewElement(""));
    document.DocumentElement().SetAttribute("k", "v");
    EXPECT_FALSE(root.Attribute("k").InsertNewElement("x"));
}

TEST(XmlDocument, SaveWritesAMarkedFileThatReadsBack)
{
    TestSupport::TempFolder folder;
    const std::string path = folder.File("level.xml");

    XmlDocument document = Parse("<level/>");
    XmlNode item = document.DocumentElement().InsertNewElement("item");
    item.SetAttribute("name", "caf\xC3\xA9 <&>\"'");
    item.SetText("body");
    ASSERT_TRUE(document.Save(path));

    const std::string bytes = TestSupport::ReadFileBytes(path);
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    XmlDocument again;
    ASSERT_TRUE(again.LoadBuffer(bytes.data() + 3, bytes.size() - 3, XmlTextEncoding::Utf8));
    XmlNode read = again.SelectSingleNode("level/item");
    EXPECT_EQ(read.Attribute("name").Text(), "caf\xC3\xA9 <&>\"'");
    EXPECT_EQ(read.Text(), "body");

    EXPECT_FALSE(document.Save(folder.File("no such folder/x.xml")));
}
