// One playable instance of a named sound, the object behind the scripts' sound items: played
// with or without a fade-in, paused and resumed in nested pairs, faded out, asked whether it
// plays. Fades run on the device's channel workers (25 ms steps in, 50 ms steps out, 0.05 each).
// The owner always deletes the instance; deleting it removes its worker first.
#pragma once
#include <atomic>
#include <memory>

class VTSoundManager;
struct VTSoundRecord;

class VTSoundInstance {
public:
    VTSoundInstance(VTSoundManager& manager, std::shared_ptr<VTSoundRecord> record);
    // Removes the fade worker and waits for a running step; a fade-out in progress ends with its
    // channel stopped, any other channel plays on.
    ~VTSoundInstance();
    VTSoundInstance(const VTSoundInstance&) = delete;
    VTSoundInstance& operator=(const VTSoundInstance&) = delete;

    // Starts a channel unless the last one still plays (then writes a warning and does nothing).
    void Play(bool fadeIn);
    // Fades the channel out and stops it. The flag is kept for the owner; the instance is never
    // deleted by its fade.
    void FadeOut(bool deleteWhenFaded);
    // Nested: the channel pauses on the first Pause and resumes on the matching last Resume.
    void Pause();
    void Resume();
    bool IsPlaying() const;

    int Channel() const { return channel_.load(); }
    float FadeFactor() const { return fade_.load(); }
    bool DeleteWhenFaded() const { return deleteWhenFaded_; }

private:
    static int FadeInWorker(int channel, void* self);
    static int FadeOutWorker(int channel, void* self);

    VTSoundManager& manager_;
    std::shared_ptr<VTSoundRecord> record_;
    std::atomic<int> channel_{0};
    int pauseCount_ = 0;
    std::atomic<float> fade_{1.0f};
    std::atomic<bool> fadingOut_{false};
    bool deleteWhenFaded_ = false;
};
