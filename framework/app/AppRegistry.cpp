// Registry layer of the application object over the platform's settings store: key paths below
// "SOFTWARE\" + the registry key, typed reads and writes, demo mirroring of every call, and the
// settings the application reads at start-up and writes at the end of the run.
#include "framework/app/AppBase.h"
#include "platform/RegistryStore.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace Fw {

namespace {

// Splits name at its last backslash into (key path, value name) below the application's key.
void KeyPath(const std::string& registryKey, const std::string& name, std::string& key, std::string& value)
{
    key = "SOFTWARE\\" + registryKey;
    if (!key.empty() && (key.back() == '\\' || key.back() == '/'))
        key.pop_back();
    const size_t slash = name.find_last_of('\\');
    if (slash == std::string::npos) {
        value = name;
    } else {
        // Appended in two steps: "literal" + temporary trips a false -Wrestrict in GCC 12 Release builds.
        key += '\\';
        key.append(name, 0, slash);
        value = name.substr(slash + 1);
    }
}

void WriteRegistryRecordHead(DemoStream& d, uint32_t command)
{
    d.WriteHead();
    d.WriteBits(0, 1);
    d.WriteBits(command, 5);
}

} // namespace

bool AppBase::RegistryWrite(const std::string& name, uint32_t type, const void* data, uint32_t length)
{
    if (registryKey.empty())
        return false;
    if (playingDemo) {
        if (manualShutdown)
            return true;
        if (!demo)
            return false;
        demo->PrepareCommand(true);
        return demo->ReadBits(1) != 0;
    }
    std::string key, value;
    KeyPath(registryKey, name, key, value);
    const bool ok = Platform::GetRegistryStore().WriteValue(key, value, type, data, length);
    if (recordingDemo && demo) {
        WriteRegistryRecordHead(*demo, 12);
        demo->WriteBits(ok ? 1 : 0, 1);
    }
    return ok;
}

bool AppBase::RegistryWriteString(const std::string& name, const std::string& value)
{
    return RegistryWrite(name, Platform::kRegSz, value.data(), static_cast<uint32_t>(value.size()));
}

bool AppBase::RegistryWriteInteger(const std::string& name, int32_t value)
{
    const uint32_t v = static_cast<uint32_t>(value);
    const uint8_t bytes[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    return RegistryWrite(name, Platform::kRegDword, bytes, 4);
}

bool AppBase::RegistryWriteBoolean(const std::string& name, bool value) { return RegistryWriteInteger(name, value ? 1 : 0); }

void AppBase::RegistryEraseValue(const std::string& name)
{
    if (registryKey.empty())
        return;
    std::string key, value;
    KeyPath(registryKey, name, key, value);
    Platform::GetRegistryStore().EraseValue(key, value);
}

bool AppBase::RegistryRead(const std::string& name, uint32_t& type, void* data, uint32_t& length)
{
    if (registryKey.empty())
        return false;
    if (playingDemo) {
        if (manualShutdown || !demo)
            return false;
        demo->PrepareCommand(true);
        if (demo->ReadBits(1) == 0)
            return false;
        type = demo->ReadLong();
        const uint32_t recorded = demo->ReadLong();
        // The record's bytes are all consumed so the stream stays in step; the caller's buffer
        // gets at most what it holds, and a value that did not fit is a failed read.
        uint8_t* out = static_cast<uint8_t*>(data);
        const uint32_t capacity = length;
        for (uint32_t i = 0; i < recorded; ++i) {
            const uint8_t b = demo->ReadByte();
            if (out && i < capacity)
                out[i] = b;
        }
        length = recorded;
        return !out || recorded <= capacity;
    }

    std::string key, value;
    KeyPath(registryKey, name, key, value);
    const std::optional<Platform::RegistryValue> v = Platform::GetRegistryStore().ReadValue(key, value);
    // Like the desktop's query: a buffer too small for the value fails the read.
    const bool ok = v.has_value() && (!data || v->data.size() <= length);
    if (ok) {
        type = v->type;
        if (data && !v->data.empty())
            std::memcpy(data, v->data.data(), v->data.size());
        length = static_cast<uint32_t>(v->data.size());
    }
    if (recordingDemo && demo) {
        WriteRegistryRecordHead(*demo, 11);
        demo->WriteBits(ok ? 1 : 0, 1);
        if (ok) {
            demo->WriteLong(type);
            demo->WriteLong(length);
            for (uint8_t b : v->data)
                demo->WriteByte(b);
        }
    }
    return ok;
}

bool AppBase::RegistryReadInteger(const std::string& name, int32_t& value)
{
    uint8_t bytes[4] = {};
    uint32_t type = 0, length = 4;
    // A dword of another size is damaged: keep the caller's default.
    if (!RegistryRead(name, type, bytes, length) || type != Platform::kRegDword || length != 4)
        return false;
    value = static_cast<int32_t>(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                                 uint32_t(bytes[3]) << 24);
    return true;
}

bool AppBase::RegistryReadBoolean(const std::string& name, bool& value)
{
    int32_t v = 0;
    if (!RegistryReadInteger(name, v))
        return false;
    value = v != 0;
    return true;
}

void AppBase::WriteToRegistry()
{
    // Rounded, not truncated: 0.58 * 100 is 57.99..., and truncation would lose a step per run.
    RegistryWriteInteger("MusicVolume", static_cast<int32_t>(std::lround(musicVolume * 100.0)));
    RegistryWriteInteger("SfxVolume", static_cast<int32_t>(std::lround(sfxVolume * 100.0)));
    RegistryWriteInteger("Muted", (muteCount - autoMuteCount) > 0 ? 1 : 0);
    RegistryWriteInteger("ScreenMode", isWindowed ? 0 : 1);
    RegistryWriteInteger("PreferredX", preferredX);
    RegistryWriteInteger("PreferredY", preferredY);
    RegistryWriteInteger("CustomCursors", customCursors ? 1 : 0);
    RegistryWriteInteger("InProgress", 0);
    RegistryWriteBoolean("WaitForVSync", waitForVSync);
}

void AppBase::ReadFromRegistry()
{
    registryRead = true;
    {
        // Narrow -> wide (each byte as unsigned) -> string table -> narrow.
        std::wstring wide;
        for (unsigned char c : registryKey)
            wide += static_cast<wchar_t>(c);
        const std::wstring k = GetString("RegistryKey", wide);
        registryKey.clear();
        for (wchar_t c : k)
            registryKey += static_cast<char>(c);
    }
    if (registryKey.empty())
        return;

    int32_t v = 0;
    if (RegistryReadInteger("MusicVolume", v))
        musicVolume = v / 100.0;
    if (RegistryReadInteger("SfxVolume", v))
        sfxVolume = v / 100.0;
    if (RegistryReadInteger("Muted", v))
        muteCount = v;
    if (RegistryReadInteger("ScreenMode", v))
        isWindowed = v == 0;
    if (RegistryReadInteger("PreferredX", v))
        preferredX = v;
    if (RegistryReadInteger("PreferredY", v))
        preferredY = v;
    if (RegistryReadInteger("CustomCursors", v))
        EnableCustomCursors(v != 0);
    if (RegistryReadInteger("WaitForVSync", v))
        waitForVSync = v != 0;
    if (RegistryReadInteger("InProgress", v))
        lastShutdownWasGraceful = v == 0;
    // The crash marker: stays 1 on disk until the run ends in order.
    if (!screenSaverMode)
        RegistryWriteInteger("InProgress", 1);
}

} // namespace Fw
