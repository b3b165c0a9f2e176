// The framework's music back end: songs addressed by integer ids. This base does nothing (the "no
// music" choice); the application drives it with Update once per update and SetVolume on volume
// changes.
#pragma once
#include <string>

namespace Fw {

class MusicInterface {
public:
    virtual ~MusicInterface() = default;
    virtual bool LoadMusic(int /*songId*/, const std::string& /*fileName*/) { return false; }
    virtual void PlayMusic(int /*songId*/, int /*offset*/, bool /*noLoop*/) {}
    virtual void StopMusic(int /*songId*/) {}
    virtual void PauseMusic(int /*songId*/) {}
    virtual void ResumeMusic(int /*songId*/) {}
    virtual void StopAllMusic() {}
    virtual void UnloadMusic(int /*songId*/) {}
    virtual void UnloadAllMusic() {}
    virtual void PauseAllMusic() {}
    virtual void ResumeAllMusic() {}
    virtual void FadeIn(int /*songId*/, int /*offset*/, double /*speed*/, bool /*noLoop*/) {}
    virtual void FadeOut(int /*songId*/, bool /*stopWhenSilent*/, double /*speed*/) {}
    virtual void FadeOutAll(bool /*stopWhenSilent*/, double /*speed*/) {}
    virtual void SetSongVolume(int /*songId*/, double /*volume*/) {}
    virtual void SetSongMaxVolume(int /*songId*/, double /*volume*/) {}
    virtual bool IsPlaying(int /*songId*/) { return false; }
    virtual void SetVolume(double /*masterVolume*/) {}
    virtual void SetMusicAmplify(int /*songId*/, double /*amplification*/) {}
    virtual void Update() {}
};

// The back end the game runs with: loading reports success, nothing plays.
class BassMusicInterface : public MusicInterface {
public:
    explicit BassMusicInterface(void* /*window*/ = nullptr) {}
    bool LoadMusic(int, const std::string&) override { return true; }
};

} // namespace Fw
