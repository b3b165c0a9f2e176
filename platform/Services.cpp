// The one place that picks each service's implementation: the Linux one unless a test installed
// another through its Set function. (The clock has its own selector in Clock.cpp.)
#include "platform/RegistryStore.h"
#include "platform/UserFolders.h"
#include "platform/linux/FileRegistryStore.h"
#include "platform/linux/XdgUserFolders.h"

#include <atomic>
#include <cstdlib>

namespace Platform {
namespace {

std::atomic<UserFolders*> gUserFolders{nullptr};
std::atomic<RegistryStore*> gRegistryStore{nullptr};

XdgUserFolders& RealUserFolders()
{
    static XdgUserFolders folders;
    return folders;
}

FileRegistryStore& RealRegistryStore()
{
    static FileRegistryStore store(DefaultRegistryFilePath());
    return store;
}

} // namespace

UserFolders& GetUserFolders()
{
    UserFolders* f = gUserFolders.load(std::memory_order_acquire);
    return f ? *f : RealUserFolders();
}

UserFolders* SetUserFolders(UserFolders* folders)
{
    return gUserFolders.exchange(folders == &RealUserFolders() ? nullptr : folders, std::memory_order_acq_rel);
}

std::string DefaultRegistryFilePath()
{
    if (const char* file = std::getenv("FW_REGISTRY_FILE"); file && *file)
        return file;
    return GetUserFolders().ConfigFolder() + "/casual-engine/registry.txt";
}

RegistryStore& GetRegistryStore()
{
    RegistryStore* s = gRegistryStore.load(std::memory_order_acquire);
    return s ? *s : RealRegistryStore();
}

RegistryStore* SetRegistryStore(RegistryStore* store)
{
    return gRegistryStore.exchange(store, std::memory_order_acq_rel);
}

} // namespace Platform
