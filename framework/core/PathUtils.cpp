#include "framework/core/PathUtils.h"

#include "framework/core/FileSystemPath.h"
#include "framework/core/OsVersion.h"

#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Fw {
namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

size_t LastSeparator(std::string_view path)
{
    return path.find_last_of("\\/");
}

bool HasDrive(std::string_view path)
{
    return path.size() >= 2 && path[1] == ':';
}

std::vector<std::string> Segments(std::string_view path)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = path.find_first_of("\\/", pos);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > pos)
            out.emplace_back(path.substr(pos, end - pos));
        pos = end + 1;
    }
    return out;
}

bool IsFolder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteTreeAt(const std::string& folder)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return false;
    bool ok = true;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string child = folder + "/" + name;
        struct stat st;
        if (::lstat(child.c_str(), &st) != 0) {
            ok = false;
        } else if (S_ISDIR(st.st_mode)) {
            ok = DeleteTreeAt(child) && ok;
        } else if (::unlink(child.c_str()) != 0) {
            ok = false;
        }
    }
    ::closedir(dir);
    return (::rmdir(folder.c_str()) == 0) && ok;
}

std::string& AppDataFolder()
{
    static std::string folder;
    return folder;
}

} // namespace

std::string GetPathFileName(std::string_view path, bool noExtension)
{
    const size_t sep = LastSeparator(path);
    std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
    if (noExtension) {
        const size_t dot = name.rfind('.');
        if (dot != std::string_view::npos)
            name = name.substr(0, dot);
    }
    return std::string(name);
}

std::string GetPathFolder(std::string_view path, bool withSeparator)
{
    const size_t sep = LastSeparator(path);
    if (sep == std::string_view::npos)
        return {};
    return std::string(path.substr(0, withSeparator ? sep + 1 : sep));
}

std::string RemoveTrailingSlash(std::string_view path)
{
    if (!path.empty() && IsSeparator(path.back()))
        path.remove_suffix(1);
    return std::string(path);
}

std::string AddTrailingSlash(std::string_view path, bool backslash)
{
    std::string out(path);
    if (!out.empty() && !IsSeparator(out.back()))
        out.push_back(backslash ? '\\' : '/');
    return out;
}

std::string ResolveRelativePath(std::string_view path, std::string_view base)
{
    if (HasDrive(path) || (!path.empty() && path[0] == '/'))
        return std::string(path);
    const char sep = (path.find('\\') != std::string_view::npos || base.find('\\') != std::string_view::npos) ? '\\' : '/';

    std::string prefix; // drive and root, put back in front at the end
    if (HasDrive(base)) {
        prefix = std::string(base.substr(0, 2));
        base.remove_prefix(2);
    }
    const bool rooted = !base.empty() && IsSeparator(base[0]);
    if (rooted)
        prefix.push_back(sep);

    std::vector<std::string> result = Segments(base);
    for (std::string& part : Segments(path)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!result.empty() && result.back() != "..")
                result.pop_back();
            else if (!rooted)
                result.push_back(part); // nothing left to remove: keep climbing from the start
            continue;                    // above the root there is nothing: stay at the root
        }
        result.push_back(std::move(part));
    }

    std::string out = prefix;
    for (size_t i = 0; i < result.size(); ++i) {
        if (i > 0)
            out.push_back(sep);
        out += result[i];
    }
    if (!path.empty() && IsSeparator(path.back()) && !result.empty())
        out.push_back(sep);
    return out;
}

bool CreateDirectories(std::string_view path)
{
    const std::string fsPath = ToFileSystemPath(path);
    for (size_t i = 1; i < fsPath.size(); ++i)
        if (fsPath[i] == '/' && fsPath[i - 1] != '/')
            ::mkdir(fsPath.substr(0, i).c_str(), 0777); // an existing folder is not a failure
    if (!fsPath.empty())
        ::mkdir(fsPath.c_str(), 0777);
    return IsFolder(fsPath);
}

bool DeleteTree(std::string_view folder)
{
    if (folder.size() < 2)
        return false;
    std::string fsPath = ToFileSystemPath(folder);
    while (fsPath.size() > 1 && fsPath.back() == '/')
        fsPath.pop_back();
    struct stat st;
    if (::lstat(fsPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return false;
    return DeleteTreeAt(fsPath);
}

void SetAppDataFolder(std::string_view folder)
{
    if (!IsVistaOrLater())
        return;
    const bool backslash = folder.find('\\') != std::string_view::npos;
    AppDataFolder() = AddTrailingSlash(folder, backslash);
}

std::string GetAppDataFolder()
{
    return AppDataFolder();
}

} // namespace Fw
