// Sound table, groups, effect volume and fire-and-forget playing.
#include "engine/core/SoundManager.h"

#include "engine/core/DebugLog.h"
#include "engine/core/DebugSettings.h"
#include "engine/core/SoundInstance.h"
#include "engine/core/SoundSystem.h"
#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"
#include "platform/SoundDevice.h"

namespace {

// Attribute texts are read as into a 128-byte buffer: at most 127 bytes.
constexpr size_t kAttributeBuffer = 128;

bool SoundLogOn()
{
    return gDebugSettings != nullptr && gDebugSettings->soundLog;
}

} // namespace

VTSoundManager::VTSoundManager()
{
    GetGroupId("ui");
    GetGroupId("game");
    GetGroupId("ambient");
}

VTSoundManager::~VTSoundManager() = default;

int VTSoundManager::GetGroupId(std::string_view group)
{
    std::lock_guard lock(mutex_);
    auto found = groups_.find(group);
    if (found != groups_.end())
        return found->second;
    const int id = ++groupCounter_;
    groups_.emplace(std::string(group), id);
    return id;
}

void VTSoundManager::LoadFromXml(const Platform::XmlNode& node)
{
    XmlForEachNode(node, "sounds/sound", [this](const Platform::XmlNode& element) {
        ReadSoundNode(element);
        return true;
    });
}

void VTSoundManager::ReadSoundNode(const Platform::XmlNode& element)
{
    std::string name;
    std::string group;
    auto record = std::make_shared<VTSoundRecord>();
    XmlGetAttributeString(element, "name", name, kAttributeBuffer);
    XmlGetAttributeString(element, "group", group, kAttributeBuffer);
    XmlGetAttributeString(element, "path", record->path, kAttributeBuffer);
    XmlGetAttributeBool(element, "loop", record->loop);
    int32_t pan = 50;
    XmlGetAttributeInt(element, "pan", pan);
    record->pan = pan;
    record->groupId = GetGroupId(group);
    std::lock_guard lock(mutex_);
    sounds_[name] = std::move(record);
}

void VTSoundManager::LoadAllSamples()
{
    std::vector<std::shared_ptr<VTSoundRecord>> records;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [name, record] : sounds_)
            records.push_back(record);
    }
    // Loading decodes whole files: done without the table lock, so playing goes on meanwhile.
    for (const auto& record : records) {
        if (!IsSoundSystemUp())
            continue;
        const Platform::SoundSampleDefaults defaults{record->groupId, 0, 0, 100, 50, 1.0f, 1.0e9f};
        record->sampleId = Platform::GetSoundDevice().SampleLoadFile(record->path.c_str(), 0, &defaults);
    }
}

void VTSoundManager::PlaySound(std::string_view name)
{
    if (name.empty())
        return;
    if (std::shared_ptr<VTSoundRecord> record = FindRecord(name))
        PlayRecord(*record);
}

void VTSoundManager::PlayRecord(const VTSoundRecord& record)
{
    if (!IsSoundSystemUp())
        return;
    Platform::SoundDevice& device = Platform::GetSoundDevice();
    const int channel =
        device.SamplePlayEx(record.sampleId, 0, record.groupId, 1, 0, effectVolume_.load(), 44100, 50);
    if (SoundLogOn())
        DebugLogTimed("Play2(%d): %s", channel, record.path.c_str());
    device.ChannelSetPan(channel, record.pan);
}

void VTSoundManager::SetGroupVolume(int volume, const char* group)
{
    std::vector<int> groupIds;
    {
        std::lock_guard lock(mutex_);
        if (group == nullptr) {
            effectVolume_ = volume;
            for (const auto& [name, id] : groups_)
                groupIds.push_back(id);
        } else {
            auto found = groups_.find(std::string_view(group));
            if (found == groups_.end())
                return;
            for (const auto& [name, record] : sounds_)
                if (record->groupId == found->second)
                    record->volume = volume;
            groupIds.push_back(found->second);
        }
    }
    if (!IsSoundSystemUp())
        return;
    for (int id : groupIds)
        Platform::GetSoundDevice().ChannelGroupSetVolume(id, volume);
}

std::unique_ptr<VTSoundInstance> VTSoundManager::CreateInstance(std::string_view name)
{
    if (!IsSoundSystemUp())
        return nullptr;
    std::shared_ptr<VTSoundRecord> record = FindRecord(name);
    if (record == nullptr)
        return nullptr;
    return std::make_unique<VTSoundInstance>(*this, std::move(record));
}

void VTSoundManager::Clear()
{
    std::map<std::string, std::shared_ptr<VTSoundRecord>, std::less<>> sounds;
    {
        std::lock_guard lock(mutex_);
        sounds.swap(sounds_);
    }
    for (const auto& [name, record] : sounds) {
        const int sample = record->sampleId.exchange(0);
        // Stop before unloading, so no channel is left playing a sample that is gone.
        if (IsSoundSystemUp() && sample > 0) {
            Platform::GetSoundDevice().SampleStop(sample);
            Platform::GetSoundDevice().SampleUnload(sample);
        }
    }
}

std::shared_ptr<VTSoundRecord> VTSoundManager::FindRecord(std::string_view name) const
{
    std::lock_guard lock(mutex_);
    auto found = sounds_.find(name);
    return found != sounds_.end() ? found->second : nullptr;
}

std::vector<std::string> VTSoundManager::SoundNames() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::string> names;
    for (const auto& [name, record] : sounds_)
        names.push_back(name);
    return names;
}
