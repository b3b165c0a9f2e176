// The settings file's temporary: one name per file ("<file>.tmp"), and the per-process names older
// builds left behind after a kill are removed when the store is made.
#include "platform/linux/FileRegistryStore.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

std::set<std::string> FilesIn(const std::string& folder)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

TEST(FileRegistryStoreTemporary, StaleTemporariesGoAndNoneStays)
{
    TestSupport::TempFolder folder;
    for (const char* name : {"registry.txt.tmp4242", "registry.txt.tmp7", "registry.txt.tmpnotapid",
                             "other.txt.tmp99", "registry.txt.tmp"})
        TestSupport::WriteFileBytes(folder.File(name), "left behind");
    Platform::FileRegistryStore store(folder.File("registry.txt"));
    EXPECT_EQ(FilesIn(folder.Path()),
              (std::set<std::string>{"registry.txt.tmpnotapid", "other.txt.tmp99", "registry.txt.tmp"}));
    const uint32_t value = 5;
    ASSERT_TRUE(store.WriteValue("Software\\Test", "Value", 4, &value, sizeof value));
    EXPECT_EQ(FilesIn(folder.Path()), (std::set<std::string>{"registry.txt", "registry.txt.tmpnotapid", "other.txt.tmp99"}));
}

} // namespace
