#include "support/FakeImageServices.h"

#include "framework/assets/ImageLib.h"
#include "framework/graphics/MemoryImage.h"

namespace TestSupport {

namespace {

// An image outside any registry that counts its deletion.
class CountedImage : public Fw::MemoryImage {
public:
    explicit CountedImage(std::shared_ptr<std::atomic<int>> deleted)
        : Fw::MemoryImage(nullptr), deleted_(std::move(deleted))
    {
    }
    ~CountedImage() override { ++*deleted_; }

private:
    std::shared_ptr<std::atomic<int>> deleted_;
};

} // namespace

void FakeImageServices::Add(const std::string& path, int width, int height, uint32_t fill)
{
    Add(path, width, height, std::vector<uint32_t>(size_t(width) * size_t(height), fill));
}

void FakeImageServices::Add(const std::string& path, int width, int height,
                            const std::vector<uint32_t>& pixels)
{
    pictures_[path] = Picture{width, height, pixels};
}

std::unique_ptr<Fw::MemoryImage> FakeImageServices::LoadEngineImage(const std::string& path)
{
    Picture picture;
    if (auto it = pictures_.find(path); it != pictures_.end()) {
        picture = it->second;
    } else if (auto loaded = ImageLib::LoadImageFile(path, true)) {
        picture.width = loaded->GetWidth();
        picture.height = loaded->GetHeight();
        picture.pixels.assign(loaded->GetBits(),
                              loaded->GetBits() + size_t(picture.width) * size_t(picture.height));
    } else {
        return nullptr;
    }
    auto image = std::make_unique<CountedImage>(deleted_);
    image->SetBits(picture.pixels.data(), picture.width, picture.height, true);
    ++*created_;
    return image;
}

} // namespace TestSupport
