// The handle through which engine code uses an image descriptor: it points to the descriptor and
// remembers whether it holds one load of it. Held by textures (their frames), cursors, particle
// systems and the image cache. A handle that holds a load releases it when destroyed, so the
// texture catalogue (which owns the descriptors) must outlive every handle that holds a load.
#pragma once
#include "engine/core/ImageDesc.h"

namespace Fw {
class MemoryImage;
}

class VTImageRef {
public:
    VTImageRef() = default;
    // Points to descriptor (may be null) without a load.
    explicit VTImageRef(VTImage::VTImageDesc* descriptor) : descriptor_(descriptor) {}
    // The copy points to the same descriptor but holds no load (its owner loads it later).
    VTImageRef(const VTImageRef& other) : descriptor_(other.descriptor_) {}
    // The new handle takes over the other's descriptor and load; the other is left empty.
    VTImageRef(VTImageRef&& other) noexcept;
    // Takes the other's descriptor; holds a load exactly when the other does (loading it once
    // more), after releasing its own. Assigning a handle to itself changes nothing.
    VTImageRef& operator=(const VTImageRef& other);
    // Releases its own load, then takes over the other's descriptor and load; the other is left empty.
    VTImageRef& operator=(VTImageRef&& other) noexcept;
    ~VTImageRef() { Release(); }

    // Marks the handle loaded and loads the descriptor, unless it holds a load already.
    void Load();
    // Drops the handle's load (if any) and keeps the descriptor.
    void Unload();
    // Drops the handle's load (if any) and forgets the descriptor.
    void Release();
    // Loads the handle if needed; the descriptor's image, or null without a descriptor or when
    // the load failed.
    Fw::MemoryImage* GetImage();

    VTImage::VTImageDesc* Descriptor() const { return descriptor_; }
    bool IsLoaded() const { return loaded_; }

private:
    VTImage::VTImageDesc* descriptor_ = nullptr;
    bool loaded_ = false;
};
