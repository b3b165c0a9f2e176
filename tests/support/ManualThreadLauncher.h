// Test launcher: keeps each launched job until the test runs it on its own thread (RunNext, RunAll),
// so a test chooses the point at which a background job happens. JoinAll runs what is left, as
// joining real threads would wait for them. Install it with ScopedThreadLauncher.
#pragma once
#include "engine/core/ThreadLauncher.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace TestSupport {

class ManualThreadLauncher final : public VTThreadLauncher {
public:
    void Launch(const std::string& name, std::function<void()> job) override
    {
        launched.push_back(name);
        jobs_.emplace_back(name, std::move(job));
    }
    void JoinAll() override { RunAll(); }

    // Runs the oldest waiting job; false when none waits.
    bool RunNext()
    {
        if (jobs_.empty())
            return false;
        auto job = std::move(jobs_.front());
        jobs_.pop_front();
        job.second();
        return true;
    }
    void RunAll()
    {
        while (RunNext()) {
        }
    }
    size_t Waiting() const { return jobs_.size(); }

    std::vector<std::string> launched; // every name, in launch order

private:
    std::deque<std::pair<std::string, std::function<void()>>> jobs_;
};

} // namespace TestSupport
