// Message boxes through SDL_ShowMessageBox. Works before SDL video is initialised; when SDL cannot
// show one (headless, no display) the text goes to the debugger output and the default answers.
#pragma once
#include "platform/MessageBox.h"

namespace Platform {

class SdlMessageBox final : public MessageBoxService {
public:
    int Show(void* parent, const std::string& text, const std::string& caption, uint32_t style) override;
};

} // namespace Platform
