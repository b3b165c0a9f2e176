// The channel workers of a sound device and their schedule on the device's own time line. One
// thread (the device's timer, or a test's manual clock) runs the due workers outside any device
// lock; other threads install and remove workers and wait for a running call of the worker they
// remove, so the worker's data may be freed once removal returns.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>

#include "platform/SoundDevice.h"

namespace Platform {

class SoundWorkerTable {
public:
    // Installs, replaces or (worker null) removes the worker of channel; a new worker is first due
    // one period after now. Waits for a running call on that channel unless the caller is the
    // thread running it (a worker may remove or replace itself and others). A worker that removes
    // itself leaves alone a worker another thread installed on its channel during the call, so
    // a fade that ends just as another thread starts the next one cannot cancel the next one.
    void Set(int channel, SoundWorker worker, void* userData, int periodMs, uint64_t now);
    // Removes every worker, waiting for a running call as Set does.
    void Clear();
    // Calls every worker due at or before now once, in due order (ties by channel); a worker that
    // missed periods is next due one period after now. Call from one thread at a time.
    void RunDue(uint64_t now);
    // Earliest due time, or UINT64_MAX when no worker is installed.
    uint64_t NextDue() const;
    // The worker installed on channel, or null.
    SoundWorker Worker(int channel) const;

private:
    struct Entry {
        SoundWorker worker = nullptr;
        void* userData = nullptr;
        uint32_t period = 1;
        uint64_t due = 0;
        uint64_t generation = 0; // which installation this is
    };
    void WaitIdle(std::unique_lock<std::mutex>& lock, int channel);

    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::map<int, Entry> entries_;
    int runningChannel_ = 0; // channel whose worker is being called, 0 when none
    uint64_t runningGeneration_ = 0;
    uint64_t installs_ = 0;
    std::thread::id runner_;
};

} // namespace Platform
