// The one place that picks each service's implementation: the Linux one unless a test installed
// another through its Set function. (The clock has its own selector in Clock.cpp.)
#include "platform/RegistryStore.h"
#include "platform/UserFolders.h"
#include "platform/linux/FileRegistryStore.h"
#include "platform/linux/XdgUserFolders.h"

#include "platform/ServiceSlot.h"

#include <cstdlib>

namespace Platform {
namespace {

ServiceSlot<UserFolders> gUserFolders;
ServiceSlot<RegistryStore> gRegistryStore;

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
    return gUserFolders.Get(RealUserFolders());
}

UserFolders* SetUserFolders(UserFolders* folders)
{
    return gUserFolders.Exchange(folders, &RealUserFolders());
}

std::string DefaultRegistryFilePath()
{
    if (const char* file = std::getenv("FW_REGISTRY_FILE"); file && *file)
        return file;
    return GetUserFolders().ConfigFolder() + "/casual-engine/registry.txt";
}

RegistryStore& GetRegistryStore()
{
    return gRegistryStore.Get(RealRegistryStore());
}

RegistryStore* SetRegistryStore(RegistryStore* store)
{
    // Compared by address only: installing must not create the file store (and read the user's file).
    return gRegistryStore.Exchange(store, nullptr);
}

} // namespace Platform
