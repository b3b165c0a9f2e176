// Test settings store: the same matching rules as the file store, kept in memory only.
// Writes can be made to fail, to exercise callers' failure paths; counts the writes.
#pragma once
#include "platform/RegistryStore.h"
#include "platform/RegistryTree.h"
#include "platform/ServiceSlot.h"

#include <mutex>

namespace Platform {

class MemoryRegistryStore final : public RegistryStore {
public:
    std::optional<RegistryValue> ReadValue(std::string_view key, std::string_view name) override;
    bool WriteValue(std::string_view key, std::string_view name, uint32_t type, const void* data,
                    size_t size) override;
    bool EraseValue(std::string_view key, std::string_view name) override;

    // While set, WriteValue and EraseValue change nothing and return false.
    void SetFailWrites(bool fail);
    int WriteCount() const;

private:
    mutable std::mutex mutex_;
    RegistryTree tree_;
    bool failWrites_ = false;
    int writes_ = 0;
};

using ScopedRegistryStore = ScopedService<RegistryStore, &SetRegistryStore>;

} // namespace Platform
