// printf-style formatting into std::string / std::wstring, and formatted debugger output.
// Texts up to 160 characters format on the stack; longer ones grow a heap buffer by doubling up to
// 1,310,720 characters, beyond which the text is cut. Wide formats take %ls for wide arguments.
#pragma once
#include <cstdarg>
#include <string>

namespace Fw {

std::string VFormat(const char* format, va_list args);
std::wstring VFormatW(const wchar_t* format, va_list args);
std::string FormatString(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::wstring FormatWString(const wchar_t* format, ...);

// Formats wide, converts to UTF-8 and writes the text to the debugger output.
void OutputDebugFormatW(const wchar_t* format, ...);

} // namespace Fw
