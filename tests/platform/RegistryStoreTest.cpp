#include "platform/RegistryStore.h"
#include "platform/RegistryTree.h"
#include "platform/fake/FakeUserFolders.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "platform/linux/FileRegistryStore.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Platform::FileRegistryStore;
using Platform::kRegDword;
using Platform::kRegSz;
using Platform::RegistryValue;
using TestSupport::TempFolder;

const char kKey[] = "SOFTWARE\\Varnel Games\\Corvin HOG";

RegistryValue Dword(uint32_t v)
{
    return {kRegDword, {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}};
}

ino_t Inode(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(FileRegistryStore, FreshStoreReadsWhatAnotherWrote)
{
    TempFolder dir;
    const std::string path = dir.File("cfg/registry.txt"); // folder created on first write
    const uint32_t volume = 85;
    const std::string name = "Player \"One\" [a%b]\nline"; // every character the text form escapes
    const std::string binary("\x00\x01\xff\n", 4);
    {
        FileRegistryStore store(path);
        ASSERT_TRUE(store.WriteValue(kKey, "MusicVolume", kRegDword, &volume, 4));
        ASSERT_TRUE(store.WriteValue(std::string(kKey) + "\\Test3D", "RuntimeError", kRegSz, name.data(), name.size()));
        ASSERT_TRUE(store.WriteValue(kKey, name, 3, binary.data(), binary.size()));
        ASSERT_TRUE(store.WriteValue(kKey, "Empty", kRegSz, nullptr, 0));
    }
    FileRegistryStore fresh(path);
    EXPECT_EQ(fresh.ReadValue(kKey, "MusicVolume"), Dword(85));
    EXPECT_EQ(fresh.ReadValue("software/varnel games/CORVIN HOG/test3d/", "runtimeerror"),
              (RegistryValue{kRegSz, {name.begin(), name.end()}}));
    EXPECT_EQ(fresh.ReadValue(kKey, name), (RegistryValue{3, {binary.begin(), binary.end()}}));
    EXPECT_EQ(fresh.ReadValue(kKey, "Empty"), (RegistryValue{kRegSz, {}}));
    EXPECT_FALSE(fresh.ReadValue(kKey, "Missing"));
    EXPECT_FALSE(fresh.ReadValue("SOFTWARE\\Other", "MusicVolume"));
}

TEST(FileRegistryStore, KeysAndNamesMatchIgnoringCaseAndKeepFirstSpelling)
{
    TempFolder dir;
    FileRegistryStore store(dir.File("r.txt"));
    const uint32_t one = 1, two = 2;
    ASSERT_TRUE(store.WriteValue(kKey, "InProgress", kRegDword, &one, 4));
    ASSERT_TRUE(store.WriteValue("software\\VARNEL GAMES\\corvin hog", "INPROGRESS", kRegDword, &two, 4));
    EXPECT_EQ(store.ReadValue(kKey, "inprogress"), Dword(2));
    const std::string text = TestSupport::ReadFileBytes(store.Path());
    EXPECT_NE(text.find("[SOFTWARE\\Varnel Games\\Corvin HOG]"), std::string::npos) << text;
    EXPECT_NE(text.find("\"InProgress\"="), std::string::npos) << text;
    EXPECT_EQ(text.find("INPROGRESS"), std::string::npos) << "a second spelling was stored:\n" << text;
}

TEST(FileRegistryStore, EachWriteReplacesTheFileAtomically)
{
    TempFolder dir;
    const std::string path = dir.File("r.txt");
    FileRegistryStore store(path);
    const uint32_t v = 1;
    ASSERT_TRUE(store.WriteValue(kKey, "InProgress", kRegDword, &v, 4));
    const ino_t first = Inode(path);
    ASSERT_TRUE(store.WriteValue(kKey, "InProgress", kRegDword, &v, 4));
    // A rename puts a new inode in place; rewriting the file in place would keep the old one and
    // could leave a torn file after a crash.
    EXPECT_NE(Inode(path), first);
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path())) {
        ++entries;
        EXPECT_EQ(e.path().filename(), "r.txt") << "temporary file left behind";
    }
    EXPECT_EQ(entries, 1);
}

