// Turns the window system's input events into window messages: keys into key-down/up with
// virtual-key codes plus the characters the back end does not report as text (Enter, Backspace,
// Tab, Escape, Ctrl+C/X/V/Z), text into character messages (UTF-16 units), mouse and window events
// into their messages. Knows no back end: the SDL window system fills InputEvents from SDL events.
#pragma once
#include "platform/WindowMessages.h"

#include <deque>
#include <string>

namespace Platform {

struct InputEvent {
    enum class Type {
        Quit, WindowClose, WindowMoved, WindowResized, WindowMinimized, WindowMaximized, WindowRestored,
        FocusGained, FocusLost, Exposed, KeyDown, KeyUp, Text, MouseMotion, MouseButtonDown, MouseButtonUp,
        MouseWheel, DisplayChanged
    };
    enum Button { Left = 1, Middle = 2, Right = 3 };

    Type type = Type::Quit;
    WindowId window = 0;  // 0: the window that has the focus
    uint32_t key = 0;     // virtual-key code (0: none)
    bool repeat = false;  // auto-repeated key press
    int32_t x = 0, y = 0; // pointer position, or the new position / size of a window
    int button = 0;       // Button
    int clicks = 1;       // 2 for a double click, 3 for a triple click ...
    int32_t wheel = 0;    // notches, positive away from the user
    std::string text;     // UTF-8
};

class InputTranslator {
public:
    void Translate(const InputEvent& event, std::deque<Message>& out);
    // The window that receives keys, text and Quit (the last focused or shown window).
    void SetDefaultWindow(WindowId window) { defaultWindow_ = window; }
    WindowId DefaultWindow() const { return defaultWindow_; }

private:
    void TranslateKey(const InputEvent& event, std::deque<Message>& out);
    void TranslateText(const InputEvent& event, std::deque<Message>& out);
    WindowId Target(WindowId window) const { return window ? window : defaultWindow_; }

    WindowId defaultWindow_ = 0;
    bool altDown_ = false;
    bool ctrlDown_ = false;
    int32_t lastX_ = 0, lastY_ = 0;
};

} // namespace Platform
