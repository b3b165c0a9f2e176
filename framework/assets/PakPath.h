// Names as the archive layer sees them: the key of an archive entry (upper case, '\' separators,
// ".." resolved, the current folder's prefix of an absolute name dropped) and the wildcard match of
// a directory search. Names reach the file system through Fw::ToFileSystemPath.
#pragma once
#include <string>
#include <string_view>

namespace Pak {

// The entry-table key of name: separators runs become one '\', "X\.." components are removed
// (never above the start), letters a-z become A-Z. An absolute name inside the current folder
// loses that folder's prefix first.
std::string NormalizePakPath(std::string_view name);

// Whether name matches a search pattern, letter case ignored: '*' stands for any run of
// characters, '?' for one; "*.*" matches every name.
bool MatchesWildcard(std::string_view pattern, std::string_view name);

// ASCII upper case of c; the keys never depend on the locale.
inline char ToUpperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

} // namespace Pak
