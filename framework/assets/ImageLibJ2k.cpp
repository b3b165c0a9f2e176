// JPEG 2000 reader: hands the file, read through the archive layer, to the platform's codec. The
// codec is switched on once by the application and off at shutdown.
#include "framework/assets/ImageLib.h"
#include "framework/assets/ImageLibFile.h"
#include "platform/J2kCodec.h"

#include <atomic>
#include <climits>

namespace ImageLib {
namespace {

std::atomic<bool> gJ2kCodecLoaded{false};

} // namespace

void LoadJ2kCodec()
{
    gJ2kCodecLoaded = true;
}
void FreeJ2kCodec()
{
    gJ2kCodecLoaded = false;
}
bool IsJ2kCodecLoaded()
{
    return gJ2kCodecLoaded;
}

std::unique_ptr<Image> ReadJ2k(const std::string& name)
{
    if (!IsJ2kCodecLoaded())
        return nullptr;
    PakFileHandle file = OpenImageFile(name);
    if (!file)
        return nullptr;
    PakFile* f = file.get();
    Platform::J2kSource source;
    if (PakFSeek(f, 0, SEEK_END) != 0)
        return nullptr;
    const long length = PakFTell(f);
    if (length <= 0 || PakFSeek(f, 0, SEEK_SET) != 0)
        return nullptr;
    source.length = uint64_t(length);
    source.read = [f](void* buffer, size_t count) { return PakFRead(buffer, 1, count, f); };
    source.seek = [f](uint64_t offset) {
        return offset <= uint64_t(LONG_MAX) && PakFSeek(f, long(offset), SEEK_SET) == 0;
    };
    Platform::J2kImage decoded;
    if (!Platform::DecodeJ2k(source, kMaxImageDimension, kMaxImagePixels, decoded))
        return nullptr;
    auto image = CreateImage(decoded.width, decoded.height);
    if (!image)
        return nullptr;
    image->Pixels() = std::move(decoded.pixels);
    return image;
}

} // namespace ImageLib
