// Counted handle on an entry of the application's table of shared images (images loaded once by
// file name), or on an unshared image it may own.
#pragma once
#include <cstdint>

namespace Fw {

class MemoryImage;

// An entry of the application's shared-image table: the image (a surface image in practice) and
// the number of handles on it.
struct SharedImage {
    MemoryImage* image = nullptr;
    int32_t refCount = 0;
};

class SharedImageRef {
public:
    SharedImageRef() = default;
    // Shares the other's record and its unshared image, without owning the latter.
    SharedImageRef(const SharedImageRef& other);
    explicit SharedImageRef(SharedImage* record);
    ~SharedImageRef();

    // Shares the other's record; the unshared image is not taken over. Self-assignment is safe.
    SharedImageRef& operator=(const SharedImageRef& other);
    SharedImageRef& operator=(SharedImage* record);

    // Deletes an owned unshared image; drops the record reference and asks the application to
    // clean up when the count reaches 0.
    void Release();

    MemoryImage* GetSharedImage() const;
    // The unshared image when set, else the record's image, else null.
    operator MemoryImage*() const;

    SharedImage* sharedImage = nullptr;
    MemoryImage* unsharedImage = nullptr;
    bool ownsUnshared = false;
};

} // namespace Fw
