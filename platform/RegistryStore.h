// The per-user settings store that stands in for the registry below HKEY_CURRENT_USER.
// Keys are paths such as "SOFTWARE\Varnel Games\Corvin HOG\Test3D" ('\' or '/' between parts);
// keys and value names match case-insensitively (ASCII); values keep their raw type and bytes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Platform {

// Raw value types the code stores (the registry's numbering).
constexpr uint32_t kRegSz = 1;    // narrow string, stored without its terminating NUL unless given one
constexpr uint32_t kRegDword = 4; // 32-bit integer, 4 bytes low byte first

struct RegistryValue {
    uint32_t type = 0;
    std::vector<uint8_t> data;
    bool operator==(const RegistryValue&) const = default;
};

class RegistryStore {
public:
    virtual ~RegistryStore() = default;
    // The value, or nothing when the key or the value is missing. Any thread.
    virtual std::optional<RegistryValue> ReadValue(std::string_view key, std::string_view name) = 0;
    // Creates the key as needed and stores the value; it is on disk when this returns true.
    // false when it could not be stored (the value is then unchanged). Any thread.
    virtual bool WriteValue(std::string_view key, std::string_view name, uint32_t type, const void* data,
                            size_t size) = 0;
    // Removes the value; true when there was one and the change is stored. Any thread.
    virtual bool EraseValue(std::string_view key, std::string_view name) = 0;
};

// The process's store: the user's file store unless a test installed another. Never null.
// The file store's path is $FW_REGISTRY_FILE when set, else "<config folder>/casual-engine/registry.txt"
// with the config folder of the user folders (Platform::GetUserFolders()).
RegistryStore& GetRegistryStore();
// Installs store for the process (tests); nullptr goes back to the user's file store. Returns the
// store installed before (nullptr for the user's file store).
RegistryStore* SetRegistryStore(RegistryStore* store);
// Where the user's file store lives, as described above.
std::string DefaultRegistryFilePath();

} // namespace Platform
