// The main thread's task queue.
#include "engine/core/MainThreadTasks.h"

void VTMainThreadTasks::Post(Task task)
{
    if (!task)
        return;
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
}

size_t VTMainThreadTasks::RunPending()
{
    std::vector<Task> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(tasks_);
    }
    // Run outside the lock: a task may post again or take locks of its own.
    for (Task& task : batch)
        task();
    return batch.size();
}

size_t VTMainThreadTasks::Pending() const
{
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

VTMainThreadTasks& MainThreadTasks()
{
    static VTMainThreadTasks queue;
    return queue;
}
