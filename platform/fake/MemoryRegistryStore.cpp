#include "platform/fake/MemoryRegistryStore.h"

namespace Platform {

std::optional<RegistryValue> MemoryRegistryStore::ReadValue(std::string_view key, std::string_view name)
{
    std::lock_guard lock(mutex_);
    const RegistryValue* v = tree_.Find(key, name);
    if (!v)
        return std::nullopt;
    return *v;
}

bool MemoryRegistryStore::WriteValue(std::string_view key, std::string_view name, uint32_t type, const void* data,
                                     size_t size)
{
    std::lock_guard lock(mutex_);
    if (failWrites_)
        return false;
    tree_.Set(key, name, RegistryTree::MakeValue(type, data, size));
    ++writes_;
    return true;
}

bool MemoryRegistryStore::EraseValue(std::string_view key, std::string_view name)
{
    std::lock_guard lock(mutex_);
    return !failWrites_ && tree_.Erase(key, name);
}

void MemoryRegistryStore::SetFailWrites(bool fail)
{
    std::lock_guard lock(mutex_);
    failWrites_ = fail;
}

int MemoryRegistryStore::WriteCount() const
{
    std::lock_guard lock(mutex_);
    return writes_;
}

} // namespace Platform
