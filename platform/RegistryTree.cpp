#include "platform/RegistryTree.h"

#include <cstdio>

namespace Platform {
namespace {

// '/' becomes '\', repeated separators collapse, leading and trailing ones go.
std::string NormaliseKey(std::string_view key)
{
    std::string out;
    for (char c : key) {
        if (c == '/')
            c = '\\';
        if (c == '\\' && (out.empty() || out.back() == '\\'))
            continue;
        out.push_back(c);
    }
    if (!out.empty() && out.back() == '\\')
        out.pop_back();
    return out;
}

std::string Fold(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

// Control characters, '%', '"', '[' and ']' are written as %XX so every line stays one line and
// the quote and bracket delimiters stay unambiguous.
std::string Encode(std::string_view s)
{
    std::string out;
    for (unsigned char c : s) {
        if (c < 0x20 || c == 0x7F || c == '%' || c == '"' || c == '[' || c == ']') {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        } else {
            out.push_back(char(c));
        }
    }
    return out;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool Decode(std::string_view s, std::string& out)
{
    out.clear();
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '%') {
            out.push_back(s[i]);
            continue;
        }
        if (i + 2 >= s.size())
            return false;
        const int hi = HexDigit(s[i + 1]), lo = HexDigit(s[i + 2]);
        if (hi < 0 || lo < 0)
            return false;
        out.push_back(char(hi * 16 + lo));
        i += 2;
    }
    return true;
}

bool ParseValueLine(std::string_view line, std::string& name, RegistryValue& value)
{
    // "name"=type:hex
    if (line.size() < 2 || line[0] != '"')
        return false;
    const size_t close = line.find('"', 1);
    if (close == std::string_view::npos || close + 1 >= line.size() || line[close + 1] != '=')
        return false;
    if (!Decode(line.substr(1, close - 1), name))
        return false;
    std::string_view rest = line.substr(close + 2);
    const size_t colon = rest.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return false;
    uint64_t type = 0;
    for (char c : rest.substr(0, colon)) {
        if (c < '0' || c > '9' || type > 0xFFFFFFFFull / 10)
            return false;
        type = type * 10 + uint64_t(c - '0');
    }
    if (type > 0xFFFFFFFFull)
        return false;
    const std::string_view hex = rest.substr(colon + 1);
    if (hex.size() % 2 != 0)
        return false;
    value.type = uint32_t(type);
    value.data.clear();
    for (size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        value.data.push_back(uint8_t(hi * 16 + lo));
    }
    return true;
}

} // namespace

RegistryValue RegistryTree::MakeValue(uint32_t type, const void* data, size_t size)
{
    RegistryValue value;
    value.type = type;
    if (size > 0) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        value.data.assign(bytes, bytes + size);
    }
    return value;
}

const RegistryValue* RegistryTree::Find(std::string_view key, std::string_view name) const
{
    const auto k = keys_.find(Fold(NormaliseKey(key)));
    if (k == keys_.end())
        return nullptr;
    const auto v = k->second.values.find(Fold(name));
    return v == k->second.values.end() ? nullptr : &v->second.value;
}

void RegistryTree::Set(std::string_view key, std::string_view name, RegistryValue value)
{
    const std::string normal = NormaliseKey(key);
    Key& k = keys_[Fold(normal)];
    if (k.name.empty())
        k.name = normal;
    Value& v = k.values[Fold(name)];
    if (v.name.empty())
        v.name = std::string(name);
    v.value = std::move(value);
}

bool RegistryTree::Erase(std::string_view key, std::string_view name)
{
    const auto k = keys_.find(Fold(NormaliseKey(key)));
    if (k == keys_.end())
        return false;
    return k->second.values.erase(Fold(name)) > 0;
}

std::string RegistryTree::Serialize() const
{
    static const char kHex[] = "0123456789abcdef";
    std::string out = "# Per-user settings; one value per line: \"name\"=type:bytes in hex\n";
    for (const auto& [folded, key] : keys_) {
        if (key.values.empty())
            continue;
        out.append("[").append(Encode(key.name)).append("]\n");
        for (const auto& [vfolded, v] : key.values) {
            out.append("\"").append(Encode(v.name)).append("\"=").append(std::to_string(v.value.type)).append(":");
            for (uint8_t b : v.value.data) {
                out.push_back(kHex[b >> 4]);
                out.push_back(kHex[b & 15]);
            }
            out += "\n";
        }
    }
    return out;
}

RegistryTree RegistryTree::Parse(std::string_view text)
{
    RegistryTree tree;
    std::string key;
    bool haveKey = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            haveKey = line.size() >= 2 && line.back() == ']' && Decode(line.substr(1, line.size() - 2), key);
            continue;
        }
        std::string name;
        RegistryValue value;
        if (haveKey && ParseValueLine(line, name, value))
            tree.Set(key, name, std::move(value));
    }
    return tree;
}

} // namespace Platform
