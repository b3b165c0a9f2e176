// Test message boxes: records every box asked for and answers from a script queued by the test;
// with the script empty it answers the box's default button. Shows nothing.
#pragma once
#include "platform/MessageBox.h"
#include "platform/ServiceSlot.h"

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

class ScriptedMessageBox final : public MessageBoxService {
public:
    struct Shown {
        std::string text;
        std::string caption;
        uint32_t style = 0;
    };

    int Show(void* parent, const std::string& text, const std::string& caption, uint32_t style) override;

    // Queues the answer of the next box.
    void Answer(int id);
    std::vector<Shown> ShownBoxes() const;

private:
    mutable std::mutex mutex_;
    std::deque<int> answers_;
    std::vector<Shown> shown_;
};

using ScopedMessageBoxService = ScopedService<MessageBoxService, &SetMessageBoxService>;

} // namespace Platform
