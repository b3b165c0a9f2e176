// Copying a whole block of pixel rows at once.
#pragma once
#include <cstddef>

namespace Platform {

// Copies n bytes between non-overlapping blocks: by the processor's string move where it has the
// fast form (ERMS), which moves whole frames faster than memcpy's vector loop there; memcpy
// elsewhere.
void CopyBlock(void* d, const void* s, size_t n);

} // namespace Platform
