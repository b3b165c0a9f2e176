#include "framework/core/Format.h"

#include "framework/core/StringUtils.h"
#include "platform/DebugOutput.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cwchar>
#include <vector>

namespace Fw {
namespace {

constexpr int kStackChars = 160;
constexpr size_t kLargestBuffer = 1310720; // 160 doubled 13 times

// One formatting loop for both widths. format(buffer, size, args) behaves like vsnprintf or
// vswprintf: the length of the full text, or -1 when it did not fit (vswprintf) or failed.
template <class Char, class Fn>
std::basic_string<Char> FormatGrowing(Fn format, va_list args)
{
    Char stackBuffer[kStackChars];
    va_list copy;
    va_copy(copy, args);
    errno = 0;
    int n = format(stackBuffer, kStackChars, copy);
    va_end(copy);
    if (n >= 0 && n < kStackChars)
        return std::basic_string<Char>(stackBuffer, size_t(n));
    if (n < 0 && errno == EILSEQ)
        return {}; // an argument cannot be converted: a bigger buffer will not help

    std::vector<Char> heap;
    size_t size = kStackChars;
    while (size < kLargestBuffer) {
        // vsnprintf tells the exact length; vswprintf only says "too small", so double.
        size = (n > 0 && size_t(n) < kLargestBuffer) ? std::max(size * 2, size_t(n) + 1) : size * 2;
        if (size > kLargestBuffer)
            size = kLargestBuffer;
        heap.assign(size + 2, Char(0)); // the last one stays 0 whatever the formatter leaves
        va_copy(copy, args);
        errno = 0;
        n = format(heap.data(), size + 1, copy);
        va_end(copy);
        if (n >= 0 && size_t(n) <= size)
            return std::basic_string<Char>(heap.data(), size_t(n));
        if (n < 0 && errno == EILSEQ)
            return {};
    }
    // Longer than the largest buffer: keep what fitted.
    return std::basic_string<Char>(heap.data());
}

} // namespace

std::string VFormat(const char* format, va_list args)
{
    if (!format)
        return {};
    return FormatGrowing<char>(
        [format](char* buffer, size_t size, va_list a) { return std::vsnprintf(buffer, size, format, a); }, args);
}

std::wstring VFormatW(const wchar_t* format, va_list args)
{
    if (!format)
        return {};
    return FormatGrowing<wchar_t>(
        [format](wchar_t* buffer, size_t size, va_list a) { return std::vswprintf(buffer, size, format, a); },
        args);
}

std::string FormatString(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string s = VFormat(format, args);
    va_end(args);
    return s;
}

std::wstring FormatWString(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    std::wstring s = VFormatW(format, args);
    va_end(args);
    return s;
}

void OutputDebugFormatW(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    const std::wstring s = VFormatW(format, args);
    va_end(args);
    Platform::OutputDebugText(WStringToString(s));
}

} // namespace Fw
