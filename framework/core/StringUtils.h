// Narrow and wide string helpers: case, trimming, UTF-8 conversion, number parsing, XML entity
// decoding and thousands separators. Narrow strings are UTF-8; wide strings hold code points or
// UTF-16 units (surrogate pairs are joined when converting to UTF-8).
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace Fw {

// Each character through toupper / towupper (C locale for the narrow form: ASCII letters only).
std::string StringToUpper(std::string_view s);
std::wstring StringToUpper(std::wstring_view s);
// Each character through tolower / towlower.
std::string StringToLower(std::string_view s);
std::wstring StringToLower(std::wstring_view s);

// UTF-8 to wide. A byte that does not start a valid UTF-8 sequence is widened as it stands
// (Latin-1), so no input is lost or rejected.
std::wstring StringToWString(std::string_view s);
inline std::wstring ToWString(std::string_view s) { return StringToWString(s); }
// Wide to UTF-8. A surrogate pair becomes one code point; a lone surrogate or a value beyond
// U+10FFFF becomes '?', so one bad character never costs the rest of the text.
std::string WStringToString(std::wstring_view s);
inline std::string ToString(std::wstring_view s) { return WStringToString(s); }
inline std::wstring CopyWString(const std::wstring& s) { return s; }

// s without leading and trailing whitespace (isspace in the C locale).
std::string Trim(std::string_view s);

// Index of the first occurrence of needle in haystack ignoring ASCII case; -1 when there is none
// or haystack is empty. An empty needle is found at 0 in a non-empty haystack.
int StrFindNoCase(const char* haystack, const char* needle);

// Decimal integer with an optional leading '-'; "0x"/"0X" at index 1 (counting the '-') switches to
// hexadecimal. Anything else fails: out = 0, false. A lone '-' gives 0 and succeeds.
bool StringToInt(std::wstring_view text, int& out);
// Optional '-', digits, optional '.' and digits. No exponent, no '+'. Failure: out = 0, false.
bool StringToDouble(std::wstring_view text, double& out);

// Replaces &lt; &amp; &gt; &quot; &apos; &nbsp; (space) and &cr; (line feed), case-sensitively; an
// unknown entity becomes a single '&'; an '&' with no ';' after it stays.
std::wstring DecodeXmlEntities(std::wstring_view text);

// Decimal digits with ',' between groups of three ("1,234,567"); a negative number keeps its '-'.
std::wstring FormatWithCommas(int n);

} // namespace Fw
