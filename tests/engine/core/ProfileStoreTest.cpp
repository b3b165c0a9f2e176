// The profile store: the "pref.dat" layout, defaults, round trips, deletion and selection rules,
// damaged files and atomic saving.
#include "engine/core/DebugSettings.h"
#include "engine/core/ProfileStore.h"
#include "platform/fake/FakeUserFolders.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <random>

namespace {

class FakeHost : public VTProfileHost {
public:
    void SetSoundGroupVolume(int32_t volume, const char* group) override
    {
        calls.push_back(std::string(group ? group : "*") + "=" + std::to_string(volume));
    }
    void SetMusicVolume(int32_t volume) override { calls.push_back("music=" + std::to_string(volume)); }
    bool IsWindowed() const override { return windowed; }
    void SwitchScreenMode(bool on) override
    {
        calls.push_back(on ? "windowed" : "fullscreen");
        windowed = on;
    }
    void ReportNoSelectedProfile() override { calls.push_back("no profile"); }

    std::vector<std::string> calls;
    bool windowed = false;
};

std::string Int(int32_t v)
{
    std::string s;
    for (int shift = 0; shift < 32; shift += 8)
        s += static_cast<char>((static_cast<uint32_t>(v) >> shift) & 0xFF);
    return s;
}

std::string Header(const std::array<uint8_t, 16>& id, int32_t count, int32_t selected = -1, int32_t version = 3)
{
    std::string s(id.begin(), id.end());
    s += Int(version) + Int(60) + Int(60) + Int(60) + Int(60) + Int(100) + Int(100);
    s += std::string("\0\0\0\0", 4) + Int(selected) + Int(count);
    return s;
}

std::string Record(std::u16string_view name, const std::string& data)
{
    std::string s(260, '\0');
    for (size_t i = 0; i < name.size(); ++i) {
        s[2 * i] = static_cast<char>(name[i] & 0xFF);
        s[2 * i + 1] = static_cast<char>(name[i] >> 8);
    }
    return s + Int(static_cast<int32_t>(data.size())) + data;
}

class ProfileStoreTest : public testing::Test {
protected:
    void TearDown() override
    {
        gDebugSettings->surveyEdition = savedSurvey_;
        gDebugSettings->debugMode = savedDebug_;
    }
    std::string PrefPath() const { return folder.Path() + "/Varnel Games/Corvin HOG/pref.dat"; }

    TestSupport::TempFolder folder;
    Platform::FakeUserFolders folders{folder.Path(), folder.Path()};
    Platform::ScopedUserFolders installed{folders};
    FakeHost host;

private:
    bool savedSurvey_ = gDebugSettings->surveyEdition;
    bool savedDebug_ = gDebugSettings->debugMode;
};

} // namespace

TEST_F(ProfileStoreTest, NoFileGivesTheDefaultsAndTheGoldenHeader)
{
    host.windowed = true;
    VTProfileStore store(host);
    EXPECT_EQ(store.Path(), PrefPath());
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() + "/Varnel Games/Corvin HOG"));
    store.Load();
    // 100 x 60 x 0.01f truncates to 59; the defaults are full screen.
    EXPECT_EQ(host.calls, (std::vector<std::string>{"ui=59", "game=59", "ambient=59", "music=59", "fullscreen"}));
    ASSERT_TRUE(store.Save());
    const std::string golden = Header(VTProfileStore::kStandardIdentifier, 0);
    ASSERT_EQ(golden.size(), 56u);
    EXPECT_EQ(TestSupport::ReadFileBytes(PrefPath()), golden);
    EXPECT_FALSE(std::filesystem::exists(PrefPath() + ".tmp"));
}

TEST_F(ProfileStoreTest, GroupVolumesUseTheSinglePrecisionPercent)
{
    VTProfileStore store(host);
    struct Case { int32_t master, group, result; };
    for (const Case& c : {Case{100, 60, 59}, Case{100, 100, 99}, Case{50, 50, 24}, Case{0, 80, 0},
                          Case{100, 1, 0}, Case{INT_MAX, INT_MAX, INT_MAX}}) {
        store.Settings().masterSoundVolume = c.master;
        store.Settings().gameVolume = c.group;
        EXPECT_EQ(store.GetGroupVolume("game"), c.result) << c.master << " x " << c.group;
    }
    EXPECT_EQ(store.GetGroupVolume("music"), 100);
    EXPECT_EQ(store.GetGroupVolume("UI"), 100);
}

