// The archive reader once published: after the archives are open, threads read entries through the
// process's free functions at once, each with its own handles, and get the same bytes as alone.
#include "framework/assets/PakInterface.h"

#include "support/ArchiveFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

std::string ReadThrough(const std::string& name)
{
    std::string out;
    EXPECT_TRUE(PakReadWholeFile(name.c_str(), out)) << name;
    PakFile* f = PakFOpen(name.c_str(), "rb");
    char line[8];
    std::string lines;
    while (f && PakFGetS(line, sizeof line, f))
        lines += line;
    PakFClose(f);
    return out + "|" + lines;
}

TEST(PakInterfaceThreads, ThreadsReadThePublishedArchivesAtOnce)
{
    TestSupport::ScratchFolder folder;
    TestSupport::ArchiveFiles files;
    for (int i = 0; i < 8; ++i)
        files.emplace_back("dir\\f" + std::to_string(i) + ".txt",
                           std::string(size_t(100 + 50 * i), char('a' + i)) + "\r\nend\n");
    folder.Write("data.pak", TestSupport::MakeArchive(files));

    // Another thread waits for the reader the way the loading thread does: through the published
    // pointer, after the main thread has opened the archives.
    std::atomic<bool> opened{false};
    std::vector<std::string> fromOther(files.size());
    std::thread other([&] {
        while (!opened.load(std::memory_order_acquire))
            std::this_thread::yield();
        for (int round = 0; round < 20; ++round)
            for (size_t i = 0; i < files.size(); ++i)
                fromOther[i] = ReadThrough(files[files.size() - 1 - i].first);
    });
    PakInterface pak;
    ASSERT_TRUE(pak.OpenPakArchive("data.pak"));
    opened.store(true, std::memory_order_release);
    std::vector<std::string> fromHere(files.size());
    for (int round = 0; round < 20; ++round)
        for (size_t i = 0; i < files.size(); ++i)
            fromHere[i] = ReadThrough(files[i].first);
    other.join();

    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& contents = files[i].second;
        std::string noCr = contents;
        noCr.erase(noCr.find('\r'), 1);
        EXPECT_EQ(fromHere[i], contents + "|" + noCr) << files[i].first;
        EXPECT_EQ(fromOther[files.size() - 1 - i], fromHere[i]) << files[i].first;
    }
}

} // namespace
