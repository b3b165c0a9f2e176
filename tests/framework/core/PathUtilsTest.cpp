#include "framework/core/FileSystemPath.h"
#include "framework/core/PathUtils.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using TestSupport::TempFolder;

TEST(PathUtils, ResolveRelativePath)
{
    struct Case { const char* path; const char* base; const char* expected; };
    const Case cases[] = {
        {"a.png", "fonts/", "fonts/a.png"},
        {"..\\images\\a.png", "data\\fonts\\", "data\\images\\a.png"},
        {"../a.png", "data\\fonts", "data\\a.png"},          // any '\' makes the result use '\'
        {"../../x", "data/", "../x"},                        // nothing left to remove: keep climbing
        {"../x", "../", "../../x"},                          // ".." never removes a ".."
        {"./a/./b", "base/", "base/a/b"},
        {"..\\x", "c:\\game\\", "c:\\x"},                    // drive of the base kept
        {"d:\\abs\\x", "c:\\game\\", "d:\\abs\\x"},          // drive path unchanged
        {"/abs/x", "base/", "/abs/x"},                       // leading '/' is absolute
        {"../../../x", "/root/", "/x"},                      // nothing above the root
        {"x", "", "x"},
        {"sub/", "base", "base/sub/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Fw::ResolveRelativePath(c.path, c.base), c.expected) << c.path << " in " << c.base;
}

TEST(PathUtils, FileAndFolderParts)
{
    struct Case { const char* path; const char* name; const char* stem; const char* folder; const char* folderSep; };
    const Case cases[] = {
        {"a\\b/c.txt", "c.txt", "c", "a\\b", "a\\b/"},
        {"dir.v2\\file", "file", "file", "dir.v2", "dir.v2\\"}, // the '.' of a folder is no extension
        {"plain", "plain", "plain", "", ""},
        {"x.tar.gz", "x.tar.gz", "x.tar", "", ""},
        {"/abs/", "", "", "/abs", "/abs/"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Fw::GetPathFileName(c.path), c.name) << c.path;
        EXPECT_EQ(Fw::GetPathFileName(c.path, true), c.stem) << c.path;
        EXPECT_EQ(Fw::GetPathFolder(c.path), c.folder) << c.path;
        EXPECT_EQ(Fw::GetPathFolder(c.path, true), c.folderSep) << c.path;
    }
    EXPECT_EQ(Fw::AddTrailingSlash("", true), "");
    EXPECT_EQ(Fw::AddTrailingSlash("a/", true), "a/");
    EXPECT_EQ(Fw::AddTrailingSlash("a", true), "a\\");
    EXPECT_EQ(Fw::AddTrailingSlash("a", false), "a/");
    EXPECT_EQ(Fw::RemoveTrailingSlash("a\\\\"), "a\\");
    EXPECT_EQ(Fw::RemoveTrailingSlash("a/"), "a");
    EXPECT_EQ(Fw::RemoveTrailingSlash(""), "");
}

TEST(PathUtils, CreateAndDeleteTreesWithEitherSeparator)
{
    TempFolder dir;
    ASSERT_TRUE(Fw::CreateDirectories(dir.Path() + "\\Saves\\slot1/deep"));
    EXPECT_TRUE(fs::is_directory(dir.File("Saves/slot1/deep")));
    TestSupport::WriteFileBytes(dir.File("Saves/slot1/a.dat"), "x");
    // Outside the tree, reached only through a link inside it: must survive.
    TestSupport::WriteFileBytes(dir.File("keep.txt"), "k");
    fs::create_directory(dir.File("outside"));
    TestSupport::WriteFileBytes(dir.File("outside/keep.txt"), "k");
    fs::create_directory_symlink(dir.File("outside"), dir.File("Saves/link"));

    EXPECT_FALSE(Fw::DeleteTree("a"));
    EXPECT_FALSE(Fw::DeleteTree(dir.File("missing")));
    EXPECT_TRUE(Fw::DeleteTree(dir.Path() + "/SAVES\\")); // case and trailing separator as data write them
    EXPECT_FALSE(fs::exists(dir.File("Saves")));
    EXPECT_TRUE(fs::exists(dir.File("outside/keep.txt"))) << "followed a symbolic link out of the tree";
    EXPECT_FALSE(Fw::CreateDirectories(dir.File("keep.txt/sub"))) << "a file in the way is not a folder";
}

TEST(PathUtils, ToFileSystemPathMatchesCaseOnlyWhenNeeded)
{
    TempFolder dir;
    fs::create_directories(dir.File("Data/Sub"));
    TestSupport::WriteFileBytes(dir.File("Data/Sub/File.TXT"), "");
    TestSupport::WriteFileBytes(dir.File("Data/Sub/file.txt"), ""); // exact spelling wins when present
    EXPECT_EQ(Fw::ToFileSystemPath(dir.Path() + "\\data\\SUB\\file.txt"), dir.File("Data/Sub/file.txt"));
    EXPECT_EQ(Fw::ToFileSystemPath(dir.Path() + "/DATA/sub/new.txt"), dir.File("Data/Sub/new.txt"));
    EXPECT_EQ(Fw::ToFileSystemPath(dir.Path() + "/none/Data"), dir.File("none/Data"));
    // Relative names resolve against the working folder.
    const fs::path previous = fs::current_path();
    fs::current_path(dir.Path());
    EXPECT_EQ(Fw::ToFileSystemPath("data\\sub\\FILE.txt"), "Data/Sub/File.TXT");
    fs::current_path(previous);
}

TEST(PathUtils, AppDataFolderGetsOneSeparator)
{
    Fw::SetAppDataFolder("/home/u/.local/share/Game");
    EXPECT_EQ(Fw::GetAppDataFolder(), "/home/u/.local/share/Game/");
    Fw::SetAppDataFolder("C:\\Users\\u\\Game\\");
    EXPECT_EQ(Fw::GetAppDataFolder(), "C:\\Users\\u\\Game\\");
    Fw::SetAppDataFolder("");
    EXPECT_EQ(Fw::GetAppDataFolder(), "");
}

} // namespace
