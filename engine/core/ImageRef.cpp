// Image handles: the load each handle holds, kept exact through copies, moves and assignments.
#include "engine/core/ImageRef.h"

#include <utility>

VTImageRef::VTImageRef(VTImageRef&& other) noexcept
    : descriptor_(std::exchange(other.descriptor_, nullptr)), loaded_(std::exchange(other.loaded_, false))
{
}

VTImageRef& VTImageRef::operator=(const VTImageRef& other)
{
    if (this == &other)
        return *this;
    // The new load is taken before the old one is dropped, so an image both handles share is not
    // deleted and made again in between.
    VTImage::VTImageDesc* const descriptor = other.descriptor_;
    const bool loaded = other.loaded_;
    if (loaded && descriptor)
        descriptor->Load();
    Release();
    descriptor_ = descriptor;
    loaded_ = loaded;
    return *this;
}

VTImageRef& VTImageRef::operator=(VTImageRef&& other) noexcept
{
    if (this == &other)
        return *this;
    Release();
    descriptor_ = std::exchange(other.descriptor_, nullptr);
    loaded_ = std::exchange(other.loaded_, false);
    return *this;
}

void VTImageRef::Load()
{
    if (loaded_)
        return;
    loaded_ = true;
    if (descriptor_)
        descriptor_->Load();
}

void VTImageRef::Unload()
{
    if (!loaded_)
        return;
    loaded_ = false;
    if (descriptor_)
        descriptor_->Unload();
}

void VTImageRef::Release()
{
    Unload();
    descriptor_ = nullptr;
}

Fw::MemoryImage* VTImageRef::GetImage()
{
    Load();
    return descriptor_ ? descriptor_->Image() : nullptr;
}
