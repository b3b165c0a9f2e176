// How the engine starts its background jobs (the start-up worker, level loads): one small service,
// real threads in the program, a manual launcher in tests that runs each job when the test says.
// Every job launched is run exactly once; JoinAll waits for all of them (the engine calls it before
// the interpreter is finalised).
#pragma once
#include "platform/ServiceSlot.h"

#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class VTThreadLauncher {
public:
    virtual ~VTThreadLauncher() = default;
    // Starts job (name: for logs and tests only). Any thread.
    virtual void Launch(const std::string& name, std::function<void()> job) = 0;
    // Returns once every job launched so far has ended. Not from inside a job.
    virtual void JoinAll() = 0;
};

// One std::thread per job; threads are kept until JoinAll (or destruction) joins them.
class VTStdThreadLauncher final : public VTThreadLauncher {
public:
    ~VTStdThreadLauncher() override { JoinAll(); }
    void Launch(const std::string& name, std::function<void()> job) override;
    void JoinAll() override;

private:
    std::mutex lock_;
    std::vector<std::thread> threads_;
};

// The launcher the engine uses: the installed one, else the process's real one.
VTThreadLauncher& GetThreadLauncher();
// Installs launcher (null: the real one again); returns the one installed before.
VTThreadLauncher* SetThreadLauncher(VTThreadLauncher* launcher);
using ScopedThreadLauncher = Platform::ScopedService<VTThreadLauncher, &SetThreadLauncher>;
