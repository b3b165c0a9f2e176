#include "engine/core/ThreadLauncher.h"

namespace {
VTStdThreadLauncher& RealLauncher()
{
    static VTStdThreadLauncher launcher;
    return launcher;
}
Platform::ServiceSlot<VTThreadLauncher> gLauncherSlot;
} // namespace

void VTStdThreadLauncher::Launch(const std::string& /*name*/, std::function<void()> job)
{
    std::lock_guard<std::mutex> hold(lock_);
    threads_.emplace_back(std::move(job));
}

void VTStdThreadLauncher::JoinAll()
{
    // A job may launch another (never the case today); take the list in rounds.
    for (;;) {
        std::vector<std::thread> threads;
        {
            std::lock_guard<std::mutex> hold(lock_);
            threads.swap(threads_);
        }
        if (threads.empty())
            return;
        for (std::thread& t : threads)
            t.join();
    }
}

VTThreadLauncher& GetThreadLauncher() { return gLauncherSlot.Get(RealLauncher()); }

VTThreadLauncher* SetThreadLauncher(VTThreadLauncher* launcher)
{
    return gLauncherSlot.Exchange(launcher, &RealLauncher());
}
