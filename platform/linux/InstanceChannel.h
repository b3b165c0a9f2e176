// Single-instance claim and hand-over between processes of one user: a lock file held with flock
// in the user's runtime folder, and a local datagram socket next to it on which the holder hears
// the notifications of later starts. The claim lasts until this object is destroyed.
#pragma once
#include <string>
#include <vector>

namespace Platform {

class InstanceChannel {
public:
    enum class Result { First, AlreadyRunning, Unavailable };

    InstanceChannel() = default;
    ~InstanceChannel();
    InstanceChannel(const InstanceChannel&) = delete;
    InstanceChannel& operator=(const InstanceChannel&) = delete;

    // Claims name (characters outside [A-Za-z0-9._-] become '_'); folder defaults to
    // $XDG_RUNTIME_DIR, else /tmp. Calling it again releases the previous claim first.
    Result Claim(const std::string& name, const std::string& folder = "");
    // Sends text to the holder of the claimed name (no-op without a holder).
    void Notify(const std::string& text);
    // Texts received since the last call (holder only); never blocks.
    std::vector<std::string> Receive();
    // The lock file of the last Claim (held by this process or by the one running).
    const std::string& LockPath() const { return lockPath_; }

private:
    void Release();
    int lockFd_ = -1;
    int socketFd_ = -1;
    std::string lockPath_, socketPath_;
};

} // namespace Platform
