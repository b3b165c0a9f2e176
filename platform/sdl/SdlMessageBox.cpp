#include "platform/sdl/SdlMessageBox.h"

#include "platform/DebugOutput.h"

#include <SDL.h>

namespace Platform {
namespace {

const char* ButtonText(int id)
{
    switch (id) {
    case kIdOk: return "OK";
    case kIdCancel: return "Cancel";
    case kIdAbort: return "Abort";
    case kIdRetry: return "Retry";
    case kIdIgnore: return "Ignore";
    case kIdYes: return "Yes";
    case kIdNo: return "No";
    default: return "?";
    }
}

Uint32 IconFlags(uint32_t style)
{
    switch (style & 0xF0) {
    case kMbIconError: return SDL_MESSAGEBOX_ERROR;
    case kMbIconWarning: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

} // namespace

int SdlMessageBox::Show(void* parent, const std::string& text, const std::string& caption, uint32_t style)
{
    int ids[3];
    const int count = MessageBoxButtons(style, ids);
    const int defaultAnswer = MessageBoxDefaultAnswer(style);
    SDL_MessageBoxButtonData buttons[3];
    for (int i = 0; i < count; ++i) {
        buttons[i].flags = 0;
        if (ids[i] == defaultAnswer)
            buttons[i].flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
        // Escape answers Cancel or No when the box has one, as the native boxes do.
        if (ids[i] == kIdCancel || (ids[i] == kIdNo && count == 2))
            buttons[i].flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        buttons[i].buttonid = ids[i];
        buttons[i].text = ButtonText(ids[i]);
    }
    SDL_MessageBoxData data{};
    data.flags = IconFlags(style);
    data.window = static_cast<SDL_Window*>(parent);
    data.title = caption.c_str();
    data.message = text.c_str();
    data.numbuttons = count;
    data.buttons = buttons;
    int answer = 0;
    if (SDL_ShowMessageBox(&data, &answer) != 0 || answer <= 0) {
        OutputDebugText("[message box] " + caption + ": " + text + "\n");
        return defaultAnswer;
    }
    return answer;
}

} // namespace Platform
