// The termination signals over sigaction: the handler only counts (and, on the second signal,
// writes one line and ends the process), which is all a signal handler may safely do.
#include "platform/TerminationSignals.h"

#include <atomic>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace Platform {
namespace {

std::atomic<int> gReceived{0}; // signals received
std::atomic<int> gTaken{0};    // of those, taken by the pump
static_assert(std::atomic<int>::is_always_lock_free, "touched from a signal handler");

void Write(const char* text) { [[maybe_unused]] const ssize_t n = ::write(STDERR_FILENO, text, std::strlen(text)); }

void OnTerminationSignal(int number)
{
    if (gReceived.fetch_add(1) == 0)
        return;
    Write(number == SIGINT ? "SIGINT" : "SIGTERM");
    Write(" a second time: the program ends at once.\n");
    ::_exit(128 + number);
}

} // namespace

void InstallTerminationSignals()
{
    struct sigaction action {};
    action.sa_handler = &OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

bool TakeTerminationSignal()
{
    int taken = gTaken.load();
    while (taken < gReceived.load())
        if (gTaken.compare_exchange_weak(taken, taken + 1))
            return true;
    return false;
}

bool TerminationSignalled() { return gReceived.load() > 0; }

} // namespace Platform
