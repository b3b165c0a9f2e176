// Input event -> window message translation.
#include "platform/InputTranslator.h"

namespace Platform {

namespace {

void Push(std::deque<Message>& out, WindowId w, uint32_t msg, uintptr_t wParam, intptr_t lParam)
{
    out.push_back(Message{w, msg, wParam, lParam});
}

// Decodes one UTF-8 sequence at s; advances s. Malformed bytes give U+FFFD.
uint32_t NextCodePoint(const unsigned char*& s)
{
    const unsigned char c = *s++;
    if (c < 0x80)
        return c;
    int extra = 0;
    uint32_t cp = 0;
    if ((c & 0xE0) == 0xC0) {
        extra = 1;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        extra = 2;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        extra = 3;
        cp = c & 0x07;
    } else {
        return 0xFFFD;
    }
    for (int i = 0; i < extra; ++i) {
        if ((*s & 0xC0) != 0x80)
            return 0xFFFD;
        cp = (cp << 6) | (*s++ & 0x3F);
    }
    return cp;
}

} // namespace

void InputTranslator::Translate(const InputEvent& e, std::deque<Message>& out)
{
    using T = InputEvent::Type;
    const WindowId w = Target(e.window);
    switch (e.type) {
    case T::Quit:
        if (defaultWindow_)
            Push(out, defaultWindow_, Msg::Close, 0, 0);
        break;
    case T::WindowClose: Push(out, w, Msg::Close, 0, 0); break;
    case T::WindowMoved: Push(out, w, Msg::Move, 0, MakePointParam(e.x, e.y)); break;
    case T::WindowResized: Push(out, w, Msg::Size, SizeRestored, MakePointParam(e.x, e.y)); break;
    case T::WindowMinimized: Push(out, w, Msg::Size, SizeMinimized, 0); break;
    case T::WindowMaximized: Push(out, w, Msg::Size, SizeMaximized, 0); break;
    case T::WindowRestored: Push(out, w, Msg::Size, SizeRestored, 0); break;
    case T::FocusGained:
        defaultWindow_ = w;
        Push(out, w, Msg::ActivateApp, 1, 0);
        break;
    case T::FocusLost:
        altDown_ = ctrlDown_ = false;
        Push(out, w, Msg::ActivateApp, 0, 0);
        break;
    case T::Exposed: Push(out, w, Msg::Paint, 0, 0); break;
    case T::KeyDown:
    case T::KeyUp: TranslateKey(e, out); break;
    case T::Text: TranslateText(e, out); break;
    case T::MouseMotion:
        lastX_ = e.x;
        lastY_ = e.y;
        Push(out, w, Msg::MouseMove, 0, MakePointParam(e.x, e.y));
        break;
    case T::MouseButtonDown:
    case T::MouseButtonUp: {
        const bool down = e.type == T::MouseButtonDown;
        // A second click within the double-click time is a double click; a third starts over.
        const bool dbl = down && e.clicks >= 2 && e.clicks % 2 == 0;
        uint32_t msg = 0;
        switch (e.button) {
        case InputEvent::Left: msg = down ? (dbl ? Msg::LButtonDblClk : Msg::LButtonDown) : Msg::LButtonUp; break;
        case InputEvent::Right: msg = down ? (dbl ? Msg::RButtonDblClk : Msg::RButtonDown) : Msg::RButtonUp; break;
        case InputEvent::Middle: msg = down ? (dbl ? Msg::MButtonDblClk : Msg::MButtonDown) : Msg::MButtonUp; break;
        default: return;
        }
        lastX_ = e.x;
        lastY_ = e.y;
        Push(out, w, msg, 0, MakePointParam(e.x, e.y));
        break;
    }
    case T::MouseWheel: {
        if (e.wheel == 0)
            break;
        // The delta rides in the signed high word of wParam, 120 per notch.
        const uint16_t delta = static_cast<uint16_t>(static_cast<int16_t>(e.wheel * 120));
        Push(out, w, Msg::MouseWheel, static_cast<uintptr_t>(delta) << 16, MakePointParam(lastX_, lastY_));
        break;
    }
    case T::DisplayChanged:
        if (defaultWindow_)
            Push(out, defaultWindow_, Msg::DisplayChange, 0, 0);
        break;
    }
}

void InputTranslator::TranslateKey(const InputEvent& e, std::deque<Message>& out)
{
    const bool down = e.type == InputEvent::Type::KeyDown;
    const uint32_t vk = e.key;
    if (vk == Vk::Menu)
        altDown_ = down;
    if (vk == Vk::Control)
        ctrlDown_ = down;
    if (vk == 0)
        return;
    const WindowId w = Target(e.window);
    // Keys pressed with Alt (and Alt itself, and F10) are system keys; lParam bit 30 marks a repeat.
    const bool sys = (altDown_ && !ctrlDown_) || vk == Vk::Menu || vk == Vk::F1 + 9;
    const intptr_t lParam = (down && e.repeat) ? (intptr_t(1) << 30) : 0;
    const uint32_t keyMsg = down ? (sys ? Msg::SysKeyDown : Msg::KeyDown) : (sys ? Msg::SysKeyUp : Msg::KeyUp);
    Push(out, w, keyMsg, vk, lParam);
    if (!down)
        return;

    uintptr_t ch = 0;
    switch (vk) {
    case Vk::Return: ch = 13; break;
    case Vk::Back: ch = 8; break;
    case Vk::Tab: ch = 9; break;
    case Vk::Escape: ch = 27; break;
    default: break;
    }
    if (ctrlDown_ && !altDown_) {
        switch (vk) {
        case 'C': ch = 3; break;
        case 'X': ch = 24; break;
        case 'V': ch = 22; break;
        case 'Z': ch = 26; break;
        default: break;
        }
    }
    if (ch != 0)
        Push(out, w, sys ? Msg::SysChar : Msg::Char, ch, lParam);
    else if (sys && vk >= 'A' && vk <= 'Z')
        Push(out, w, Msg::SysChar, vk - 'A' + 'a', lParam);
}

void InputTranslator::TranslateText(const InputEvent& e, std::deque<Message>& out)
{
    // With Alt held (and not AltGr, which arrives as Ctrl+Alt) the key went out as a system char.
    if (altDown_ && !ctrlDown_)
        return;
    const WindowId w = Target(e.window);
    const unsigned char* s = reinterpret_cast<const unsigned char*>(e.text.c_str());
    while (*s) {
        const uint32_t cp = NextCodePoint(s);
        if (cp >= 0x10000) {
            const uint32_t v = cp - 0x10000;
            Push(out, w, Msg::Char, 0xD800 + (v >> 10), 0);
            Push(out, w, Msg::Char, 0xDC00 + (v & 0x3FF), 0);
        } else {
            Push(out, w, Msg::Char, cp, 0);
        }
    }
}

} // namespace Platform
