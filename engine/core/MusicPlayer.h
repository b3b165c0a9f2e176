// The game's music: the named streams of "cfg\cfg.xml" played as looping samples on the music
// group (-1), cross-faded from one to the next (the old one fades out in 50 ms steps, the new one
// fades in in 25 ms steps, 0.05 each). A stream's sample is unloaded when its last channel ends.
#pragma once
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/XmlDocument.h"

class VTMusicPlayer;

struct VTMusicStream {
    std::string path;
    int sampleId = 0; // 0 while not loaded
    int playCount = 0; // channels of this stream still alive
};

// One playing or fading channel of a stream; owned by the player's channel set.
struct VTMusicChannel {
    VTMusicPlayer* player = nullptr;
    int channel = 0;
    VTMusicStream* stream = nullptr;
    std::atomic<float> fade{0.0f};
    bool fadingOut = false; // guarded by the player's lock
};

class VTMusicPlayer {
public:
    // Empty tables, no current channel; publishes itself in gMusicPlayer.
    VTMusicPlayer();
    // Stops every live channel (its worker removed first) and unloads the streams' samples.
    ~VTMusicPlayer();
    VTMusicPlayer(const VTMusicPlayer&) = delete;
    VTMusicPlayer& operator=(const VTMusicPlayer&) = delete;

    // Enters the "music/stream" elements under node (attributes "name" and "path"). Stops at the
    // first element without either or with a name already entered and returns false then.
    bool LoadMusicStreamList(const Platform::XmlNode& node);
    // Cross-fades to the named stream; the current name does nothing, an unknown or empty name
    // fades the music out and plays nothing.
    void PlayMusic(const std::string& name);
    // Starts one channel of stream with a fade-in and makes it the current channel.
    void PlayStream(VTMusicStream& stream);
    // Pause or resume the current channel.
    void Pause();
    void Resume();
    // Music volume 0..100: the target of the fades and the volume of the music group.
    void SetVolume(int volume);

    int Volume() const { return volume_.load(); }
    const std::string& CurrentName() const { return currentName_; }
    // Device channel of the current channel (0: none), and the number of live channels.
    int CurrentChannel() const;
    size_t LiveChannels() const;
    // The stream entered under name, or null.
    const VTMusicStream* FindStream(std::string_view name) const;

private:
    static int FadeInWorker(int channel, void* data);
    static int FadeOutWorker(int channel, void* data);
    void PauseCurrent(bool pause);

    std::atomic<int> volume_{0};
    std::string currentName_;
    std::map<std::string, std::unique_ptr<VTMusicStream>, std::less<>> streams_;
    // Guards the channel set, the current channel and the streams' sample ids and play counts.
    mutable std::atomic<int32_t> lock_{0};
    std::vector<std::unique_ptr<VTMusicChannel>> channels_;
    VTMusicChannel* current_ = nullptr;
};

// The live music player, or null.
extern std::atomic<VTMusicPlayer*> gMusicPlayer;
