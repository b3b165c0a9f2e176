// What the fonts need from the application to load glyph images: the shared image of a file,
// loaded once per (path, variant) and handed out by reference. The application implements it;
// tests use a small one over the image reader.
#pragma once
#include "framework/graphics/SharedImageRef.h"

#include <cstdint>
#include <string>

namespace Fw {

class SharedImageSource {
public:
    // The shared image of path (any letter case) and variant; an empty reference when it cannot be
    // loaded. isNew tells whether this call created the entry. A new image made from an alpha file
    // alone takes alphaComposeColor as its colour. Any thread.
    virtual SharedImageRef AcquireSharedImage(const std::string& path, const std::string& variant, bool* isNew,
                                              uint32_t alphaComposeColor = 0xFFFFFF) = 0;

protected:
    ~SharedImageSource() = default;
};

} // namespace Fw
