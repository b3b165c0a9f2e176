// Input events to window messages: keys with the characters the back end does not send as text,
// system keys under Alt, text as UTF-16 units, mouse buttons and the wheel, window events.
#include "platform/InputTranslator.h"

#include <gtest/gtest.h>

namespace {

using namespace Platform;
using T = InputEvent::Type;
using Pairs = std::vector<std::pair<uint32_t, uintptr_t>>;

InputEvent Key(T type, uint32_t vk)
{
    InputEvent e;
    e.type = type;
    e.key = vk;
    e.window = 7;
    return e;
}

Pairs Feed(InputTranslator& t, std::initializer_list<InputEvent> events)
{
    std::deque<Message> out;
    for (const InputEvent& e : events)
        t.Translate(e, out);
    Pairs result;
    for (const Message& m : out)
        result.emplace_back(m.message, m.wParam);
    return result;
}

TEST(InputTranslator, KeysAndSynthesisedCharacters)
{
    struct Case {
        const char* what;
        std::vector<uint32_t> held; // pressed before; their messages are not checked
        uint32_t key;
        Pairs expected;
    };
    const Case cases[] = {
        {"enter", {}, Vk::Return, {{Msg::KeyDown, Vk::Return}, {Msg::Char, 13}}},
        {"backspace", {}, Vk::Back, {{Msg::KeyDown, Vk::Back}, {Msg::Char, 8}}},
        {"tab", {}, Vk::Tab, {{Msg::KeyDown, Vk::Tab}, {Msg::Char, 9}}},
        {"escape", {}, Vk::Escape, {{Msg::KeyDown, Vk::Escape}, {Msg::Char, 27}}},
        {"a letter: its text comes separately", {}, 'A', {{Msg::KeyDown, 'A'}}},
        {"ctrl+c", {Vk::Control}, 'C', {{Msg::KeyDown, 'C'}, {Msg::Char, 3}}},
        {"ctrl+x", {Vk::Control}, 'X', {{Msg::KeyDown, 'X'}, {Msg::Char, 24}}},
        {"ctrl+v", {Vk::Control}, 'V', {{Msg::KeyDown, 'V'}, {Msg::Char, 22}}},
        {"ctrl+z", {Vk::Control}, 'Z', {{Msg::KeyDown, 'Z'}, {Msg::Char, 26}}},
        {"alt+f4 is a system key", {Vk::Menu}, Vk::F4, {{Msg::SysKeyDown, Vk::F4}}},
        {"alt+enter", {Vk::Menu}, Vk::Return, {{Msg::SysKeyDown, Vk::Return}, {Msg::SysChar, 13}}},
        {"alt+r gives the lower-case system char", {Vk::Menu}, 'R', {{Msg::SysKeyDown, 'R'}, {Msg::SysChar, 'r'}}},
        {"altgr (ctrl+alt) is not a system key", {Vk::Control, Vk::Menu}, 'Q', {{Msg::KeyDown, 'Q'}}},
        {"unmapped key", {}, 0, {}},
    };
    for (const Case& c : cases) {
        InputTranslator t;
        for (uint32_t h : c.held)
            Feed(t, {Key(T::KeyDown, h)});
        EXPECT_EQ(Feed(t, {Key(T::KeyDown, c.key)}), c.expected) << c.what;
    }
}

TEST(InputTranslator, KeyUpAltReleaseAndRepeat)
{
    InputTranslator t;
    EXPECT_EQ(Feed(t, {Key(T::KeyDown, Vk::Menu), Key(T::KeyUp, Vk::Menu), Key(T::KeyUp, 'A')}),
              (Pairs{{Msg::SysKeyDown, Vk::Menu}, {Msg::SysKeyUp, Vk::Menu}, {Msg::KeyUp, 'A'}}));
    InputEvent repeat = Key(T::KeyDown, 'B');
    repeat.repeat = true;
    std::deque<Message> out;
    t.Translate(repeat, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].lParam, intptr_t(1) << 30);
}

TEST(InputTranslator, TextBecomesUtf16Characters)
{
    InputTranslator t;
    InputEvent e;
    e.type = T::Text;
    e.text = "a\xC3\xA9\xF0\x9F\x98\x80\xFF"; // a, e-acute, U+1F600, a stray byte
    EXPECT_EQ(Feed(t, {e}), (Pairs{{Msg::Char, 'a'},
                                  {Msg::Char, 0xE9},
                                  {Msg::Char, 0xD83D},
                                  {Msg::Char, 0xDE00},
                                  {Msg::Char, 0xFFFD}}));
    // Under Alt the key went out as a system character; its text is dropped.
    Feed(t, {Key(T::KeyDown, Vk::Menu)});
    EXPECT_TRUE(Feed(t, {e}).empty());
}

TEST(InputTranslator, MouseButtonsAndWheel)
{
    auto button = [](T type, int which, int clicks) {
        InputEvent e;
        e.type = type;
        e.button = which;
        e.clicks = clicks;
        e.x = 10;
        e.y = -3;
        return e;
    };
    InputEvent wheel;
    wheel.type = T::MouseWheel;
    wheel.wheel = -1;
    InputTranslator t;
    std::deque<Message> out;
    for (const InputEvent& e :
         {button(T::MouseButtonDown, InputEvent::Left, 1), button(T::MouseButtonDown, InputEvent::Left, 2),
          button(T::MouseButtonDown, InputEvent::Left, 3), button(T::MouseButtonUp, InputEvent::Right, 1),
          button(T::MouseButtonDown, InputEvent::Right, 2), button(T::MouseButtonDown, InputEvent::Middle, 2),
          wheel})
        t.Translate(e, out);
    ASSERT_EQ(out.size(), 7u);
    EXPECT_EQ(out[0].message, Msg::LButtonDown);
    EXPECT_EQ(out[1].message, Msg::LButtonDblClk);
    EXPECT_EQ(out[2].message, Msg::LButtonDown); // a third click starts over
    EXPECT_EQ(out[3].message, Msg::RButtonUp);
    EXPECT_EQ(out[4].message, Msg::RButtonDblClk);
    EXPECT_EQ(out[5].message, Msg::MButtonDblClk);
    EXPECT_EQ(ParamX(out[0].lParam), 10);
    EXPECT_EQ(ParamY(out[0].lParam), -3);
    EXPECT_EQ(out[6].message, Msg::MouseWheel);
    EXPECT_EQ(static_cast<int16_t>(out[6].wParam >> 16), -120);
}

TEST(InputTranslator, WindowEventsAndQuit)
{
    auto win = [](T type, int x = 0, int y = 0) {
        InputEvent e;
        e.type = type;
        e.window = 3;
        e.x = x;
        e.y = y;
        return e;
    };
    InputTranslator t;
    EXPECT_EQ(Feed(t, {win(T::WindowClose), win(T::WindowMinimized), win(T::WindowRestored), win(T::WindowMaximized),
                      win(T::FocusGained), win(T::FocusLost), win(T::WindowMoved, 5, 6)}),
              (Pairs{{Msg::Close, 0},
                     {Msg::Size, SizeMinimized},
                     {Msg::Size, SizeRestored},
                     {Msg::Size, SizeMaximized},
                     {Msg::ActivateApp, 1},
                     {Msg::ActivateApp, 0},
                     {Msg::Move, 0}}));
    // Quit (e.g. Ctrl+C in the terminal) closes the window that last had the focus.
    std::deque<Message> out;
    t.Translate(InputEvent{}, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].window, 3u);
    EXPECT_EQ(out[0].message, Msg::Close);
}

} // namespace
