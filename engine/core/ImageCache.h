// Named groups of images that scripts keep loaded between screens (the engine object's
// ImgCachePush, ImgCachePop and ImgCacheReset). Each entry holds one load. Owned by the engine
// object (so every engine, and every test, starts with an empty cache), which empties it before
// its texture catalogue goes. Locked: script calls come from several threads.
#pragma once
#include "engine/core/ImageRef.h"

#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

class VTTextureCatalogue;

class VTImageCache {
public:
    explicit VTImageCache(VTTextureCatalogue& catalogue) : catalogue_(catalogue) {}
    ~VTImageCache() { ResetAll(); }
    VTImageCache(const VTImageCache&) = delete;
    VTImageCache& operator=(const VTImageCache&) = delete;

    // Loads the catalogue's image id (entered when missing) and keeps it under group; an entry
    // already there is replaced, so the entry keeps exactly one load.
    void Push(std::string_view group, std::string_view id);
    // Releases the entry's load and removes it; nothing when absent.
    void Pop(std::string_view group, std::string_view id);
    // Releases and removes every entry of group (the group stays, empty).
    void Reset(std::string_view group);
    // Reset of every group (engine shutdown).
    void ResetAll();

    size_t EntryCount(std::string_view group) const;

private:
    VTTextureCatalogue& catalogue_;
    mutable std::mutex mutex_;
    std::map<std::string, std::map<std::string, VTImageRef, std::less<>>, std::less<>> groups_;
};
