// The image loader on a ".png" file.
#include "ImageTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageFile(".png", data, size);
}
