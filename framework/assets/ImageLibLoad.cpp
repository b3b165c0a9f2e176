// LoadImageFile: reader choice by extension, the companion alpha file and the merge; and the size
// limits every reader allocates through.
#include "framework/assets/ImageLib.h"
#include "framework/core/PakFile.h"

#include <algorithm>
#include <strings.h>

namespace ImageLib {
namespace {

struct Reader {
    const char* extension;
    std::unique_ptr<Image> (*read)(const std::string&);
    const char* kind; // for messages
};

// The order in which an extension-less name tries them.
constexpr Reader kReaders[] = {
    {".tga", &ReadTga, "TGA"}, {".jpg", &ReadJpeg, "JPEG"},      {".png", &ReadPng, "PNG"},
    {".gif", &ReadGif, "GIF"}, {".j2k", &ReadJ2k, "JPEG 2000"}, {".jp2", &ReadJ2k, "JPEG 2000"},
};

size_t LastSeparator(const std::string& name)
{
    const size_t back = name.rfind('\\');
    const size_t slash = name.rfind('/');
    if (back == std::string::npos)
        return slash;
    if (slash == std::string::npos)
        return back;
    return std::max(back, slash);
}

// Calls fn(reader, file name) for each file LoadMainImage tries for name, in its order, until fn
// returns true.
template <class Fn>
bool ForEachCandidate(const std::string& name, Fn&& fn)
{
    const size_t separator = LastSeparator(name);
    const size_t dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && (separator == std::string::npos || dot > separator);
    const std::string base = hasExtension ? name.substr(0, dot) : name;
    const std::string extension = hasExtension ? name.substr(dot) : std::string();
    for (const Reader& r : kReaders) {
        if (hasExtension && strcasecmp(extension.c_str(), r.extension) != 0)
            continue;
        if (fn(r, base + r.extension))
            return true;
    }
    return false;
}

std::unique_ptr<Image> LoadMainImage(const std::string& name)
{
    std::unique_ptr<Image> image;
    ForEachCandidate(name, [&](const Reader& r, const std::string& file) { return (image = r.read(file)) != nullptr; });
    return image;
}

std::unique_ptr<Image> LoadAlphaImage(const std::string& name)
{
    const size_t separator = LastSeparator(name);
    const size_t fileStart = separator == std::string::npos ? 0 : separator + 1;
    if (auto alpha = LoadMainImage(name.substr(0, fileStart) + "_" + name.substr(fileStart)))
        return alpha;
    return LoadMainImage(name + "_");
}

} // namespace

std::unique_ptr<Image> CreateImage(uint64_t width, uint64_t height)
{
    if (width == 0 || height == 0 || width > kMaxImageDimension || height > kMaxImageDimension ||
        width * height > kMaxImagePixels)
        return nullptr;
    return std::make_unique<Image>(int(width), int(height));
}

std::string DescribeLoadFailure(const std::string& name)
{
    std::string found, tried;
    ForEachCandidate(name, [&](const Reader& r, const std::string& file) {
        tried += (tried.empty() ? "" : ", ") + file;
        PakFile* handle = PakFOpen(file.c_str(), "rb");
        if (!handle)
            return false;
        char byte = 0;
        const bool empty = PakFRead(&byte, 1, 1, handle) == 0;
        PakFClose(handle);
        if (!found.empty())
            found += "; ";
        found += file + " (" + PakDescribeSource(file.c_str()) + ") ";
        if (empty)
            found += "is empty";
        else if (r.read == &ReadJ2k && !IsJ2kCodecLoaded())
            found += "is not read: JPEG 2000 reading is off";
        else
            found += std::string("does not decode as ") + r.kind;
        return false;
    });
    if (!found.empty())
        return found;
    // Where an absent name was looked for: the archives, then the folder.
    return "none of " + tried + " was found (" + PakDescribeSource(nullptr) + ")";
}

std::unique_ptr<Image> LoadImageFile(const std::string& name, bool lookForAlpha, uint32_t alphaComposeColor)
{
    std::unique_ptr<Image> image = LoadMainImage(name);
    if (!lookForAlpha)
        return image;
    std::unique_ptr<Image> alpha = LoadAlphaImage(name);
    if (!alpha)
        return image;

    const size_t count = alpha->Pixels().size();
    uint32_t* a = alpha->GetBits();
    if (!image) {
        // An alpha file alone: its blue channel over the compose colour.
        const uint32_t colour = alphaComposeColor & 0x00FFFFFF;
        for (size_t i = 0; i < count; ++i)
            a[i] = (a[i] & 0xFF) << 24 | colour;
        return alpha;
    }
    if (image->GetWidth() == alpha->GetWidth() && image->GetHeight() == alpha->GetHeight()) {
        uint32_t* p = image->GetBits();
        for (size_t i = 0; i < count; ++i)
            p[i] = (p[i] & 0x00FFFFFF) | (a[i] & 0xFF) << 24;
    }
    return image;
}

} // namespace ImageLib
