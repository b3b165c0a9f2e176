// The engine's texture catalogue: texture id (or raw image path) to image descriptor. Filled from
// the "texture" elements of "cfg\ui.xml" in the loading step and extended on demand with paths.
// Owned by the engine object (one per engine), which keeps it alive longer than every texture,
// cursor and cache entry holding a load. Locked: scripts add paths from worker threads.
#pragma once
#include "engine/core/ImageDesc.h"
#include "engine/core/ImageRef.h"
#include "platform/XmlDocument.h"

#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

class VTTextureCatalogue {
public:
    // Descriptors load their images through services. The constructing thread is the one whose
    // image loads the profiler times (the main thread).
    explicit VTTextureCatalogue(VTImageServices& services);
    ~VTTextureCatalogue();
    VTTextureCatalogue(const VTTextureCatalogue&) = delete;
    VTTextureCatalogue& operator=(const VTTextureCatalogue&) = delete;

    // Enters every "texture" child of node ("id" -> "file") whose file opens for reading through the
    // archive layer; a missing ".png" is tried as ".jpg". An id already present keeps its first
    // entry; elements whose file opens under neither name are skipped. Loads no image.
    void LoadFromXml(const Platform::XmlNode& node);
    // A handle (without a load) to the entry name. When there is none: with create, a new entry
    // whose path is the name; without, an empty handle.
    VTImageRef GetImage(std::string_view name, bool create);

    size_t Size() const;

private:
    VTImageServices& services_;
    const std::thread::id ownerThread_;
    mutable std::mutex mutex_; // guards entries_ (the descriptors have their own locks)
    std::map<std::string, VTImage::VTImageDesc, std::less<>> entries_;
};
