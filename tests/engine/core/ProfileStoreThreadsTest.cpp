// The profile store on two threads: two stores of one "pref.dat" save at once, many times. Every
// save must land whole, so the file always reloads as one of the two stores' profiles.
#include "engine/core/ProfileStore.h"
#include "platform/fake/FakeUserFolders.h"

#include "support/QuietProfileHost.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(ProfileStoreThreads, SavesOfOneFileOnTwoThreadsLandWhole)
{
    TestSupport::TempFolder folder;
    Platform::FakeUserFolders folders(folder.Path(), folder.Path());
    Platform::ScopedUserFolders installed(folders);
    TestSupport::QuietProfileHost host;
    VTProfileStore left(host), right(host);
    left.CreateProfile(L"Left");
    right.CreateProfile(L"Right");
    right.CreateProfile(L"Second");
    constexpr int kSaves = 100;
    auto saveMany = [](VTProfileStore& store, const std::string& fill) {
        bool ok = true;
        for (int i = 0; i < kSaves; ++i)
            ok = store.SetSelectedData(std::string(size_t(1000 + i * 37), fill[0])) && ok;
        return ok;
    };
    bool rightOk = false;
    std::thread other([&] { rightOk = saveMany(right, "r"); });
    EXPECT_TRUE(saveMany(left, "l"));
    other.join();
    EXPECT_TRUE(rightOk);

    VTProfileStore reread(host);
    reread.Load();
    const bool isLeft = reread.Names() == left.Names() && reread.GetSelectedData() == left.GetSelectedData();
    const bool isRight = reread.Names() == right.Names() && reread.GetSelectedData() == right.GetSelectedData();
    EXPECT_TRUE(isLeft || isRight) << reread.Count() << " profiles, selected data of "
                                   << reread.GetSelectedData().size() << " bytes";
}

} // namespace
