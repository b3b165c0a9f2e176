// Typed attribute readers, the decimal parser and the prefix comparison.
#include "engine/core/XmlAttributes.h"

#include <gtest/gtest.h>

#include <string>

using Platform::XmlDocument;
using Platform::XmlNode;

namespace {

// One element <e v="text"/> with the text escaped for an attribute.
XmlNode ElementWith(std::string_view text)
{
    std::string xml = "<e v=\"";
    for (char c : text)
        xml += c == '"' ? std::string("&quot;") : c == '&' ? std::string("&amp;") : std::string(1, c);
    xml += "\"/>";
    XmlDocument document;
    EXPECT_TRUE(document.LoadBuffer(xml.data(), xml.size(), Platform::XmlTextEncoding::Utf8)) << xml;
    return document.DocumentElement();
}

} // namespace

TEST(ParseDecimal, DigitsAfterAnOptionalLeadingMinus)
{
    struct Case { const char* text; int32_t value; uint32_t power; };
    const Case cases[] = {
        {"-12", -12, 100},  {"12abc", 12, 100},   {"+5", 0, 1},      {" 5", 0, 1},
        {"", 0, 1},         {"--5", 0, 1},        {"5-3", 5, 10},    {"007", 7, 1000},
        {"-", 0, 1},        {"2147483647", 2147483647, 1410065408u},
        {"4294967296", 0, 1410065408u},  // both the value and the power wrap at 2^32
        {"-2147483648", INT32_MIN, 1410065408u},
    };
    for (const Case& c : cases) {
        uint32_t power = 12345;
        EXPECT_EQ(ParseDecimal(c.text, &power), c.value) << '"' << c.text << '"';
        EXPECT_EQ(power, c.power) << '"' << c.text << '"';
    }
}

TEST(XmlAttributeReaders, IntegerFloatAndDecimalParts)
{
    struct Case { const char* text; int32_t integer; float real; };
    const Case cases[] = {
        {"-12", -12, -12.0f}, {"12abc", 12, 12.0f}, {"2.25", 2, 2.25f}, {"-1.5", -1, -1.5f},
        {"-0.5", 0, -0.5f},   {"-0.25", 0, -0.25f}, {"3", 3, 3.0f},     {"1.5e3", 1, 1.5f},
        {".5", 0, 0.5f},      {"abc", 0, 0.0f},     {"", 0, 0.0f},      {"1.", 1, 1.0f},
    };
    for (const Case& c : cases) {
        XmlNode e = ElementWith(c.text);
        int32_t integer = 99;
        float real = 99.0f;
        EXPECT_TRUE(XmlGetAttributeInt(e, "v", integer));
        EXPECT_TRUE(XmlGetAttributeFloat(e, "v", real));
        EXPECT_EQ(integer, c.integer) << '"' << c.text << '"';
        EXPECT_FLOAT_EQ(real, c.real) << '"' << c.text << '"';
    }

    int32_t integer = 0, fraction = 0;
    uint32_t power = 7;
    ASSERT_TRUE(XmlGetAttributeDecimalParts(ElementWith("-1.05"), "v", integer, fraction, power));
    EXPECT_EQ(integer, -1);
    EXPECT_EQ(fraction, -5);
    EXPECT_EQ(power, 100u);
    ASSERT_TRUE(XmlGetAttributeDecimalParts(ElementWith("8"), "v", integer, fraction, power));
    EXPECT_EQ(fraction, 0);
    EXPECT_EQ(power, 0u);
}

