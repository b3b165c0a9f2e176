// Music through the FMOD sound library: module songs, and sample songs decoded once from ".ogg" into
// a cache of WAV files in the application-data folder. A sample song plays on the channel whose
// number is its id. Volumes fade by a fixed step per update.
#pragma once
#include "framework/assets/FModApi.h"
#include "framework/assets/MusicInterface.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace Fw {

struct FModSongEntry {
    uint32_t sample = 0; // 0 for a module song
    uint32_t module = 0; // 0 for a sample song
    double volume = 0.0;
    double fadeStep = 0.0;
    double maxVolume = 1.0;
    bool stopWhenSilent = false;
    bool loop = false;
};

class FModMusicInterface : public MusicInterface {
public:
    // The FMOD back end when its library loads, otherwise (logged) the empty back end.
    static std::unique_ptr<MusicInterface> Create();

    // Use Create; api is the loaded library (not null).
    explicit FModMusicInterface(FModApi* api);
    ~FModMusicInterface() override;

    bool LoadMusic(int songId, const std::string& fileName) override;
    virtual bool LoadJoinedSampleMusic(int songId, const std::string& first, const std::string& second, bool loop);
    virtual bool LoadSampleMusic(int songId, const std::string& fileName, bool loop);

    void PlayMusic(int songId, int offset, bool noLoop) override;
    void StopMusic(int songId) override;
    void PauseMusic(int songId) override;
    void ResumeMusic(int songId) override;
    void StopAllMusic() override;
    void FadeIn(int songId, int offset, double speed, bool noLoop) override;
    void FadeOut(int songId, bool stopWhenSilent, double speed) override;
    void FadeOutAll(bool stopWhenSilent, double speed) override;
    void SetSongVolume(int songId, double volume) override;
    bool IsPlaying(int songId) override;
    void SetVolume(double masterVolume) override;
    void Update() override;

    const FModSongEntry* GetSong(int songId) const;

    // Where the WAV decoded from a music file is cached: the application-data folder's "cached/"
    // plus the file's path (separators flattened, so equal names in different folders differ).
    static std::string CachePathFor(const std::string& fileName);

private:
    uint32_t CacheOggAsWav(const std::string& fileName);
    void SendVolume(int songId, const FModSongEntry& song);
    void Stop(int songId, const FModSongEntry& song);
    void SetPaused(int songId, bool paused);
    void StartSong(int songId, FModSongEntry& song, int offset, bool noLoop, bool onlyIfStopped);

    FModApi* api_;
    std::map<int, FModSongEntry> songs_;
    double masterVolume_ = 1.0;
    int moduleVolumeScale_ = 100;
    int sampleVolumeScale_ = 100;
};

} // namespace Fw
