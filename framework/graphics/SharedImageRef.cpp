// Shared-image handles: reference counting on the application's shared-image records.
#include "framework/graphics/SharedImageRef.h"

#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/MemoryImage.h"

namespace Fw {

SharedImageRef::SharedImageRef(const SharedImageRef& other)
    : sharedImage(other.sharedImage), unsharedImage(other.unsharedImage), ownsUnshared(false)
{
    if (sharedImage)
        ++sharedImage->refCount;
}

SharedImageRef::SharedImageRef(SharedImage* record) : sharedImage(record)
{
    if (sharedImage)
        ++sharedImage->refCount;
}

SharedImageRef::~SharedImageRef()
{
    Release();
}

SharedImageRef& SharedImageRef::operator=(const SharedImageRef& other)
{
    // Take the new reference before dropping the old one: on self-assignment (or two handles on
    // one record) the count must never pass through 0.
    SharedImage* record = other.sharedImage;
    if (record)
        ++record->refCount;
    Release();
    sharedImage = record;
    return *this;
}

SharedImageRef& SharedImageRef::operator=(SharedImage* record)
{
    if (record)
        ++record->refCount;
    Release();
    sharedImage = record;
    return *this;
}

void SharedImageRef::Release()
{
    if (ownsUnshared)
        delete unsharedImage;
    ownsUnshared = false;
    unsharedImage = nullptr;
    if (sharedImage) {
        if (--sharedImage->refCount == 0) {
            if (ImageRegistry* app = GetDefaultImageRegistry())
                app->RequestSharedImageCleanUp();
        }
        sharedImage = nullptr;
    }
}

MemoryImage* SharedImageRef::GetSharedImage() const
{
    return sharedImage ? sharedImage->image : nullptr;
}

SharedImageRef::operator MemoryImage*() const
{
    if (unsharedImage)
        return unsharedImage;
    return GetSharedImage();
}

} // namespace Fw
