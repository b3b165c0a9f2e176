// FIFO of window messages that the window procedure defers to the main loop, with the coalescing
// rules that keep it short: nothing after a close, one timer at the tail, one colour/display change.
#pragma once
#include "platform/WindowMessages.h"

#include <cstddef>
#include <deque>

namespace Fw {

class DeferredMessageQueue {
public:
    // Whether the window procedure defers this message at all.
    static bool IsDeferred(uint32_t message);
    // Appends message unless a coalescing rule drops it; false when dropped.
    bool Push(const Platform::Message& message);
    bool Pop(Platform::Message& out);
    bool Empty() const { return queue_.empty(); }
    std::size_t Size() const { return queue_.size(); }
    void Clear() { queue_.clear(); }
    const std::deque<Platform::Message>& Items() const { return queue_; }

private:
    std::deque<Platform::Message> queue_;
};

} // namespace Fw
