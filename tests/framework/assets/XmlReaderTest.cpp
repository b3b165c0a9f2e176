#include "framework/assets/XmlReader.h"

#include <gtest/gtest.h>

namespace {

using Fw::XmlReader;
using Fw::XmlReaderNode;

// Every node as "kind:value[attr=value,...]" until the reader stops; then the error, if any.
std::string Walk(const std::wstring& text, std::vector<size_t> illegal = {})
{
    XmlReader reader(text, "r.xml", std::move(illegal));
    XmlReaderNode node;
    std::string out;
    while (reader.NextElement(node)) {
        static const char* kKinds[] = {"none", "start", "end", "text", "pi", "comment"};
        out += kKinds[node.kind];
        out += ":";
        for (wchar_t c : node.kind == XmlReaderNode::Instruction ? node.instruction : node.value)
            out.push_back(char(c));
        for (const auto& [k, v] : node.attributes) {
            out += "[";
            out += std::string(k.begin(), k.end()) + "=" + std::string(v.begin(), v.end());
            out += "]";
        }
        out += " ";
    }
    if (reader.HadError())
        out += "ERROR " + reader.GetErrorText();
    return out;
}

TEST(XmlReader, Nodes)
{
    struct Case { const wchar_t* xml; const char* expected; };
    const Case cases[] = {
        {L"<a/>", "start:a end:a "},
        {L"<a x=\"1\"/>", "start:a[x=1] end:a "},
        {L"<a x=\"1\" />", "start:a[x=1] end:a "},
        {L"<Image path=\"a b<c>\" id=x></Image>", "start:Image[id=x][path=a b<c>] end:Image "},
        {L"<a>t &amp; &lt;u&gt;</a>", "start:a text:t & <u> end:a "},
        {L"<a k=\"&quot;q&quot;\"/>", "start:a[k=\"q\"] end:a "},
        {L"<?xml version=\"1.0\"?>\n<a/>", "pi:xml version=\"1.0\" start:a end:a "},
        {L"<!-- a comment -- here --><a/>", "start:a end:a "},
        {L"<a>\n  <b/>\n</a>", "start:a start:b end:b end:a "},
        {L"<a></b>", "start:a ERROR End 'b' Doesn't Match Start 'a'"},
        {L"</a>", "ERROR Unexpected End"},
        {L"<a <b>", "ERROR Unexpected '<'"},
        {L"a>", "ERROR Unexpected '>'"},
        {L"<a x=\"1", "ERROR Unexpected End of File"},
        {L"<a>text", "start:a ERROR Unexpected End of File"},
        {L"<a>\x01</a>", "start:a ERROR Illegal Character"},
        {L"<a k=\"\x01\"/>", "start:a[k=\x01] end:a "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Walk(c.xml), c.expected) << std::string(c.xml, c.xml + std::wcslen(c.xml));
}

TEST(XmlReader, SectionsLinesAndIllegalInput)
{
    XmlReader reader(L"<r>\n<s>\n<i/>\n</s></r>", "f.xml");
    XmlReaderNode node;
    ASSERT_TRUE(reader.NextElement(node));
    ASSERT_TRUE(reader.NextElement(node));
    ASSERT_TRUE(reader.NextElement(node));
    EXPECT_EQ(node.value, L"i");
    EXPECT_EQ(node.section, L"r/s");
    EXPECT_EQ(reader.GetCurrentLineNum(), 3);
    ASSERT_TRUE(reader.NextElement(node));
    EXPECT_EQ(node.kind, XmlReaderNode::EndElement);
    EXPECT_EQ(reader.GetCurrentLineNum(), 3) << "the pushed-back end element adds no line";

    EXPECT_EQ(Walk(L"<a>bc</a>", {4}), "start:a ERROR Illegal Character");
}

} // namespace