TEST_F(ProfileStoreTest, TwoProfilesRoundTrip)
{
    const std::wstring boris = L"B\u00F6ris \U0001F600";
    {
        VTProfileStore store(host);
        store.Load();
        EXPECT_TRUE(store.CreateProfile(L"Anna"));
        EXPECT_TRUE(store.CreateProfile(boris));
        EXPECT_EQ(store.Selected(), 1);
        EXPECT_TRUE(store.SetSelectedData("level=3;coins=40"));
        store.SetSelected(0);
        EXPECT_TRUE(store.SetSelectedData("x"));
        store.Settings().muted = 1;
        store.Settings().musicVolume = 80;
        host.windowed = true;
        ASSERT_TRUE(store.Save());
    }
    const std::string bytes = TestSupport::ReadFileBytes(PrefPath());
    ASSERT_EQ(bytes.size(), 56u + 264 + 1 + 264 + 16);
    EXPECT_EQ(bytes.substr(44, 2), std::string("\x01\x01", 2));
    EXPECT_EQ(bytes.substr(56, 8), std::string("A\0n\0n\0a\0", 8));
    EXPECT_EQ(bytes.substr(56 + 260, 5), Int(1) + "x");

    host.calls.clear();
    VTProfileStore again(host);
    again.Load();
    EXPECT_EQ(again.Names(), (std::vector<std::wstring>{L"Anna", boris}));
    EXPECT_EQ(again.Selected(), 0);
    EXPECT_EQ(again.GetSelectedData(), "x");
    again.SetSelected(1);
    EXPECT_EQ(again.GetSelectedData(), "level=3;coins=40");
    EXPECT_EQ(again.Settings().musicVolume, 80);
    // Muted: every group and the music at 0, whatever the stored volumes.
    EXPECT_EQ(host.calls, (std::vector<std::string>{"*=0", "*=0", "*=0", "music=0"}));
}

TEST_F(ProfileStoreTest, ForeignOrOldFilesLoadAsNoFile)
{
    std::filesystem::create_directories(folder.Path() + "/Varnel Games/Corvin HOG");
    const std::string withProfile = Record(u"Kim", "d");
    for (const std::string& file :
         {Header(VTProfileStore::kSurveyIdentifier, 1, 0) + withProfile,
          Header(VTProfileStore::kStandardIdentifier, 1, 0, 2) + withProfile,
          Header(VTProfileStore::kStandardIdentifier, 1, 0).substr(0, 55)}) {
        TestSupport::WriteFileBytes(PrefPath(), file);
        VTProfileStore store(host);
        store.Settings().musicVolume = 5;
        store.Load();
        EXPECT_EQ(store.Count(), 0u);
        EXPECT_EQ(store.Selected(), -1);
        EXPECT_EQ(store.Settings().musicVolume, 60);
        EXPECT_TRUE(store.CompareIdentifier(VTProfileStore::kStandardIdentifier));
    }
}

TEST_F(ProfileStoreTest, SurveyEditionHasItsOwnFolderAndIdentifier)
{
    gDebugSettings->surveyEdition = true;
    const std::string folderPath = folder.Path() + "/Varnel Games/SilverDuneSurvey";
    std::filesystem::create_directories(folderPath);
    TestSupport::WriteFileBytes(folderPath + "/pref.dat", Header(VTProfileStore::kSurveyIdentifier, 1, 0) + Record(u"Kim", "d"));
    VTProfileStore store(host);
    EXPECT_EQ(store.Path(), folderPath + "/pref.dat");
    store.Load();
    EXPECT_EQ(store.Names(), std::vector<std::wstring>{L"Kim"});
}

