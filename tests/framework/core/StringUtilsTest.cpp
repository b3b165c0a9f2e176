#include "framework/core/StringUtils.h"

#include <gtest/gtest.h>

namespace {

TEST(StringUtils, StringToInt)
{
    struct Case { const wchar_t* text; bool ok; int value; };
    const Case cases[] = {
        {L"", false, 0},     {L"0", true, 0},       {L"123", true, 123},   {L"-12", true, -12},
        {L"0x", true, 0},    {L"0x1F", true, 31},   {L"0X1f", true, 31},   {L"x1F", false, 0},
        {L"-0x10", false, 0}, {L"5x1", false, 0},   {L"12a", false, 0},    {L"1 2", false, 0},
        {L"-", true, 0},     {L"+1", false, 0},     {L"0xFFFFFFFF", true, -1}, {L"0x0x1", false, 0},
        {L"2147483647", true, 2147483647},
    };
    for (const auto& c : cases) {
        int out = 777;
        EXPECT_EQ(Fw::StringToInt(c.text, out), c.ok) << Fw::ToString(c.text);
        EXPECT_EQ(out, c.value) << Fw::ToString(c.text);
    }
}

TEST(StringUtils, StringToDouble)
{
    struct Case { const wchar_t* text; bool ok; double value; };
    const Case cases[] = {
        {L"", false, 0},  {L"3.25", true, 3.25}, {L"-0.5", true, -0.5}, {L"1e3", false, 0},
        {L".", true, 0},  {L"+1", false, 0},     {L"12", true, 12},     {L"1.2.3", false, 0},
        {L"-", true, 0},  {L"0.125", true, 0.125},
    };
    for (const auto& c : cases) {
        double out = 777;
        EXPECT_EQ(Fw::StringToDouble(c.text, out), c.ok) << Fw::ToString(c.text);
        EXPECT_DOUBLE_EQ(out, c.value) << Fw::ToString(c.text);
    }
}

TEST(StringUtils, DecodeXmlEntities)
{
    struct Case { const wchar_t* in; const wchar_t* out; };
    const Case cases[] = {
        {L"a&lt;b", L"a<b"},
        {L"&abc;x", L"&x"},             // unknown: a single '&'
        {L"a & b", L"a & b"},           // no ';' anywhere after
        {L"&cr;", L"\n"},
        {L"&LT;", L"&"},                // names are case-sensitive
        {L"&amp;&gt;&quot;&apos;&nbsp;", L"&>\"' "},
        {L"&amp;lt;", L"&lt;"},         // decoded once, not again
        {L"&;", L"&"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fw::DecodeXmlEntities(c.in), c.out) << Fw::ToString(c.in);
}

TEST(StringUtils, FormatWithCommas)
{
    struct Case { int n; const wchar_t* text; };
    const Case cases[] = {{0, L"0"},           {999, L"999"},          {1000, L"1,000"},
                          {12345, L"12,345"},  {1000000, L"1,000,000"}, {2147483647, L"2,147,483,647"},
                          {-1234, L"-1,234"},  {-2147483647 - 1, L"-2,147,483,648"}};
    for (const auto& c : cases)
        EXPECT_EQ(Fw::FormatWithCommas(c.n), c.text) << c.n;
}

TEST(StringUtils, Utf8ConversionBothWays)
{
    const std::wstring wide = L"A\u00e9\u20ac\U0001F600";
    const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    EXPECT_EQ(Fw::WStringToString(wide), utf8);
    EXPECT_EQ(Fw::StringToWString(utf8), wide);
    // UTF-16 units read from a file: a surrogate pair is one character.
    EXPECT_EQ(Fw::WStringToString(std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}), "\xF0\x9F\x98\x80");
    // One unconvertible character costs only itself.
    EXPECT_EQ(Fw::WStringToString(std::wstring{L'a', wchar_t(0xDC00), L'b', wchar_t(0x110000), L'c'}), "a?b?c");
    // Bytes that are not UTF-8 widen as they stand instead of failing.
    EXPECT_EQ(Fw::StringToWString("caf\xE9!"), L"caf\u00e9!");
    EXPECT_EQ(Fw::StringToWString("\xC0\xAF"), std::wstring({wchar_t(0xC0), wchar_t(0xAF)})); // overlong '/'
    EXPECT_EQ(Fw::StringToWString("\xE2\x82"), std::wstring({wchar_t(0xE2), wchar_t(0x82)}));  // cut short
}

TEST(StringUtils, CaseTrimAndSearch)
{
    EXPECT_EQ(Fw::StringToUpper(std::string("abZ9-")), "ABZ9-");
    EXPECT_EQ(Fw::StringToUpper(std::wstring(L"abc")), L"ABC");
    EXPECT_EQ(Fw::Trim(" \t\r\nab c \n"), "ab c");
    EXPECT_EQ(Fw::Trim(" \t "), "");
    EXPECT_EQ(Fw::StrFindNoCase("Hello World", "WORLD"), 6);
    EXPECT_EQ(Fw::StrFindNoCase("Hello", "lo!"), -1);
    EXPECT_EQ(Fw::StrFindNoCase("Hello", ""), 0);
    EXPECT_EQ(Fw::StrFindNoCase("", ""), -1);
    EXPECT_EQ(Fw::StrFindNoCase("aaab", "AAB"), 1);
}

} // namespace
