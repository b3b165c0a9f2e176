// The image loader on a ".j2k" file.
#include "ImageTarget.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    ImageLib::LoadJ2kCodec(); // the application switches JPEG 2000 on once at start
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return FuzzImageFile(".j2k", data, size);
}