TEST_F(ProfileStoreTest, CreationAndDeletionRules)
{
    VTProfileStore store(host);
    store.Load();
    for (const wchar_t* name : {L"A", L"B", L"C"})
        ASSERT_TRUE(store.CreateProfile(name));
    EXPECT_FALSE(store.CreateProfile(L"B"));
    EXPECT_EQ(store.Count(), 3u);
    EXPECT_EQ(store.Selected(), 2);

    // Deleting the selected last profile selects the new last one.
    EXPECT_TRUE(store.DeleteProfile(2));
    EXPECT_EQ(store.Selected(), 1);
    // Deleting before the selection leaves the index, which now names the next profile.
    store.CreateProfile(L"C");
    store.SetSelected(1);
    EXPECT_TRUE(store.DeleteProfile(0));
    EXPECT_EQ(store.Names(), (std::vector<std::wstring>{L"B", L"C"}));
    EXPECT_EQ(store.Selected(), 1);

    EXPECT_FALSE(store.DeleteProfile(2));
    EXPECT_FALSE(store.DeleteProfile(-1));
    EXPECT_TRUE(store.DeleteProfile(0));
    EXPECT_TRUE(store.DeleteProfile(0));
    EXPECT_EQ(store.Count(), 0u);
    EXPECT_EQ(store.Selected(), -1);

    // Every change was saved.
    VTProfileStore reread(host);
    reread.Load();
    EXPECT_EQ(reread.Count(), 0u);
    EXPECT_EQ(reread.Selected(), -1);
}

TEST_F(ProfileStoreTest, ASelectionOutOfRangeNamesNoProfile)
{
    VTProfileStore store(host);
    store.Load();
    host.calls.clear();
    EXPECT_FALSE(store.SetSelectedData("lost"));
    EXPECT_EQ(host.calls, std::vector<std::string>{"no profile"});

    store.CreateProfile(L"Only");
    store.SetSelectedData("kept");
    for (int32_t index : {1, 7, -2, INT_MIN}) {
        store.SetSelected(index);
        EXPECT_EQ(store.GetSelectedData(), "") << index;
        EXPECT_FALSE(store.SetSelectedData("lost")) << index;
        EXPECT_FALSE(store.SetSelectedName(L"Other")) << index;
    }
    store.SetSelected(0);
    EXPECT_EQ(store.GetSelectedData(), "kept");
    EXPECT_TRUE(store.SetSelectedName(L"Renamed"));
    EXPECT_EQ(store.Name(0), L"Renamed");
    EXPECT_EQ(store.GetSelectedData(), "");
}

TEST_F(ProfileStoreTest, NamesAreCutTo128Units)
{
    VTProfileStore store(host);
    store.Load();
    ASSERT_TRUE(store.CreateProfile(std::wstring(200, L'a')));
    EXPECT_EQ(store.Name(0), std::wstring(128, L'a'));
    EXPECT_FALSE(store.CreateProfile(std::wstring(150, L'a'))); // the same once cut
    // A pair of surrogates is not split at the limit.
    ASSERT_TRUE(store.CreateProfile(std::wstring(127, L'b') + L"\U0001F600"));
    EXPECT_EQ(store.Name(1), std::wstring(127, L'b'));

    VTProfileStore reread(host);
    reread.Load();
    EXPECT_EQ(reread.Name(0), std::wstring(128, L'a'));
    EXPECT_EQ(reread.Name(1), std::wstring(127, L'b'));
}

