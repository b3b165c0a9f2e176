// The named sound effects of "cfg\cfg.xml", their channel groups ("ui", "game", "ambient" and any
// other group name), the overall effect volume, fire-and-forget playing by name and the sound
// instances scripts control. Every device call is skipped while sound is off; the tables are
// kept, so the game runs silently without a sound device.
#pragma once
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "engine/core/SoundInstance.h"
#include "platform/XmlDocument.h"

// One "sound" element. Shared by the table and the instances made from it, so an instance stays
// valid when the table is cleared or the name is entered again.
struct VTSoundRecord {
    std::atomic<int> sampleId{0}; // device sample id, 0 while not loaded (negative: load failed)
    std::string path;             // opened through the archive layer
    int groupId = 0;
    std::atomic<int> volume{100}; // 0..100; the group's volume once that is set
    bool loop = false;
    int pan = 50;
};

class VTSoundManager {
public:
    // Enters the groups "ui", "game" and "ambient", which get the ids 1, 2 and 3.
    VTSoundManager();
    ~VTSoundManager();
    VTSoundManager(const VTSoundManager&) = delete;
    VTSoundManager& operator=(const VTSoundManager&) = delete;

    // The group's id; an unknown name is entered with the next id.
    int GetGroupId(std::string_view group);
    // Reads every "sounds/sound" element under node.
    void LoadFromXml(const Platform::XmlNode& node);
    // Makes a record from the attributes "name", "group", "path", "loop" (absent: false) and
    // "pan" (absent: 50) and enters it; a later record of the same name replaces the earlier.
    void ReadSoundNode(const Platform::XmlNode& element);
    // Loads every record's sample in name order (the start-up thread, before the game starts).
    void LoadAllSamples();

    // Plays the named sound once at the effect volume; an empty or unknown name does nothing.
    void PlaySound(std::string_view name);
    void PlayRecord(const VTSoundRecord& record);
    // Without a group (null): the effect volume, and every group's volume on the device.
    // With a known group: the volume of its records and of the group on the device. An unknown
    // group does nothing.
    void SetGroupVolume(int volume, const char* group);
    // A new instance of the named sound; null when the name is unknown or sound is off.
    std::unique_ptr<VTSoundInstance> CreateInstance(std::string_view name);
    // Stops and unloads every sample and forgets every record (engine shutdown).
    void Clear();

    int EffectVolume() const { return effectVolume_.load(); }
    // The record entered under name, or null.
    std::shared_ptr<VTSoundRecord> FindRecord(std::string_view name) const;
    std::vector<std::string> SoundNames() const;

private:
    mutable std::mutex mutex_; // guards the two tables
    std::map<std::string, std::shared_ptr<VTSoundRecord>, std::less<>> sounds_;
    std::map<std::string, int, std::less<>> groups_;
    int groupCounter_ = 0;
    std::atomic<int> effectVolume_{100};
};
