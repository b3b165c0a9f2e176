// The script image cache: groups of loaded catalogue images.
#include "engine/core/ImageCache.h"

#include "engine/core/TextureCatalogue.h"

void VTImageCache::Push(std::string_view group, std::string_view id)
{
    VTImageRef handle = catalogue_.GetImage(id, true);
    handle.Load();       // outside the cache's lock: the first load reads the file
    VTImageRef replaced; // an entry already there; its load goes after the lock is left
    {
        std::lock_guard lock(mutex_);
        VTImageRef& slot = groups_[std::string(group)][std::string(id)];
        replaced = std::move(slot);
        slot = std::move(handle);
    }
}

void VTImageCache::Pop(std::string_view group, std::string_view id)
{
    VTImageRef removed;
    {
        std::lock_guard lock(mutex_);
        auto groupIt = groups_.find(group);
        if (groupIt == groups_.end())
            return;
        auto it = groupIt->second.find(id);
        if (it == groupIt->second.end())
            return;
        removed = std::move(it->second);
        groupIt->second.erase(it);
    }
    removed.Release();
}

void VTImageCache::Reset(std::string_view group)
{
    std::map<std::string, VTImageRef, std::less<>> removed;
    {
        std::lock_guard lock(mutex_);
        auto groupIt = groups_.find(group);
        if (groupIt == groups_.end())
            return;
        removed.swap(groupIt->second);
    }
    // The handles release their loads as removed goes.
}

void VTImageCache::ResetAll()
{
    std::map<std::string, std::map<std::string, VTImageRef, std::less<>>, std::less<>> removed;
    {
        std::lock_guard lock(mutex_);
        for (auto& [name, entries] : groups_)
            removed[name].swap(entries);
    }
}

size_t VTImageCache::EntryCount(std::string_view group) const
{
    std::lock_guard lock(mutex_);
    auto groupIt = groups_.find(group);
    return groupIt == groups_.end() ? 0 : groupIt->second.size();
}
