// VTProfileStore: the "pref.dat" format, damage-tolerant loading, atomic saving and the volume
// arithmetic.
#include "engine/core/ProfileStore.h"

#include "engine/core/DebugSettings.h"
#include "platform/UserFolders.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <mutex>
#include <system_error>
#include <unistd.h>

const std::array<uint8_t, 16> VTProfileStore::kStandardIdentifier = {
    123, 216, 199, 22, 162, 77, 231, 77, 178, 34, 33, 212, 248, 184, 172, 57};
const std::array<uint8_t, 16> VTProfileStore::kSurveyIdentifier = {
    178, 19, 99, 188, 1, 108, 77, 76, 190, 13, 190, 127, 45, 3, 222, 252};

namespace {

constexpr const char* kCompany = "Varnel Games";
constexpr const char* kProduct = "Corvin HOG";
constexpr const char* kSurveyProduct = "SilverDuneSurvey";
constexpr const char* kFileName = "pref.dat";
constexpr const char* kGroups[] = {"ui", "game", "ambient"};
// The percentage factor is the single-precision 0.01 widened to double, so 100 x 60 gives 59.
constexpr double kPercent = static_cast<double>(0.01f);

std::mutex gSaveMutex;

bool SurveyEdition() { return gDebugSettings && gDebugSettings->surveyEdition; }

// ---- little-endian fields ---------------------------------------------------------------------

void PutInt(std::string& out, int32_t value)
{
    const auto u = static_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out += static_cast<char>((u >> shift) & 0xFF);
}

int32_t GetInt(const unsigned char* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

std::string EncodeSettings(const VTProfileSettings& s)
{
    std::string out(s.identifier.begin(), s.identifier.end());
    for (int32_t v : {s.version, s.musicVolume, s.uiVolume, s.gameVolume, s.ambientVolume, s.masterSoundVolume,
                      s.masterMusicVolume})
        PutInt(out, v);
    out += static_cast<char>(s.windowed);
    out += static_cast<char>(s.muted);
    out += static_cast<char>(s.padding[0]);
    out += static_cast<char>(s.padding[1]);
    PutInt(out, s.selected);
    PutInt(out, s.count);
    return out;
}

VTProfileSettings DecodeSettings(const unsigned char* p)
{
    VTProfileSettings s;
    std::copy(p, p + 16, s.identifier.begin());
    int32_t* fields[] = {&s.version, &s.musicVolume, &s.uiVolume, &s.gameVolume, &s.ambientVolume,
                         &s.masterSoundVolume, &s.masterMusicVolume};
    for (size_t i = 0; i < std::size(fields); ++i)
        *fields[i] = GetInt(p + 16 + 4 * i);
    s.windowed = p[44];
    s.muted = p[45];
    s.padding = {p[46], p[47]};
    s.selected = GetInt(p + 48);
    s.count = GetInt(p + 52);
    return s;
}

// ---- names: UTF-16 in the file, wide in memory ------------------------------------------------
// A lone surrogate is carried through as its own value both ways, so no stored name changes by
// being read and written back.

std::wstring ToWide(std::u16string_view units)
{
    std::wstring out;
    for (size_t i = 0; i < units.size(); ++i) {
        const char32_t u = units[i];
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            out += static_cast<wchar_t>(u);
        }
    }
    return out;
}

// The name as it is stored: UTF-16, cut to the record's 128 units without splitting a pair.
std::u16string ToStoredName(std::wstring_view name)
{
    std::u16string out;
    for (wchar_t c : name) {
        const auto u = static_cast<char32_t>(c);
        const size_t need = u > 0xFFFF ? 2 : 1;
        if (out.size() + need > VTProfileStore::kMaxNameUnits || u > 0x10FFFF)
            break;
        if (need == 2) {
            out += static_cast<char16_t>(0xD800 + ((u - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((u - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(u);
        }
    }
    return out;
}

int32_t ClampToInt32(double value)
{
    return static_cast<int32_t>(std::clamp(value, double(std::numeric_limits<int32_t>::min()),
                                           double(std::numeric_limits<int32_t>::max())));
}

} // namespace

VTProfileStore::VTProfileStore(VTProfileHost& host) : host_(host)
{
    std::filesystem::path folder = Platform::GetUserFolders().AppDataFolder();
    folder /= kCompany;
    folder /= SurveyEdition() ? kSurveyProduct : kProduct;
    // A folder that cannot be made shows later: loading takes the defaults, saving writes nothing.
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    path_ = (folder / kFileName).string();
    SetDefaults();
}

void VTProfileStore::SetDefaults()
{
    settings_ = VTProfileSettings();
    settings_.identifier = SurveyEdition() ? kSurveyIdentifier : kStandardIdentifier;
    settings_.windowed = gDebugSettings && gDebugSettings->debugMode ? 1 : 0;
}

bool VTProfileStore::CompareIdentifier(const std::array<uint8_t, 16>& identifier) const
{
    return settings_.identifier == identifier;
}

bool VTProfileStore::ReadFile()
{
    std::ifstream in(path_, std::ios::binary);
    if (!in)
        return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < VTProfileSettings::kFileBytes)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const VTProfileSettings read = DecodeSettings(p);
    if (read.identifier != (SurveyEdition() ? kSurveyIdentifier : kStandardIdentifier) ||
        read.version != VTProfileSettings::kVersion)
        return false;

    settings_ = read;
    profiles_.clear();
    // Keep each record only when the file holds all of it; the count becomes what was kept.
    size_t at = VTProfileSettings::kFileBytes;
    for (int32_t i = 0; i < read.count; ++i) {
        if (bytes.size() - at < kNameBytes + 4)
            break;
        const int32_t length = GetInt(p + at + kNameBytes);
        if (length < 0 || static_cast<size_t>(length) > bytes.size() - at - kNameBytes - 4)
            break;
        Profile profile;
        for (size_t unit = 0; unit < kMaxNameUnits; ++unit) {
            const char16_t c = static_cast<char16_t>(p[at + 2 * unit] | p[at + 2 * unit + 1] << 8);
            if (c == 0)
                break;
            profile.name += c;
        }
        profile.data.assign(bytes, at + kNameBytes + 4, static_cast<size_t>(length));
        profiles_.push_back(std::move(profile));
        at += kNameBytes + 4 + static_cast<size_t>(length);
    }
    settings_.count = static_cast<int32_t>(profiles_.size());
    return true;
}

void VTProfileStore::Load()
{
    if (!ReadFile()) {
        SetDefaults();
        profiles_.clear();
    }
    ApplyGroupVolumes();
    ApplyMusicVolume();
    const bool windowed = settings_.windowed != 0;
    if (host_.IsWindowed() != windowed)
        host_.SwitchScreenMode(windowed);
}

bool VTProfileStore::Save()
{
    settings_.windowed = host_.IsWindowed() ? 1 : 0;
    settings_.count = static_cast<int32_t>(profiles_.size());
    std::string bytes = EncodeSettings(settings_);
    for (const Profile& profile : profiles_) {
        std::string name(kNameBytes, '\0');
        for (size_t i = 0; i < profile.name.size(); ++i) {
            name[2 * i] = static_cast<char>(profile.name[i] & 0xFF);
            name[2 * i + 1] = static_cast<char>(profile.name[i] >> 8);
        }
        bytes += name;
        PutInt(bytes, static_cast<int32_t>(profile.data.size()));
        bytes += profile.data;
    }

    // Written beside the file and renamed over it, so the old file survives any failure. Stores
    // of one file on two threads share the temporary name, so saves take turns.
    const std::string temporary = path_ + ".tmp";
    std::lock_guard saving(gSaveMutex);
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fflush(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    ok = std::fclose(file) == 0 && ok;
    if (ok)
        ok = std::rename(temporary.c_str(), path_.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

int32_t VTProfileStore::GetGroupVolume(std::string_view group) const
{
    const int32_t* volume = group == "ui"        ? &settings_.uiVolume
                            : group == "game"    ? &settings_.gameVolume
                            : group == "ambient" ? &settings_.ambientVolume
                                                 : nullptr;
    if (!volume)
        return 100;
    const int64_t product = int64_t(settings_.masterSoundVolume) * *volume;
    return ClampToInt32(std::trunc(static_cast<double>(product) * kPercent));
}

void VTProfileStore::ApplyGroupVolumes()
{
    for (const char* group : kGroups) {
        if (settings_.muted)
            host_.SetSoundGroupVolume(0, nullptr);
        else
            host_.SetSoundGroupVolume(GetGroupVolume(group), group);
    }
}

void VTProfileStore::ApplyMusicVolume()
{
    if (settings_.muted) {
        host_.SetMusicVolume(0);
        return;
    }
    const int64_t product = int64_t(settings_.masterMusicVolume) * settings_.musicVolume;
    host_.SetMusicVolume(ClampToInt32(std::trunc(static_cast<double>(product) * kPercent)));
}

bool VTProfileStore::CreateProfile(std::wstring_view name)
{
    std::u16string stored = ToStoredName(name);
    for (const Profile& profile : profiles_)
        if (profile.name == stored)
            return false;
    profiles_.push_back({std::move(stored), {}});
    settings_.count = static_cast<int32_t>(profiles_.size());
    settings_.selected = settings_.count - 1;
    Save();
    return true;
}

bool VTProfileStore::DeleteProfile(int32_t index)
{
    if (index < 0 || static_cast<size_t>(index) >= profiles_.size())
        return false;
    profiles_.erase(profiles_.begin() + index);
    settings_.count = static_cast<int32_t>(profiles_.size());
    if (settings_.selected == settings_.count)
        settings_.selected -= 1;
    Save();
    return true;
}

VTProfileStore::Profile* VTProfileStore::SelectedProfile()
{
    const int32_t i = settings_.selected;
    return i >= 0 && static_cast<size_t>(i) < profiles_.size() ? &profiles_[static_cast<size_t>(i)] : nullptr;
}

const VTProfileStore::Profile* VTProfileStore::SelectedProfile() const
{
    return const_cast<VTProfileStore*>(this)->SelectedProfile();
}

bool VTProfileStore::SetSelectedName(std::wstring_view name)
{
    Profile* profile = SelectedProfile();
    if (!profile)
        return false;
    profile->name = ToStoredName(name);
    profile->data.clear();
    return true;
}

std::string VTProfileStore::GetSelectedData() const
{
    const Profile* profile = SelectedProfile();
    if (!profile)
        return {};
    return profile->data.substr(0, profile->data.find('\0'));
}

bool VTProfileStore::SetSelectedData(std::string_view text)
{
    Profile* profile = SelectedProfile();
    if (!profile) {
        host_.ReportNoSelectedProfile();
        return false;
    }
    profile->data.assign(text.substr(0, text.find('\0')));
    return Save();
}

std::wstring VTProfileStore::Name(size_t index) const
{
    return index < profiles_.size() ? ToWide(profiles_[index].name) : std::wstring();
}

std::vector<std::wstring> VTProfileStore::Names() const
{
    std::vector<std::wstring> names;
    for (const Profile& profile : profiles_)
        names.push_back(ToWide(profile.name));
    return names;
}
