#include "framework/assets/DescParser.h"

#include "support/FontFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Fw::DataElement;
using Fw::ListDataElement;
using Fw::SingleDataElement;

// Tokens joined by '|', lists in parentheses: "(a b)x" -> "(a|b)|x".
std::wstring Show(const ListDataElement& list)
{
    std::wstring out;
    for (const auto& child : list.children) {
        if (!out.empty())
            out += L'|';
        if (child->isList)
            out += L"(" + Show(static_cast<const ListDataElement&>(*child)) + L")";
        else
            out += static_cast<const SingleDataElement&>(*child).value;
    }
    return out;
}

// Records every command with the line it began on; a command named "fail" fails.
class RecordingParser : public Fw::DescParser {
public:
    bool HandleCommand(ListDataElement& command) override
    {
        commands.push_back(Show(command));
        lines.push_back(currentLineNum);
        texts.push_back(currentLine);
        return Show(command).rfind(L"fail", 0) != 0;
    }
    std::vector<std::wstring> commands, texts;
    std::vector<int> lines;
};

struct TokenCase {
    const wchar_t* text;
    const wchar_t* expected; // the tokens, or the error message
    bool ok;
};
constexpr TokenCase kTokenCases[] = {
    {L"(a b)x", L"(a|b)|x", true},
    {L"a,b\tc\n  d,,", L"a|b|c|d", true},
    {L"((a) b (c (d)))", L"((a)|b|(c|(d)))", true},
    {L"(a b)(c)", L"(a|b)|(c)", true},
    {L"'x y, (z)' w", L"'x y, (z)'|w", true},
    {L"\"a 'b' c\"", L"\"a 'b' c\"", true},
    {L"a\\ b \\(c\\)", L"a b|(c)", true},
    {L"'it\\'s'", L"'it's'", true},
    {L"x\\", L"x", true},
    {L"a(b)", L"Unexpected List Start", false},
    {L"a)", L"Unexpected List End", false},
    {L"(a", L"Unterminated List", false},
    {L"(a 'b)", L"Unterminated Single Quotes", false},
    {L"\"ab", L"Unterminated Double Quotes", false},
};

TEST(DescParserTokenizer, Table)
{
    for (const auto& c : kTokenCases) {
        RecordingParser parser;
        ListDataElement list;
        const bool ok = parser.ParseList(c.text, list, false);
        EXPECT_EQ(ok, c.ok) << c.text;
        EXPECT_EQ(ok ? Show(list) : parser.error, c.expected) << c.text;
    }
}

TEST(DescParserTokenizer, ParseLineRejectsListAsCommandAndSkipsEmpty)
{
    RecordingParser parser;
    EXPECT_FALSE(parser.ParseLine(L"(a) b"));
    EXPECT_EQ(parser.error, L"Missing Command");
    EXPECT_TRUE(parser.ParseLine(L" , \n"));
    EXPECT_TRUE(parser.commands.empty());
}

class DescParserLoad : public ::testing::Test {
protected:
    // Writes text as a UTF-16LE file and loads it.
    bool Load(const std::wstring& text)
    {
        const std::string bytes = TestSupport::Utf16Le(text);
        folder.Write("desc.txt", bytes);
        return parser.LoadDescriptor("desc.txt");
    }
    TestSupport::ScratchFolder folder;
    RecordingParser parser;
};

TEST_F(DescParserLoad, SemicolonsSplitCommandsUnlessQuoted)
{
    EXPECT_TRUE(Load(L"Define a 1; Define b 2;\r\nDefine c ';' x;\n"));
    EXPECT_EQ(parser.commands, (std::vector<std::wstring>{L"Define|a|1", L"Define|b|2", L"Define|c|';'|x"}));
    EXPECT_EQ(parser.currentLineNum, 0);
    EXPECT_TRUE(parser.currentLine.empty());
}

TEST_F(DescParserLoad, ErrorInMultiLineCommandReportsItsFirstLine)
{
    EXPECT_FALSE(Load(L"ok 1;\n\nfail (a\n  b\n  c);\nnever 2;"));
    ASSERT_EQ(parser.commands.size(), 2u);
    EXPECT_EQ(parser.lines, (std::vector<int>{1, 3}));
    EXPECT_EQ(parser.texts[1], L"fail (a\nb\nc)"); // leading blanks of a line are dropped
    EXPECT_EQ(parser.currentLineNum, 0); // cleared when loading ends, also after a failure
}

TEST_F(DescParserLoad, CommentsOnlyAtTheFirstNonBlankOfALine)
{
    EXPECT_TRUE(Load(L"# a comment; not a command\n   # indented too\nA b#c;\n"));
    EXPECT_EQ(parser.commands, (std::vector<std::wstring>{L"A|b#c"}));
}

TEST_F(DescParserLoad, EscapedQuoteKeepsTheStringOpen)
{
    // The loader keeps the backslash, so the ';' stays inside the quotes; the tokenizer drops it.
    EXPECT_TRUE(Load(L"Cmd 'a\\'b;c' d; e"));
    EXPECT_EQ(parser.commands, (std::vector<std::wstring>{L"Cmd|'a'b;c'|d", L"e"}));
}

TEST_F(DescParserLoad, ByteOrderMarkBecomesPartOfTheFirstName)
{
    EXPECT_TRUE(Load(L"\xFEFF" L"Cmd 1"));
    EXPECT_EQ(parser.commands, (std::vector<std::wstring>{L"\xFEFF" L"Cmd|1"}));
}

