// A profile-store host that does nothing: volumes and screen-mode switches are dropped, and the
// window mode it reports is fixed when it is made. For tests of saving and loading "pref.dat".
#pragma once
#include "engine/core/ProfileStore.h"

namespace TestSupport {

class QuietProfileHost : public VTProfileHost {
public:
    explicit QuietProfileHost(bool windowed = false) : windowed_(windowed) {}
    void SetSoundGroupVolume(int32_t, const char*) override {}
    void SetMusicVolume(int32_t) override {}
    bool IsWindowed() const override { return windowed_; }
    void SwitchScreenMode(bool) override {}
    void ReportNoSelectedProfile() override {}

private:
    bool windowed_;
};

} // namespace TestSupport
