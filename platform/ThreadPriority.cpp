#include "platform/ThreadPriority.h"

namespace Platform {
namespace {
thread_local int tPriority = kThreadPriorityNormal;
}

int GetCurrentThreadPriority()
{
    return tPriority;
}

bool SetCurrentThreadPriority(int priority)
{
    tPriority = priority;
    return true;
}

} // namespace Platform
