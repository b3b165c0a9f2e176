#include "framework/core/FileSystemPath.h"

#include <strings.h>
#include <dirent.h>
#include <sys/stat.h>

namespace Fw {
namespace {

bool Exists(const std::string& path)
{
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

// The entry of folder whose name equals part ignoring ASCII case, or empty.
std::string MatchNoCase(const std::string& folder, const std::string& part)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return {};
    std::string found;
    while (const dirent* e = ::readdir(dir)) {
        if (::strcasecmp(e->d_name, part.c_str()) == 0) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

} // namespace

std::string ToFileSystemPath(std::string_view name)
{
    std::string path(name);
    for (char& c : path)
        if (c == '\\')
            c = '/';
    if (path.empty() || Exists(path))
        return path;

    // Walk the parts; once one matches nothing the rest is kept as written.
    std::string out = path[0] == '/' ? "/" : "";
    size_t pos = path[0] == '/' ? 1 : 0;
    bool matching = true;
    while (pos <= path.size()) {
        size_t end = path.find('/', pos);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(pos, end - pos);
        if (matching && !part.empty() && part != "." && part != "..") {
            const std::string exact = out + part;
            if (!Exists(exact)) {
                const std::string other = MatchNoCase(out.empty() ? std::string() : out, part);
                if (other.empty())
                    matching = false;
                else
                    part = other;
            }
        }
        out += part;
        if (end < path.size())
            out += '/';
        pos = end + 1;
    }
    return out;
}

} // namespace Fw
