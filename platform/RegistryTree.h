// In-memory model of the settings store shared by the file store and the fake: keys and value names
// matched case-insensitively (ASCII) with their first-written spelling kept, and the text form the
// file store writes. Not locked: its owners lock.
#pragma once
#include "platform/RegistryStore.h"

#include <map>
#include <string>
#include <string_view>

namespace Platform {

class RegistryTree {
public:
    // A value of type holding a copy of size bytes at data (data may be null when size is 0).
    static RegistryValue MakeValue(uint32_t type, const void* data, size_t size);

    const RegistryValue* Find(std::string_view key, std::string_view name) const;
    void Set(std::string_view key, std::string_view name, RegistryValue value);
    bool Erase(std::string_view key, std::string_view name);

    // Text form: "[key]" lines, each followed by its "\"name\"=type:hexbytes" lines.
    std::string Serialize() const;
    // Reads the text form; lines it cannot read are skipped, so a damaged file loses only them.
    static RegistryTree Parse(std::string_view text);

private:
    struct Value {
        std::string name;
        RegistryValue value;
    };
    struct Key {
        std::string name;
        std::map<std::string, Value> values; // by folded name
    };
    std::map<std::string, Key> keys_; // by folded, normalised path
};

} // namespace Platform
