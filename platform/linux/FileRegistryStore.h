// The settings store on disk: one text file (see RegistryTree for its form), loaded when the store
// is made and rewritten on every change through a temporary file renamed over it, so a crash
// leaves either the old or the new file, never a torn one. The temporary is "<file>.tmp".
#pragma once
#include "platform/RegistryStore.h"
#include "platform/RegistryTree.h"

#include <mutex>
#include <string>

namespace Platform {

class FileRegistryStore final : public RegistryStore {
public:
    // A missing file is an empty store; its folder is created on the first write.
    explicit FileRegistryStore(std::string path);

    std::optional<RegistryValue> ReadValue(std::string_view key, std::string_view name) override;
    bool WriteValue(std::string_view key, std::string_view name, uint32_t type, const void* data,
                    size_t size) override;
    bool EraseValue(std::string_view key, std::string_view name) override;

    const std::string& Path() const { return path_; }

private:
    bool Save(const RegistryTree& tree); // temp file + rename

    std::mutex mutex_;
    std::string path_;
    RegistryTree tree_;
};

} // namespace Platform
