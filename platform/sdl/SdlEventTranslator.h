// Turns SDL events into window messages: keys into key-down/up with virtual-key codes plus the
// characters SDL does not report as text (Enter, Backspace, Tab, Escape, Ctrl+C/X/V/Z), text input
// into character messages (UTF-16 units), mouse and window events into their messages.
// Pure: no SDL calls, so tests feed it made-up events.
#pragma once
#include "platform/WindowMessages.h"
#include <SDL.h>
#include <deque>

namespace Platform {

class SdlEventTranslator {
public:
    // Appends the messages for event to out. window is the framework id of the event's window
    // (SDL window ids are used as framework ids, so this is normally event.window.windowID).
    void Translate(const SDL_Event& event, std::deque<Message>& out);
    // The window that receives keys, text and SDL_QUIT (the last focused or created window).
    void SetDefaultWindow(WindowId window) { defaultWindow_ = window; }
    WindowId DefaultWindow() const { return defaultWindow_; }

private:
    void TranslateWindowEvent(const SDL_WindowEvent& event, std::deque<Message>& out);
    void TranslateKey(const SDL_KeyboardEvent& event, std::deque<Message>& out);
    void TranslateText(const SDL_TextInputEvent& event, std::deque<Message>& out);
    WindowId KeyWindow(uint32_t sdlWindowId) const { return sdlWindowId ? sdlWindowId : defaultWindow_; }

    WindowId defaultWindow_ = 0;
    bool altDown_ = false;
    bool ctrlDown_ = false;
    int lastX_ = 0, lastY_ = 0;
};

} // namespace Platform
