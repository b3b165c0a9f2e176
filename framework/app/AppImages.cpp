// Application services for images: loading from files, the table of shared images loaded once by
// name, and copies of images. Images live on the display when it makes surfaces.
#include "framework/assets/ImageLib.h"
#include "framework/app/AppBase.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/SurfaceDisplay.h"


namespace Fw {

std::string StripPngExtension(const std::string& name)
{
    // The loader then tries every format it knows under that name.
    if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
        return name.substr(0, name.size() - 4);
    return name;
}

MemoryImage* AppBase::NewDisplayImage()
{
    if (auto* surfaces = dynamic_cast<SurfaceDisplay*>(display.get()))
        return new DDImage(surfaces);
    return new MemoryImage();
}

MemoryImage* AppBase::CreateImageFromFile(const std::string& name, bool commitBits, uint32_t alphaComposeColor)
{
    std::unique_ptr<ImageLib::Image> loaded = ImageLib::LoadImageFile(StripPngExtension(name), true, alphaComposeColor);
    if (!loaded)
        return nullptr;
    MemoryImage* image = NewDisplayImage();
    image->filePath = name;
    image->SetBits(loaded->GetBits(), loaded->GetWidth(), loaded->GetHeight(), commitBits);
    return image;
}

SharedImageRef AppBase::AcquireSharedImage(const std::string& path, const std::string& variant, bool* isNew,
                                           uint32_t alphaComposeColor)
{
    const std::pair<std::string, std::string> key(StringToUpper(path), StringToUpper(variant));
    SharedImageRef ref;
    bool inserted = false;
    WithDisplayLock([&] {
        auto [it, added] = sharedImages.try_emplace(key);
        inserted = added;
        ref = &it->second;
    });
    if (isNew)
        *isNew = inserted;
    if (inserted) {
        // Loaded outside the lock: the loading thread may be reading a large file meanwhile.
        MemoryImage* image = (!path.empty() && path[0] == '!') ? NewDisplayImage()
                                                                : CreateImageFromFile(path, false, alphaComposeColor);
        ref.sharedImage->image = image;
    }
    return ref;
}

MemoryImage* AppBase::CopyImage(Image* image, const Rect& rect)
{
    MemoryImage* copy = NewDisplayImage();
    copy->Create(rect.width, rect.height);
    Graphics g(copy);
    g.DrawImage(image, -rect.x, -rect.y);
    copy->CopyAttributes(*image);
    return copy;
}

MemoryImage* AppBase::CopyImage(Image* image) { return CopyImage(image, Rect(0, 0, image->width, image->height)); }

} // namespace Fw
