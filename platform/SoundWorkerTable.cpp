// Schedule of channel workers; see SoundWorkerTable.h for the contract.
#include "platform/SoundWorkerTable.h"

#include <algorithm>
#include <limits>

namespace Platform {

void SoundWorkerTable::WaitIdle(std::unique_lock<std::mutex>& lock, int channel)
{
    while (runningChannel_ != 0 && (channel == 0 || runningChannel_ == channel) &&
           runner_ != std::this_thread::get_id())
        idle_.wait(lock);
}

void SoundWorkerTable::Set(int channel, SoundWorker worker, void* userData, int periodMs, uint64_t now)
{
    std::unique_lock lock(mutex_);
    if (worker == nullptr) {
        auto found = entries_.find(channel);
        const bool selfRemoval = runningChannel_ == channel && runner_ == std::this_thread::get_id();
        if (found != entries_.end() && (!selfRemoval || found->second.generation == runningGeneration_))
            entries_.erase(found);
    } else {
        // A period of 0 would make RunDue spin on one worker: 1 ms is the finest step.
        const uint32_t period = static_cast<uint32_t>(std::max(periodMs, 1));
        entries_[channel] = Entry{worker, userData, period, now + period, ++installs_};
    }
    WaitIdle(lock, channel);
}

void SoundWorkerTable::Clear()
{
    std::unique_lock lock(mutex_);
    entries_.clear();
    WaitIdle(lock, 0);
}

void SoundWorkerTable::RunDue(uint64_t now)
{
    std::unique_lock lock(mutex_);
    for (;;) {
        auto next = entries_.end();
        for (auto it = entries_.begin(); it != entries_.end(); ++it)
            if (it->second.due <= now && (next == entries_.end() || it->second.due < next->second.due))
                next = it;
        if (next == entries_.end())
            return;
        const int channel = next->first;
        const Entry call = next->second;
        // A late timer calls each worker once and skips the periods it missed, so a stalled
        // thread does not burst a fade through several steps at once.
        next->second.due += call.period;
        if (next->second.due <= now)
            next->second.due = now + call.period;
        runningChannel_ = channel;
        runningGeneration_ = call.generation;
        runner_ = std::this_thread::get_id();
        lock.unlock();
        call.worker(channel, call.userData);
        lock.lock();
        runningChannel_ = 0;
        runner_ = std::thread::id();
        idle_.notify_all();
    }
}

uint64_t SoundWorkerTable::NextDue() const
{
    std::lock_guard lock(mutex_);
    uint64_t due = std::numeric_limits<uint64_t>::max();
    for (const auto& [channel, entry] : entries_)
        due = std::min(due, entry.due);
    return due;
}

SoundWorker SoundWorkerTable::Worker(int channel) const
{
    std::lock_guard lock(mutex_);
    auto found = entries_.find(channel);
    return found != entries_.end() ? found->second.worker : nullptr;
}

} // namespace Platform
