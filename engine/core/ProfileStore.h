// The players' profiles and sound/screen settings, kept in "pref.dat" in the user's
// application-data folder under "Varnel Games/<product>/": a 56-byte little-endian settings header,
// then per profile a 260-byte UTF-16LE name and a length-prefixed block of script data. Damaged
// files load what is whole; saves go through a temporary file, so a crash never loses the old one.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the store drives: the sound manager's volumes and the application's screen mode. The engine
// implements it; tests use a fake.
class VTProfileHost {
public:
    virtual ~VTProfileHost() = default;
    // Volume 0..100 of the sound group named group, or of every group when group is null.
    virtual void SetSoundGroupVolume(int32_t volume, const char* group) = 0;
    // Volume 0..100 of the music.
    virtual void SetMusicVolume(int32_t volume) = 0;
    virtual bool IsWindowed() const = 0;
    virtual void SwitchScreenMode(bool windowed) = 0;
    // A script wrote profile data while no profile is selected (the engine prints the traceback).
    virtual void ReportNoSelectedProfile() = 0;
};

// The settings header, field for field as the file's first 56 bytes hold it.
struct VTProfileSettings {
    static constexpr size_t kFileBytes = 56;
    static constexpr int32_t kVersion = 3;

    std::array<uint8_t, 16> identifier{};
    int32_t version = kVersion;
    int32_t musicVolume = 60;   // 0..100
    int32_t uiVolume = 60;      // "ui" group
    int32_t gameVolume = 60;    // "game" group
    int32_t ambientVolume = 60; // "ambient" group
    int32_t masterSoundVolume = 100;
    int32_t masterMusicVolume = 100;
    uint8_t windowed = 0; // 1 windowed, 0 full screen
    uint8_t muted = 0;
    std::array<uint8_t, 2> padding{}; // kept as read, so a save writes back what was loaded
    int32_t selected = -1;            // -1: no profile
    int32_t count = 0;                // profiles in the file
};

class VTProfileStore {
public:
    // Longest name a record holds, in UTF-16 units (130 units less two terminating zeros).
    static constexpr size_t kMaxNameUnits = 128;
    static constexpr size_t kNameBytes = 260;
    // File identifiers of the standard and the survey edition.
    static const std::array<uint8_t, 16> kStandardIdentifier;
    static const std::array<uint8_t, 16> kSurveyIdentifier;

    // Builds the path from the platform's application-data folder (creating the folders) and
    // starts with the defaults and no profiles. The survey-edition switch of the debug settings
    // picks the product folder ("SilverDuneSurvey" instead of "Corvin HOG") and the identifier.
    explicit VTProfileStore(VTProfileHost& host);

    const std::string& Path() const { return path_; }

    // Header = the defaults, with the identifier of the current edition.
    void SetDefaults();
    // Reads the file, or takes the defaults when it is missing, short, of the other edition or of
    // another version; then applies the volumes and the screen mode.
    void Load();
    // Writes the file (windowed flag taken from the application); false when it cannot be written,
    // in which case the file on disk is unchanged.
    bool Save();
    bool CompareIdentifier(const std::array<uint8_t, 16>& identifier) const;

    // For "ui", "game" and "ambient": trunc(master sound x group volume x 0.01f); 100 otherwise.
    int32_t GetGroupVolume(std::string_view group) const;
    void ApplyGroupVolumes();
    void ApplyMusicVolume();

    // False when a profile of that name (cut to 128 UTF-16 units) exists; otherwise appends it with
    // empty data, selects it and saves.
    bool CreateProfile(std::wstring_view name);
    // Removes profile index (when it exists), keeps the selection on a profile when the last one
    // was selected, saves. False for an index out of range.
    bool DeleteProfile(int32_t index);
    // Not checked and not saved: an index out of range selects no profile.
    void SetSelected(int32_t index) { settings_.selected = index; }
    // The selected profile's new name (cut to 128 units) with its data emptied; false without one.
    bool SetSelectedName(std::wstring_view name);
    // The selected profile's data up to its first zero byte; "" without a selected profile.
    std::string GetSelectedData() const;
    // The selected profile's data becomes text, then saves; without a selected profile the host is
    // told and nothing is stored (false). False too when the save fails (the data stays in memory
    // and goes with the next save).
    bool SetSelectedData(std::string_view text);

    int32_t Selected() const { return settings_.selected; }
    size_t Count() const { return profiles_.size(); }
    std::wstring Name(size_t index) const;
    std::vector<std::wstring> Names() const;
    // The header's volume, mute and screen fields, which the script methods write before applying.
    VTProfileSettings& Settings() { return settings_; }
    const VTProfileSettings& Settings() const { return settings_; }

private:
    struct Profile {
        std::u16string name; // as stored: at most 128 units, no terminator
        std::string data;
    };
    // The selected profile, or null when the index names none.
    Profile* SelectedProfile();
    const Profile* SelectedProfile() const;
    bool ReadFile();

    VTProfileHost& host_;
    std::string path_;
    VTProfileSettings settings_;
    std::vector<Profile> profiles_;
};
