#include "platform/fake/ScriptedMessageBox.h"

namespace Platform {

int ScriptedMessageBox::Show(void*, const std::string& text, const std::string& caption, uint32_t style)
{
    std::lock_guard lock(mutex_);
    shown_.push_back({text, caption, style});
    if (answers_.empty())
        return MessageBoxDefaultAnswer(style);
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

void ScriptedMessageBox::Answer(int id)
{
    std::lock_guard lock(mutex_);
    answers_.push_back(id);
}

std::vector<ScriptedMessageBox::Shown> ScriptedMessageBox::ShownBoxes() const
{
    std::lock_guard lock(mutex_);
    return shown_;
}

} // namespace Platform
