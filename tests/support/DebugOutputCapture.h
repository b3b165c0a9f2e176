// Collects everything written to the debugger output while the object lives, and restores the
// previous sink afterwards. Thread-safe (the sink is called under the output's lock).
#pragma once
#include "platform/DebugOutput.h"

#include <string>

namespace TestSupport {

class DebugOutputCapture {
public:
    DebugOutputCapture()
        : previous_(Platform::SetDebugOutputSink([this](std::string_view t) { text_.append(t); }))
    {
    }
    ~DebugOutputCapture() { Platform::SetDebugOutputSink(std::move(previous_)); }
    DebugOutputCapture(const DebugOutputCapture&) = delete;
    DebugOutputCapture& operator=(const DebugOutputCapture&) = delete;

    // Everything written so far. Read it only while no other thread writes.
    const std::string& Text() const { return text_; }
    void Clear() { text_.clear(); }

private:
    std::string text_;
    Platform::DebugOutputSink previous_;
};

} // namespace TestSupport
