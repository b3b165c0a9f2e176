// The body of the image fuzz targets: the bytes saved under a name of one format's extension and
// loaded through ImageLib::LoadImageFile as a game would; a decoded image stays inside the size
// limits and holds exactly width x height pixels.
#pragma once
#include "FuzzSupport.h"

#include "framework/assets/ImageLib.h"

inline int FuzzImageFile(const char* extension, const uint8_t* data, size_t size)
{
    const std::string name = FuzzSupport::WriteInput(std::string("input") + extension, data, size);
    const auto image = ImageLib::LoadImageFile(name, false);
    if (image) {
        const uint64_t w = uint64_t(image->GetWidth()), h = uint64_t(image->GetHeight());
        FuzzSupport::Check(w >= 1 && h >= 1 && w <= ImageLib::kMaxImageDimension &&
                               h <= ImageLib::kMaxImageDimension && w * h <= ImageLib::kMaxImagePixels,
                           "decoded image inside the size limits");
        FuzzSupport::Check(image->Pixels().size() == w * h, "pixel count matches the size");
    }
    return 0;
}
