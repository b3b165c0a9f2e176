// Pins the loaded OpenGL driver modules through the dynamic loader (RTLD_NODELETE on a module
// that is already loaded).
#include "platform/gl/GlDriverPin.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>
#include <vector>

namespace Platform {

namespace {

bool IsGlDriverModule(const char* path)
{
    return path && (std::strstr(path, "/dri/") || std::strstr(path, "libgallium"));
}

} // namespace

void PinLoadedGlDrivers()
{
    std::vector<std::string> drivers;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* out) {
            if (IsGlDriverModule(info->dlpi_name))
                static_cast<std::vector<std::string>*>(out)->emplace_back(info->dlpi_name);
            return 0;
        },
        &drivers);
    // RTLD_NOLOAD takes a reference only to a module that is loaded; the reference is never given
    // back, and RTLD_NODELETE keeps the module mapped even past a later dlclose to zero.
    for (const std::string& path : drivers)
        dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

} // namespace Platform
