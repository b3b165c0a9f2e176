#include "platform/linux/XdgUserFolders.h"

#include <cstdlib>

#include <pwd.h>
#include <unistd.h>

namespace Platform {
namespace {

std::string HomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        return pw->pw_dir;
    return ".";
}

std::string WithoutTrailingSlash(std::string s)
{
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

std::string XdgFolder(const char* variable, const char* homeRelative)
{
    if (const char* v = std::getenv(variable); v && v[0] == '/')
        return WithoutTrailingSlash(v);
    return WithoutTrailingSlash(HomeFolder()) + "/" + homeRelative;
}

} // namespace

std::string XdgUserFolders::AppDataFolder()
{
    return XdgFolder("XDG_DATA_HOME", ".local/share");
}

std::string XdgUserFolders::ConfigFolder()
{
    return XdgFolder("XDG_CONFIG_HOME", ".config");
}

} // namespace Platform