TEST_F(DescParserLoad, MissingOrEmptyFiles)
{
    EXPECT_FALSE(parser.LoadDescriptor("no-such-file.txt"));
    EXPECT_TRUE(parser.error.empty());
    EXPECT_TRUE(Load(L""));
    EXPECT_TRUE(Load(L"  \n# only a comment\n\n"));
    EXPECT_TRUE(parser.commands.empty());
}

class DescParserConversions : public ::testing::Test {
protected:
    void SetUp() override
    {
        Define(L"NUM", std::make_unique<SingleDataElement>(L"7"));
        Define(L"STR", std::make_unique<SingleDataElement>(L"'q r'"));
        auto list = std::make_unique<ListDataElement>();
        list->children.push_back(std::make_unique<SingleDataElement>(L"1"));
        list->children.push_back(std::make_unique<SingleDataElement>(L"2"));
        Define(L"PAIR", std::move(list));
    }
    void Define(const std::wstring& name, std::unique_ptr<DataElement> value)
    {
        parser.defineMap[name] = std::move(value);
    }
    // The first element of text tokenized.
    std::unique_ptr<DataElement> Arg(const std::wstring& text)
    {
        ListDataElement list;
        EXPECT_TRUE(parser.ParseList(text, list, false)) << text;
        return std::move(list.children.at(0));
    }
    RecordingParser parser;
};

TEST_F(DescParserConversions, DereferenceResolvesNamesAndUnquotes)
{
    ListDataElement out;
    auto source = Arg(L"(1 -2 +3 'a' \"b\" num (pair))");
    ASSERT_TRUE(parser.Dereference(static_cast<ListDataElement&>(*source), out));
    EXPECT_EQ(Show(out), L"1|-2|+3|a|b|7|((1|2))");

    source = Arg(L"(1 (2 nothing))");
    EXPECT_FALSE(parser.Dereference(static_cast<ListDataElement&>(*source), out));
    EXPECT_EQ(parser.error, L"Unable to Dereference \"nothing\"");
}

TEST_F(DescParserConversions, StringsAndVectors)
{
    std::wstring s;
    EXPECT_TRUE(parser.DataToString(*Arg(L"str"), s));
    EXPECT_EQ(s, L"q r");
    EXPECT_TRUE(parser.DataToString(*Arg(L"'it''s'"), s));
    EXPECT_EQ(s, L"it's");
    EXPECT_TRUE(parser.DataToString(*Arg(L"plain"), s)); // names nothing: the token itself
    EXPECT_EQ(s, L"plain");
    EXPECT_FALSE(parser.DataToString(*Arg(L"pair"), s));
    EXPECT_FALSE(parser.DataToString(*Arg(L"(a)"), s));

    std::vector<int32_t> ints;
    EXPECT_TRUE(parser.DataToIntVector(*Arg(L"PAIR"), ints));
    EXPECT_EQ(ints, (std::vector<int32_t>{1, 2}));
    EXPECT_TRUE(parser.DataToIntVector(*Arg(L"(0x10 -3 num)"), ints));
    EXPECT_EQ(ints, (std::vector<int32_t>{16, -3, 7}));
    EXPECT_FALSE(parser.DataToIntVector(*Arg(L"(1 x2)"), ints));

    std::vector<std::wstring> texts;
    parser.error.clear();
    EXPECT_FALSE(parser.DataToStringVector(*Arg(L"num"), texts)); // a single value: no message
    EXPECT_TRUE(parser.error.empty());
    EXPECT_FALSE(parser.DataToStringVector(*Arg(L"ghost"), texts));
    EXPECT_EQ(parser.error, L"Unable to Dereference \"ghost\"");
    EXPECT_FALSE(parser.DataToStringVector(*Arg(L"(a (b))"), texts)); // nested lists are not strings
    EXPECT_TRUE(texts.empty());

    ListDataElement list;
    EXPECT_TRUE(parser.DataToList(*Arg(L"pair"), list));
    EXPECT_EQ(Show(list), L"1|2");
    EXPECT_FALSE(parser.DataToList(*Arg(L"num"), list));
}

TEST_F(DescParserConversions, Colors)
{
    Fw::Color c;
    ASSERT_TRUE(parser.DataToColor(*Arg(L"(1 0.5 0 1)"), c));
    EXPECT_EQ(c, Fw::Color(255, 127, 0, 255));
    EXPECT_FALSE(parser.DataToColor(*Arg(L"(1 0.5 0)"), c));
    ASSERT_TRUE(parser.DataToColor(*Arg(L"0xFF00FF00"), c));
    EXPECT_EQ(c, Fw::Color(0, 255, 0, 255));
    ASSERT_TRUE(parser.DataToColor(*Arg(L"(2 -1 0 1)"), c)); // not clamped
    EXPECT_EQ(c, Fw::Color(510, -255, 0, 255));
    EXPECT_FALSE(parser.DataToColor(*Arg(L"num"), c)); // a single token is never looked up
}

TEST(DescParserStatics, UnquoteAndIsImmediate)
{
    const std::pair<const wchar_t*, const wchar_t*> unquote[] = {
        {L"'abc'", L"abc"}, {L"'it''s'", L"it's"}, {L"\"a\"\"b\"", L"a\"b"}, {L"abc", L"abc"}, {L"", L""},
    };
    for (const auto& [in, out] : unquote)
        EXPECT_EQ(Fw::DescParser::Unquote(in), out) << in;
    for (const wchar_t* yes : {L"0", L"9x", L"-a", L"+", L"'q", L"\"q"})
        EXPECT_TRUE(Fw::DescParser::IsImmediate(yes)) << yes;
    for (const wchar_t* no : {L"", L"a1", L"_", L".5"})
        EXPECT_FALSE(Fw::DescParser::IsImmediate(no)) << no;
}

} // namespace
