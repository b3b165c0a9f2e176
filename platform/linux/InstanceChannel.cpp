// Lock file + datagram socket implementation of the single-instance claim.
#include "platform/linux/InstanceChannel.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace Platform {

namespace {

std::string SafeName(const std::string& name)
{
    std::string out;
    for (char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' ||
                        c == '_' || c == '-';
        out += ok ? c : '_';
    }
    return out.empty() ? std::string("_") : out;
}

bool FillAddress(const std::string& path, sockaddr_un& addr)
{
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.size() >= sizeof addr.sun_path)
        return false;
    std::memcpy(addr.sun_path, path.c_str(), path.size() + 1);
    return true;
}

} // namespace

InstanceChannel::~InstanceChannel() { Release(); }

void InstanceChannel::Release()
{
    if (socketFd_ >= 0) {
        ::close(socketFd_);
        ::unlink(socketPath_.c_str());
        socketFd_ = -1;
    }
    if (lockFd_ >= 0) {
        ::close(lockFd_); // drops the flock
        lockFd_ = -1;
    }
}

InstanceChannel::Result InstanceChannel::Claim(const std::string& name, const std::string& folder)
{
    Release();
    std::string dir = folder;
    if (dir.empty()) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        dir = (runtime && *runtime) ? runtime : "/tmp";
    }
    const std::string base = dir + "/" + SafeName(name);
    lockPath_ = base + ".lock";
    socketPath_ = base + ".sock";

    const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Result::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? Result::AlreadyRunning : Result::Unavailable;
    }
    lockFd_ = fd;

    // The holder listens; a stale socket file of a crashed holder is replaced.
    sockaddr_un addr;
    if (FillAddress(socketPath_, addr)) {
        ::unlink(socketPath_.c_str());
        const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (s >= 0 && ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0)
            socketFd_ = s;
        else if (s >= 0)
            ::close(s);
    }
    return Result::First;
}

void InstanceChannel::Notify(const std::string& text)
{
    sockaddr_un addr;
    if (socketPath_.empty() || !FillAddress(socketPath_, addr))
        return;
    const int s = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (s < 0)
        return;
    ::sendto(s, text.data(), text.size(), MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::close(s);
}

std::vector<std::string> InstanceChannel::Receive()
{
    std::vector<std::string> out;
    if (socketFd_ < 0)
        return out;
    char buffer[512];
    for (;;) {
        const ssize_t n = ::recv(socketFd_, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0)
            break;
        out.emplace_back(buffer, static_cast<size_t>(n));
    }
    return out;
}

} // namespace Platform
