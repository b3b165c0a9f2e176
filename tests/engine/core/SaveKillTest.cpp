// Saves that survive a kill: a child process saves the settings store or "pref.dat" in a loop and
// is killed at a random moment; the file must then hold the last save that finished or the one in
// progress, whole, and at most the one temporary file may be left beside it. Repeated a few
// hundred times per file, the file kept from one round to the next.
#include "engine/core/ProfileStore.h"
#include "platform/fake/FakeUserFolders.h"
#include "platform/linux/FileRegistryStore.h"

#include "support/QuietProfileHost.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kKills = 100;

// The payload of generation g: its size and letter vary, so a torn or mixed file shows.
std::string Payload(uint32_t generation)
{
    return std::to_string(generation) + ":" + std::string(2000 + generation % 30000, char('a' + generation % 26));
}

// The generation whose payload text is, or 0 when text is no whole payload.
uint32_t GenerationOf(const std::string& text)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 9 ||
        text.find_first_not_of("0123456789") != colon)
        return 0;
    const uint32_t generation = uint32_t(std::stoul(text.substr(0, colon)));
    return text == Payload(generation) ? generation : 0;
}

// Runs kKills rounds. save(g) writes generation g in the child (false: the save failed); load()
// reads the file in the parent and returns the generation it holds (0: none, or not whole).
void KillWhileSaving(const std::string& file, const std::function<bool(uint32_t)>& save,
                     const std::function<uint32_t()>& load)
{
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::mt19937 random(20240531);
    uint32_t inFile = 0;
    int inProgressLanded = 0, noneFinished = 0;
    // How long one save takes here, learnt as the rounds go, so the kills spread over whole saves.
    std::chrono::microseconds saveTime{2000};
    using Clock = std::chrono::steady_clock;
    for (int round = 0; round < kKills; ++round) {
        const uint32_t base = uint32_t(round + 1) * 100000;
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            const char started = 's';
            if (::write(pipeEnds[1], &started, 1) != 1)
                ::_exit(2);
            for (uint32_t g = base + 1;; ++g) {
                if (!save(g))
                    ::_exit(3);
                // The parent learns which generations finished.
                if (::write(pipeEnds[1], &g, sizeof g) != sizeof g)
                    ::_exit(4);
            }
        }
        ::close(pipeEnds[1]);
        char started = 0;
        ASSERT_EQ(::read(pipeEnds[0], &started, 1), 1);
        // Let zero to two saves finish, then kill at a random point of the next one or two:
        // inside a write, between the write and the rename, or between two saves.
        uint32_t finished = 0, g = 0;
        auto last = Clock::now();
        for (int wait = int(random() % 3); wait > 0; --wait) {
            ASSERT_EQ(::read(pipeEnds[0], &g, sizeof g), ssize_t(sizeof g));
            finished = g;
            const auto now = Clock::now();
            saveTime = (saveTime * 3 + std::chrono::duration_cast<std::chrono::microseconds>(now - last)) / 4;
            last = now;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % uint64_t(2 * saveTime.count() + 1)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the child stopped by itself, status "
                                         << status;
        while (::read(pipeEnds[0], &g, sizeof g) == sizeof g)
            finished = g;
        ::close(pipeEnds[0]);

        const uint32_t now = load();
        const uint32_t inProgress = finished ? finished + 1 : base + 1;
        const bool allowed = now == inProgress || (finished ? now == finished : now == inFile);
        ASSERT_TRUE(allowed) << "round " << round << ": file holds generation " << now << ", last finished "
                             << finished << ", before the round " << inFile;
        inFile = now;
        inProgressLanded += now == inProgress && now != 0;
        noneFinished += finished == 0;
        for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(file).parent_path())) {
            const std::string name = e.path().filename().string();
            ASSERT_TRUE(e.path() == file || e.path() == file + ".tmp") << "round " << round << ": left behind " << name;
        }
    }
    std::printf("%d kills: %d before any save finished, %d with the save in progress already renamed\n", kKills,
                noneFinished, inProgressLanded);
}

TEST(SaveKill, SettingsStoreHoldsAWholeSave)
{
    TestSupport::TempFolder folder;
    const std::string path = folder.File("config/registry.txt");
    KillWhileSaving(
        path,
        [&](uint32_t g) {
            Platform::FileRegistryStore store(path);
            const std::string text = Payload(g);
            return store.WriteValue("Software\\Kill", "Payload", 1, text.data(), text.size());
        },
        [&] {
            Platform::FileRegistryStore store(path);
            const auto value = store.ReadValue("Software\\Kill", "Payload");
            return value ? GenerationOf(std::string(value->data.begin(), value->data.end())) : 0;
        });
}

TEST(SaveKill, PrefDatHoldsAWholeSave)
{
    TestSupport::TempFolder folder;
    Platform::FakeUserFolders folders(folder.Path(), folder.Path());
    Platform::ScopedUserFolders installed(folders);
    TestSupport::QuietProfileHost host;
    VTProfileStore first(host);
    const std::string path = first.Path();
    KillWhileSaving(
        path,
        [&](uint32_t g) {
            VTProfileStore store(host);
            store.Load();
            if (store.Count() == 0)
                store.CreateProfile(L"Player");
            store.SetSelected(0);
            return store.SetSelectedData(Payload(g));
        },
        [&] {
            VTProfileStore store(host);
            store.Load();
            if (store.Count() != 1)
                return 0u;
            store.SetSelected(0);
            return GenerationOf(store.GetSelectedData());
        });
}

} // namespace
