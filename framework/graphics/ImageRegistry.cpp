// The default image registry, installed by the application object.
#include "framework/graphics/ImageRegistry.h"

#include <atomic>

namespace Fw {

namespace {
std::atomic<ImageRegistry*> gDefaultRegistry{nullptr};
}

ImageRegistry* GetDefaultImageRegistry()
{
    return gDefaultRegistry.load(std::memory_order_acquire);
}

void SetDefaultImageRegistry(ImageRegistry* registry)
{
    gDefaultRegistry.store(registry, std::memory_order_release);
}

} // namespace Fw
