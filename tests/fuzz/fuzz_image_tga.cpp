// The image loader on a ".tga" file.
#include "ImageTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageFile(".tga", data, size);
}
