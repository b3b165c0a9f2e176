// A list of textures played one after another at a number of frames per second, looping or once.
// Restarts from its first frame whenever it becomes visible; stopped and showing nothing while
// hidden. Built from "vtanim" skin elements.
#pragma once
#include "engine/core/Texture.h"
#include "engine/widgets/CandyWidget.h"

#include <cstdint>
#include <memory>
#include <vector>

class VTDialog;
namespace Fw {
class AppBase;
}

class VTAnim : public VTCandyWidget {
public:
    explicit VTAnim(VTCandyWidget* engineParent);
    ~VTAnim() override;

    static std::unique_ptr<VTCandyWidget> CreateFromElement(VTDialog& dialog, Fw::AppBase* app,
                                                            const Platform::XmlNode& element);

    // The common properties, "fps" (0: stays on a frame), "oneshot" (false) and one frame per
    // "texture" child, in document order; the current frame is then the first.
    virtual void LoadFromXml(const Platform::XmlNode& element, Fw::AppBase* owner);

    // The frame drawn, -1 for none.
    int32_t GetCurrentFrame() const { return current_; }
    size_t GetFrameCount() const { return frames_.size(); }
    VTTexture* GetFrame(size_t index) const { return index < frames_.size() ? frames_[index].get() : nullptr; }
    bool IsStopped() const { return stopped_; }

    void Update() override;
    void Draw(Fw::Graphics* g) override;
    void OnBecameVisible() override;
    void OnBecameHidden() override;

    int32_t framesPerSecond = 0;
    bool oneShot = false; // stop on the last frame instead of looping

private:
    void Step();

    float time_ = 0.0f; // seconds accumulated towards the next frame
    bool stopped_ = true;
    std::vector<std::unique_ptr<VTTexture>> frames_;
    int32_t current_ = -1;
};
