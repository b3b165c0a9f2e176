// The image loader on a ".gif" file.
#include "ImageTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageFile(".gif", data, size);
}
