// Typed readers of XML attributes with the engine's own number parsing: only decimal digits and
// one leading minus sign count, and text that is not a number reads as 0, never as an error.
// Every reader returns false for an absent attribute and then leaves its out value untouched,
// so callers set defaults first and read over them.
#pragma once
#include "platform/XmlDocument.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// What of text a read through a buffer of bufferSize bytes keeps: its longest prefix of at most
// bufferSize - 1 bytes that does not end inside a UTF-8 sequence. Code that compares names it has
// with names read this way cuts its own the same way.
std::string_view XmlCutToBuffer(std::string_view text, size_t bufferSize);
// The attribute's text (UTF-8) in out, cut at a character boundary to at most bufferSize - 1 bytes
// (the room a buffer of bufferSize bytes has besides its terminator).
bool XmlGetAttributeString(const Platform::XmlNode& node, std::string_view name, std::string& out,
                           size_t bufferSize);
// The attribute's text in out, cut to at most bufferSize - 1 characters.
bool XmlGetAttributeWideString(const Platform::XmlNode& node, std::string_view name, std::wstring& out,
                               size_t bufferSize);

// ParseDecimal of the attribute's first 127 bytes.
bool XmlGetAttributeInt(const Platform::XmlNode& node, std::string_view name, int32_t& out);
bool XmlGetAttributeInt32(const Platform::XmlNode& node, std::string_view name, int32_t& out);

// The attribute split at its first '.': integer = ParseDecimal of the part before it; without a
// point fraction = 0 and power = 0; with one, fraction = ParseDecimal of the part after it
// (negated when the text starts with '-') and power = 10 to the number of its digits.
bool XmlGetAttributeDecimalParts(const Platform::XmlNode& node, std::string_view name, int32_t& integer,
                                 int32_t& fraction, uint32_t& power);
// integer + fraction / power from the decimal parts: "2.25" is 2.25, "-0.5" is -0.5, "1.5e3" is 1.5.
bool XmlGetAttributeFloat(const Platform::XmlNode& node, std::string_view name, float& out);
// True when the first 15 characters and "true" are prefixes of one another (so "", "t" and
// "trueish" are true, "TRUE" is not); otherwise the integer reading is not 0.
bool XmlGetAttributeBool(const Platform::XmlNode& node, std::string_view name, bool& out);

// The attribute's first 4095 bytes read as a C integer (leading blanks and a sign allowed); on when
// not 0.
bool XmlGetAttributeFlag(const Platform::XmlNode& node, std::string_view name, bool& out);
// Up to four floats separated by blanks; false when absent or when the text does not start with a
// number (an empty text is true and changes nothing). Floats not present keep their values.
bool XmlGetAttributeColor4(const Platform::XmlNode& node, std::string_view name, std::array<float, 4>& out);
// The attribute's first 4095 bytes.
bool XmlGetAttributeStdString(const Platform::XmlNode& node, std::string_view name, std::string& out);

// Digits after an optional leading '-', up to the first other character; the value and the power
// (10 to the number of digits read, 1 for none) wrap as unsigned 32-bit numbers.
int32_t ParseDecimal(std::string_view text, uint32_t* outPower = nullptr);

// 0 when either text is a prefix of the other (an empty a included); else -1 or 1 by the first
// differing character.
int WidePrefixCompare(std::wstring_view a, std::wstring_view b);
