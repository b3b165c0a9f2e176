// The main thread's task queue: order, one run per task, and tasks posted while it drains.
#include "engine/core/MainThreadTasks.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

TEST(MainThreadTasks, RunsEachTaskOnceInOrderAndKeepsLatePostsForTheNextStep)
{
    VTMainThreadTasks tasks;
    std::string trace;
    std::thread poster([&] {
        tasks.Post([&] { trace += 'a'; });
        tasks.Post([&] {
            trace += 'b';
            tasks.Post([&] { trace += 'c'; }); // posted while draining: waits for the next step
        });
        tasks.Post(nullptr);
    });
    poster.join();
    EXPECT_EQ(tasks.Pending(), 2u) << "an empty task is not queued";
    EXPECT_EQ(tasks.RunPending(), 2u);
    EXPECT_EQ(trace, "ab");
    EXPECT_EQ(tasks.RunPending(), 1u);
    EXPECT_EQ(trace, "abc");
    EXPECT_EQ(tasks.RunPending(), 0u);
}
