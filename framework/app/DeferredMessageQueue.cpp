// Deferred-message queue and its coalescing rules.
#include "framework/app/DeferredMessageQueue.h"

#include <algorithm>

namespace Fw {

using namespace Platform;

bool DeferredMessageQueue::IsDeferred(uint32_t m)
{
    switch (m) {
    case Msg::Move:
    case Msg::Size:
    case Msg::Close:
    case Msg::ActivateApp:
    case Msg::SysColorChange:
    case Msg::DisplayChange:
    case Msg::KeyDown:
    case Msg::KeyUp:
    case Msg::Char:
    case Msg::SysKeyDown:
    case Msg::SysKeyUp:
    case Msg::Timer:
    case Msg::MouseWheel:
        return true;
    default:
        // The mouse messages, except the middle double click, which nothing handles.
        return m >= Msg::MouseMove && m <= Msg::MButtonUp;
    }
}

bool DeferredMessageQueue::Push(const Message& message)
{
    if (!queue_.empty()) {
        const uint32_t last = queue_.back().message;
        if (last == Msg::Close)
            return false; // the window is closing: nothing after it matters
        if (message.message == Msg::Timer && last == Msg::Timer)
            return false;
    }
    if (message.message == Msg::SysColorChange || message.message == Msg::DisplayChange) {
        const bool queued = std::any_of(queue_.begin(), queue_.end(), [](const Message& m) {
            return m.message == Msg::SysColorChange || m.message == Msg::DisplayChange;
        });
        if (queued)
            return false; // both lead to the same full refresh
    }
    queue_.push_back(message);
    return true;
}

bool DeferredMessageQueue::Pop(Message& out)
{
    if (queue_.empty())
        return false;
    out = queue_.front();
    queue_.pop_front();
    return true;
}

} // namespace Fw