TEST(XmlAttributeReaders, BoolIsAPrefixOfTrueOrANonZeroNumber)
{
    struct Case { const char* text; bool value; };
    const Case cases[] = {
        {"true", true},  {"", true},     {"t", true},      {"tru", true},  {"trueish", true},
        {"1", true},     {"-3", true},   {"TRUE", false},  {"True", false}, {"yes", false},
        {"0", false},    {"false", false},
        // Only the first 15 characters are judged: a long text is no longer taken as true.
        {"0000000000000000000000", false}, {"truetruetruetruetrue", true},
    };
    for (const Case& c : cases) {
        bool value = !c.value;
        EXPECT_TRUE(XmlGetAttributeBool(ElementWith(c.text), "v", value)) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
}

TEST(XmlAttributeReaders, AbsentAttributesLeaveValuesUnchanged)
{
    XmlNode e = ElementWith("1");
    int32_t integer = 41;
    float real = 4.5f;
    bool flag = true;
    std::string text = "keep";
    std::wstring wide = L"keep";
    std::array<float, 4> color = {1, 0, 0, 0.5f};
    EXPECT_FALSE(XmlGetAttributeInt(e, "missing", integer));
    EXPECT_FALSE(XmlGetAttributeInt32(e, "missing", integer));
    EXPECT_FALSE(XmlGetAttributeFloat(e, "missing", real));
    EXPECT_FALSE(XmlGetAttributeBool(e, "missing", flag));
    EXPECT_FALSE(XmlGetAttributeFlag(e, "missing", flag));
    EXPECT_FALSE(XmlGetAttributeString(e, "missing", text, 128));
    EXPECT_FALSE(XmlGetAttributeStdString(e, "missing", text));
    EXPECT_FALSE(XmlGetAttributeWideString(e, "missing", wide, 128));
    EXPECT_FALSE(XmlGetAttributeColor4(e, "missing", color));
    EXPECT_FALSE(XmlGetAttributeInt(XmlNode(), "v", integer));
    EXPECT_EQ(integer, 41);
    EXPECT_EQ(real, 4.5f);
    EXPECT_TRUE(flag);
    EXPECT_EQ(text, "keep");
    EXPECT_EQ(wide, L"keep");
    EXPECT_EQ(color, (std::array<float, 4>{1, 0, 0, 0.5f}));
}

TEST(XmlAttributeReaders, LongTextsAreCutAtACharacterBoundary)
{
    // Six letters and a two-byte character: a buffer of 8 bytes has room for 7, which would split it.
    XmlNode e = ElementWith("abcdef\xC3\xA9g");
    std::string text;
    ASSERT_TRUE(XmlGetAttributeString(e, "v", text, 8));
    EXPECT_EQ(text, "abcdef");
    ASSERT_TRUE(XmlGetAttributeString(e, "v", text, 9));
    EXPECT_EQ(text, "abcdef\xC3\xA9");
    ASSERT_TRUE(XmlGetAttributeString(e, "v", text, 0));
    EXPECT_EQ(text, "");

    std::wstring wide;
    ASSERT_TRUE(XmlGetAttributeWideString(e, "v", wide, 8));
    EXPECT_EQ(wide, L"abcdef\u00E9");
    ASSERT_TRUE(XmlGetAttributeWideString(e, "v", wide, 100));
    EXPECT_EQ(wide, L"abcdef\u00E9g");
}

TEST(XmlAttributeReaders, DebugFlagsColoursAndStrings)
{
    struct FlagCase { const char* text; bool value; };
    for (const FlagCase& c : {FlagCase{"1", true}, FlagCase{"0", false}, FlagCase{"abc", false},
                              FlagCase{" 2", true}, FlagCase{"-1", true}, FlagCase{"", false},
                              FlagCase{"99999999999999999999", true}}) {
        bool value = !c.value;
        EXPECT_TRUE(XmlGetAttributeFlag(ElementWith(c.text), "v", value)) << '"' << c.text << '"';
        EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }

    std::array<float, 4> color = {9, 9, 9, 9};
    EXPECT_TRUE(XmlGetAttributeColor4(ElementWith("0.5 0.25 1 0"), "v", color));
    EXPECT_EQ(color, (std::array<float, 4>{0.5f, 0.25f, 1, 0}));
    EXPECT_TRUE(XmlGetAttributeColor4(ElementWith("3 4"), "v", color));
    EXPECT_EQ(color, (std::array<float, 4>{3, 4, 1, 0}));
    EXPECT_TRUE(XmlGetAttributeColor4(ElementWith(""), "v", color));
    EXPECT_EQ(color, (std::array<float, 4>{3, 4, 1, 0}));
    EXPECT_FALSE(XmlGetAttributeColor4(ElementWith("red"), "v", color));

    std::string text;
    const std::string longText(5000, 'x');
    ASSERT_TRUE(XmlGetAttributeStdString(ElementWith(longText), "v", text));
    EXPECT_EQ(text.size(), 4095u);
}

TEST(WidePrefixCompare, ZeroWheneverOneIsAPrefixOfTheOther)
{
    struct Case { const wchar_t* a; const wchar_t* b; int result; };
    const Case cases[] = {
        {L"", L"true", 0},   {L"tr", L"true", 0}, {L"trueish", L"true", 0}, {L"true", L"", 0},
        {L"TRUE", L"true", -1}, {L"x", L"true", 1}, {L"tz", L"true", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WidePrefixCompare(c.a, c.b), c.result) << "a=" << testing::PrintToString(std::wstring(c.a));
}
