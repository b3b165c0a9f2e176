// Name normalisation of the archive layer and its bridge to the case-sensitive file system.
#include "framework/assets/PakPath.h"

#include <unistd.h>

#include <vector>

namespace Pak {
namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool SameLetterIgnoringCase(char a, char b)
{
    return ToUpperAscii(a) == ToUpperAscii(b) || (IsSeparator(a) && IsSeparator(b));
}

std::string CurrentFolder()
{
    std::vector<char> buffer(4096);
    if (!getcwd(buffer.data(), buffer.size()))
        return {};
    return buffer.data();
}

// The part of an absolute name behind the current folder, or name itself when it lies elsewhere.
std::string_view StripCurrentFolder(std::string_view name)
{
    if (name.empty() || !IsSeparator(name[0]))
        return name;
    std::string prefix = CurrentFolder();
    if (prefix.empty())
        return name;
    if (!IsSeparator(prefix.back()))
        prefix += '/';
    if (name.size() < prefix.size())
        return name;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (!SameLetterIgnoringCase(name[i], prefix[i]))
            return name;
    return name.substr(prefix.size());
}

} // namespace

std::string NormalizePakPath(std::string_view name)
{
    const std::string_view rest = StripCurrentFolder(name);
    std::string out;
    out.reserve(rest.size());
    bool afterSeparator = false;
    for (size_t i = 0; i < rest.size(); ++i) {
        const char c = rest[i];
        if (IsSeparator(c)) {
            if (!afterSeparator)
                out += '\\';
            afterSeparator = true;
        } else if (c == '.' && afterSeparator && i + 1 < rest.size() && rest[i + 1] == '.') {
            // Drop the trailing '\' and the component before it; a leading '\' always stays.
            if (out.size() >= 2) {
                out.pop_back();
                const size_t previous = out.rfind('\\');
                out.resize(previous == std::string::npos ? 0 : previous + 1);
            }
            ++i;
        } else {
            out += ToUpperAscii(c);
            afterSeparator = false;
        }
    }
    return out;
}

bool MatchesWildcard(std::string_view pattern, std::string_view name)
{
    if (pattern == "*.*")
        pattern = "*";
    // Greedy match with one back-tracking point: the last '*' seen.
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || ToUpperAscii(pattern[p]) == ToUpperAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace Pak