TEST(FileRegistryStore, FailedWriteKeepsValueAndErasePersists)
{
    TempFolder dir;
    const std::string path = dir.File("r.txt");
    FileRegistryStore store(path);
    const uint32_t v = 7;
    ASSERT_TRUE(store.WriteValue(kKey, "Is3D", kRegDword, &v, 4));
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0500), 0);
    const bool canStillWrite = ::access(dir.Path().c_str(), W_OK) == 0; // true when running as root
    const uint32_t w = 9;
    if (!canStillWrite) {
        EXPECT_FALSE(store.WriteValue(kKey, "Is3D", kRegDword, &w, 4));
        EXPECT_EQ(store.ReadValue(kKey, "Is3D"), Dword(7)) << "a write that was not stored changed the value";
    }
    ::chmod(dir.Path().c_str(), 0700);
    EXPECT_TRUE(store.EraseValue(kKey, "is3d"));
    EXPECT_FALSE(store.EraseValue(kKey, "is3d"));
    EXPECT_FALSE(FileRegistryStore(path).ReadValue(kKey, "Is3D"));
}

TEST(RegistryTree, DamagedLinesAreSkippedOthersKept)
{
    const auto tree = Platform::RegistryTree::Parse("\"Orphan\"=4:01000000\n"   // before any key
                                                    "[A\\B]\r\n"
                                                    "\"Good\"=4:05000000\r\n"
                                                    "\"Odd\"=4:050\n"           // odd number of digits
                                                    "\"Bad%zz\"=1:41\n"         // broken escape
                                                    "garbage\n"
                                                    "\"Str\"=1:4142");          // no final newline
    EXPECT_EQ(tree.Find("a/b", "good")->data, (std::vector<uint8_t>{5, 0, 0, 0}));
    EXPECT_EQ(tree.Find("A\\B", "Str")->data, (std::vector<uint8_t>{'A', 'B'}));
    EXPECT_EQ(tree.Find("A\\B", "Odd"), nullptr);
    EXPECT_EQ(tree.Find("", "Orphan"), nullptr);
}

TEST(RegistryStore, DefaultFileFollowsOverrideThenConfigFolder)
{
    TempFolder dir;
    const char* saved = std::getenv("FW_REGISTRY_FILE");
    const std::string savedValue = saved ? saved : "";
    ::unsetenv("FW_REGISTRY_FILE");
    {
        Platform::FakeUserFolders folders(dir.File("data"), dir.File("config"));
        Platform::ScopedUserFolders installed(folders);
        EXPECT_EQ(Platform::DefaultRegistryFilePath(), dir.File("config") + "/casual-engine/registry.txt");
        ::setenv("FW_REGISTRY_FILE", dir.File("x.txt").c_str(), 1);
        EXPECT_EQ(Platform::DefaultRegistryFilePath(), dir.File("x.txt"));
    }
    if (saved)
        ::setenv("FW_REGISTRY_FILE", savedValue.c_str(), 1);
    else
        ::unsetenv("FW_REGISTRY_FILE");
}

TEST(MemoryRegistryStore, InstalledStoreServesTheProcessAndCanFailWrites)
{
    Platform::MemoryRegistryStore fake;
    Platform::ScopedRegistryStore installed(fake);
    const uint32_t v = 3;
    ASSERT_TRUE(Platform::GetRegistryStore().WriteValue(kKey, "ScreenMode", kRegDword, &v, 4));
    EXPECT_EQ(fake.ReadValue("software\\varnel games\\corvin hog", "screenmode"), Dword(3));
    fake.SetFailWrites(true);
    const uint32_t w = 4;
    EXPECT_FALSE(fake.WriteValue(kKey, "ScreenMode", kRegDword, &w, 4));
    EXPECT_FALSE(fake.EraseValue(kKey, "ScreenMode"));
    EXPECT_EQ(fake.ReadValue(kKey, "ScreenMode"), Dword(3));
    EXPECT_EQ(fake.WriteCount(), 1);
}

} // namespace