TEST_F(ProfileStoreTest, DamagedFilesKeepOnlyWholeRecords)
{
    std::filesystem::create_directories(folder.Path() + "/Varnel Games/Corvin HOG");
    const auto id = VTProfileStore::kStandardIdentifier;
    const std::string two = Record(u"One", "first") + Record(u"Two", "second");
    const std::string full = Header(id, 2, 1) + two;

    // Every truncation: only the records that fit whole are kept.
    for (size_t size = 56; size <= full.size(); ++size) {
        TestSupport::WriteFileBytes(PrefPath(), full.substr(0, size));
        VTProfileStore store(host);
        store.Load();
        const size_t whole = size >= full.size() ? 2 : size >= 56 + 264 + 5 ? 1 : 0;
        ASSERT_EQ(store.Count(), whole) << "size " << size;
        EXPECT_EQ(store.Settings().count, static_cast<int32_t>(whole));
        EXPECT_EQ(store.GetSelectedData(), whole == 2 ? "second" : "") << "size " << size;
    }

    struct Case { const char* what; std::string file; size_t kept; };
    std::string unterminated = Record(u"", "d");
    for (size_t i = 0; i < 260; ++i)
        unterminated[i] = 'z';
    const Case cases[] = {
        {"negative length", Header(id, 1) + Record(u"N", "").substr(0, 260) + Int(-5) + "abc", 0},
        {"huge length", Header(id, 1) + Record(u"H", "").substr(0, 260) + Int(INT_MAX) + "abc", 0},
        {"huge count", Header(id, INT_MAX) + Record(u"Only", "x"), 1},
        {"negative count", Header(id, -3) + Record(u"Only", "x"), 0},
        {"count below the records", Header(id, 1) + two, 1},
        {"name without terminator", Header(id, 1) + unterminated, 1},
    };
    for (const Case& c : cases) {
        TestSupport::WriteFileBytes(PrefPath(), c.file);
        VTProfileStore store(host);
        store.Load();
        EXPECT_EQ(store.Count(), c.kept) << c.what;
    }
    // The name without a terminator: its "zz" units cut at 128.
    VTProfileStore last(host);
    last.Load();
    EXPECT_EQ(last.Name(0), std::wstring(128, L'\u7A7A'));
}

TEST_F(ProfileStoreTest, RandomDamageNeverBreaksLoading)
{
    std::filesystem::create_directories(folder.Path() + "/Varnel Games/Corvin HOG");
    const std::string full = Header(VTProfileStore::kStandardIdentifier, 3, 2) + Record(u"One", "first") +
                             Record(u"Two", "second") + Record(u"Three", std::string(40, 'q'));
    std::mt19937 random(20261210);
    for (int iteration = 0; iteration < 300; ++iteration) {
        std::string damaged = full;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int f = 0; f < flips; ++f) // damage anything after the identifier and version
            damaged[20 + random() % (damaged.size() - 20)] = static_cast<char>(random());
        damaged.resize(56 + random() % (damaged.size() - 55));
        TestSupport::WriteFileBytes(PrefPath(), damaged);

        VTProfileStore store(host);
        store.Load();
        ASSERT_LE(store.Count(), (damaged.size() - 56) / 264) << "seed iteration " << iteration;
        ASSERT_EQ(store.Settings().count, static_cast<int32_t>(store.Count()));
        store.GetSelectedData();
        ASSERT_TRUE(store.Save());
        VTProfileStore reread(host);
        reread.Load();
        ASSERT_EQ(reread.Names(), store.Names()) << "iteration " << iteration;
    }
}

TEST_F(ProfileStoreTest, AFailedSaveKeepsTheOldFile)
{
    VTProfileStore store(host);
    store.Load();
    store.CreateProfile(L"Safe");
    const std::string before = TestSupport::ReadFileBytes(PrefPath());
    ASSERT_FALSE(before.empty());
    std::filesystem::create_directories(PrefPath() + ".tmp"); // the temporary file cannot be made
    EXPECT_TRUE(store.CreateProfile(L"Lost"));
    EXPECT_FALSE(store.Save());
    EXPECT_EQ(TestSupport::ReadFileBytes(PrefPath()), before);
}

TEST_F(ProfileStoreTest, SetSelectedDataReportsAFailedSave)
{
    VTProfileStore store(host);
    store.Load();
    store.CreateProfile(L"Safe");
    const std::string before = TestSupport::ReadFileBytes(PrefPath());
    std::filesystem::create_directories(PrefPath() + ".tmp");
    EXPECT_FALSE(store.SetSelectedData("level=9"));
    EXPECT_EQ(TestSupport::ReadFileBytes(PrefPath()), before);
    EXPECT_EQ(store.GetSelectedData(), "level=9");
    std::filesystem::remove(PrefPath() + ".tmp");
    EXPECT_TRUE(store.SetSelectedData("level=10"));
}
