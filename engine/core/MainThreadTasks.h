// Work that other threads hand to the main thread: the script's start-up worker and the level-load
// thread must not touch the display or the visible widgets while the main thread draws them. The
// engine drains the queue at the beginning of each application step, on the main thread.
#pragma once
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

class VTMainThreadTasks {
public:
    using Task = std::function<void()>;

    // Queues task for the next RunPending. Any thread.
    void Post(Task task);
    // Main thread: runs the tasks queued before the call, in the order they were posted; a task
    // posted meanwhile waits for the next call. Returns the number run.
    size_t RunPending();
    size_t Pending() const;

private:
    mutable std::mutex mutex_;
    std::vector<Task> tasks_;
};

// The process's queue, drained by the engine's UpdateAppStep.
VTMainThreadTasks& MainThreadTasks();
