// "pref.dat": the profile store loads the bytes as the player's file, every accessor runs on
// what was kept, and a save followed by a reload gives back the same profiles.
#include "FuzzSupport.h"

#include "engine/core/ProfileStore.h"
#include "platform/fake/FakeUserFolders.h"

#include "support/TempFolder.h"

#include <fstream>

namespace {

class QuietHost : public VTProfileHost {
public:
    void SetSoundGroupVolume(int32_t, const char*) override {}
    void SetMusicVolume(int32_t) override {}
    bool IsWindowed() const override { return windowed; }
    void SwitchScreenMode(bool on) override { windowed = on; }
    void ReportNoSelectedProfile() override {}
    bool windowed = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TestSupport::TempFolder home;
    static Platform::FakeUserFolders folders(home.Path(), home.Path());
    static Platform::ScopedUserFolders installed(folders);
    QuietHost host;
    VTProfileStore store(host);
    {
        std::ofstream out(store.Path(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    store.Load();
    FuzzSupport::Check(store.Settings().count == int32_t(store.Count()), "the count is what was kept");
    for (const char* group : {"ui", "game", "ambient", "other"})
        store.GetGroupVolume(group);
    const std::vector<std::wstring> names = store.Names();
    for (size_t i = 0; i <= store.Count(); ++i)
        store.Name(i);
    store.GetSelectedData();
    FuzzSupport::Check(store.Save(), "the store saves");
    VTProfileStore reread(host);
    reread.Load();
    FuzzSupport::Check(reread.Names() == names, "a save reloads with the same profiles");
    return 0;
}
