// Edit boxes: the key handler over a table of states and keys (limits, selection, clipboard, undo),
// word selection, SetText, Enter/Escape forwarding, the mouse, and the drawn selection and caret.
#include "engine/core/Texture.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/EditWidget.h"
#include "framework/core/StringUtils.h"
#include "framework/widgets/WidgetManager.h"

#include "WidgetTestSupport.h"

#include <string>
#include <vector>

namespace {

using WidgetTest::Canvas;
using WidgetTest::ParseXml;

constexpr int kShift = 16, kCtrl = 17;

// An edit box 200 x 20 with the block font (8 pixels a character) under a widget manager, so the
// manager's table of keys held gives Shift and Ctrl.
class EditWidgetTest : public WidgetTest::Fixture {
protected:
    EditWidgetTest()
    {
        manager.AddWidget(&edit);
        edit.Resize(0, 0, 200, 20);
        edit.SetTextAttr(2, &services.font, Fw::Color(0xFF0000FFu), Fw::Color(0xFFFFFF00u));
        edit.highlightColor = Fw::Color(0xFF00FF00u);
    }

    Fw::WidgetManager manager{nullptr};
    VTEditWidget edit{nullptr};
};

struct KeyCase {
    const char* what;
    std::wstring text;
    int caret, anchor;
    std::vector<int> held; // Shift, Ctrl
    int code;
    wchar_t ch;
    std::string clipboard; // put on the clipboard first
    std::wstring expectText;
    int expectCaret, expectAnchor;
    bool wideInput = true; // the application's switch
};

const KeyCase kKeys[] = {
    {"typing into 12 characters changes nothing", L"abcdefghijkl", 5, -1, {}, 0, L'x', "", L"abcdefghijkl", 5, -1},
    {"the 12th character is taken", L"abcdefghijk", 11, -1, {}, 0, L'x', "", L"abcdefghijkx", 12, -1},
    {"a character is inserted at the caret", L"ac", 1, -1, {}, 0, L'b', "", L"abc", 2, -1},
    {"Cyrillic is entered", L"ab", 2, -1, {}, 0, L'ж', "", L"abж", 3, -1},
    {"without wide input Cyrillic is refused", L"ab", 2, -1, {}, 0, L'ж', "", L"ab", 2, -1, false},
    {"without wide input 127 is the last taken", L"ab", 2, -1, {}, 0, wchar_t(127), "", L"ab\x7f", 3, -1, false},
    {"without wide input 128 is refused", L"ab", 2, -1, {}, 0, wchar_t(128), "", L"ab", 2, -1, false},
    {"a character replaces the selection", L"abcdef", 4, 1, {}, 0, L'x', "", L"axef", 2, -1},
    {"space is never entered", L"ab", 1, -1, {}, 0, L' ', "", L"ab", 1, -1},
    {"space keeps the selection", L"ab", 2, 0, {}, 0, L' ', "", L"ab", 2, 0},
    {"a control character is refused", L"ab", 1, -1, {}, 0, wchar_t(7), "", L"ab", 1, -1},
    {"Backspace at 0 changes nothing", L"ab", 0, -1, {}, 8, 0, "", L"ab", 0, -1},
    {"Backspace on an empty text", L"", 0, -1, {}, 8, 0, "", L"", 0, -1},
    {"Backspace deletes before the caret", L"abc", 2, -1, {}, 8, 0, "", L"ac", 1, -1},
    {"Backspace deletes the selection", L"abcd", 3, 1, {}, 8, 0, "", L"ad", 1, -1},
    {"Delete at the end changes nothing", L"abc", 3, -1, {}, 46, 0, "", L"abc", 3, -1},
    {"Delete removes the character at the caret", L"abc", 1, -1, {}, 46, 0, "", L"ac", 1, -1},
    {"Delete removes a reversed selection", L"abcd", 1, 3, {}, 46, 0, "", L"ad", 1, -1},
    {"Left with a selection collapses to its left end", L"abcdef", 4, 1, {}, 37, 0, "", L"abcdef", 1, -1},
    {"Right with a selection collapses to its right end", L"abcdef", 1, 4, {}, 39, 0, "", L"abcdef", 4, -1},
    {"Left at 0 stays", L"ab", 0, -1, {}, 37, 0, "", L"ab", 0, -1},
    {"Right at the end stays", L"ab", 2, -1, {}, 39, 0, "", L"ab", 2, -1},
    {"Shift+Left extends", L"abc", 2, -1, {kShift}, 37, 0, "", L"abc", 1, 2},
    {"Shift+Home selects to the start", L"abcdef", 4, -1, {kShift}, 36, 0, "", L"abcdef", 0, 4},
    {"Home", L"abcdef", 4, 2, {}, 36, 0, "", L"abcdef", 0, -1},
    {"End", L"abcdef", 1, -1, {}, 35, 0, "", L"abcdef", 6, -1},
    {"Ctrl+Left to the word's start", L"abc def", 7, -1, {kCtrl}, 37, 0, "", L"abc def", 4, -1},
    {"Ctrl+Left over the gap and the word", L"abc def", 4, -1, {kCtrl}, 37, 0, "", L"abc def", 0, -1},
    {"Ctrl+Right to the next word", L"abc def", 0, -1, {kCtrl}, 39, 0, "", L"abc def", 4, -1},
    {"Ctrl+Right from the last word to the end", L"abc def", 4, -1, {kCtrl}, 39, 0, "", L"abc def", 7, -1},
    {"Ctrl+Right over Cyrillic words", L"жук да", 0, -1, {kCtrl}, 39, 0, "", L"жук да", 4, -1},
    {"copy keeps the selection", L"abcdef", 4, 1, {}, 0, wchar_t(3), "", L"abcdef", 4, 1},
    {"cut removes the selection", L"abcdef", 4, 1, {}, 0, wchar_t(24), "", L"aef", 1, -1},
    {"copy without a selection does nothing", L"abc", 1, -1, {}, 0, wchar_t(3), "old", L"abc", 1, -1},
    {"paste of 3 into 8 is taken", L"abcdefgh", 8, -1, {}, 0, wchar_t(22), "xyz", L"abcdefghxyz", 11, -1},
    {"paste of 3 into 9 is refused, the caret stays", L"abcdefghi", 4, -1, {}, 0, wchar_t(22), "xyz", L"abcdefghi", 4, -1},
    {"paste stops at the first line break", L"ab", 1, -1, {}, 0, wchar_t(22), "x\r\ny", L"axb", 2, -1},
    {"paste replaces the selection", L"abcdef", 4, 1, {}, 0, wchar_t(22), "Z", L"aZef", 2, -1},
    {"paste of UTF-8 Cyrillic", L"ab", 2, -1, {}, 0, wchar_t(22), "\xD0\xB6\xD0\xB7", L"abжз", 4, -1},
    {"Shift and Ctrl alone do nothing", L"ab", 1, 0, {}, kShift, 0, "", L"ab", 1, 0},
};

TEST_F(EditWidgetTest, ProcessKeyTable)
{
    for (const KeyCase& c : kKeys) {
        SCOPED_TRACE(c.what);
        manager.keysDown = {};
        for (int key : c.held)
            manager.keysDown[static_cast<size_t>(key)] = true;
        env.ws.clipboard = c.clipboard;
        env.ws.clipboardHasText = !c.clipboard.empty();
        app.wideInput = c.wideInput;
        edit.SetState(c.text, c.caret, c.anchor);
        edit.ProcessKey(c.code, c.ch);
        EXPECT_EQ(edit.GetText(), c.expectText);
        EXPECT_EQ(edit.GetCaret(), c.expectCaret);
        EXPECT_EQ(edit.GetAnchor(), c.expectAnchor);
    }
}

TEST_F(EditWidgetTest, CopyAndCutPutTheSelectionOnTheClipboardAsUtf8)
{
    edit.SetState(L"aжзb", 3, 1);
    edit.ProcessKey(0, wchar_t(3));
    EXPECT_EQ(env.ws.clipboard, "\xD0\xB6\xD0\xB7");
    edit.SetState(L"abcd", 1, 3);
    edit.ProcessKey(0, wchar_t(24));
    EXPECT_EQ(env.ws.clipboard, "bc");
}

TEST_F(EditWidgetTest, UndoTogglesAndTypingRunsAreOneStep)
{
    edit.SetText(L"abc", true);
    edit.ProcessKey(35, 0); // End
    for (wchar_t c : std::wstring(L"de"))
        edit.ProcessKey(0, c);
    ASSERT_EQ(edit.GetText(), L"abcde");
    edit.ProcessKey(0, wchar_t(26));
    EXPECT_EQ(edit.GetText(), L"abc");
    EXPECT_EQ(edit.GetCaret(), 3);
    edit.ProcessKey(0, wchar_t(26));
    EXPECT_EQ(edit.GetText(), L"abcde");
    EXPECT_EQ(edit.GetCaret(), 5);

    // Backspaces in a row are one step as well.
    edit.ProcessKey(8, 0);
    edit.ProcessKey(8, 0);
    ASSERT_EQ(edit.GetText(), L"abc");
    edit.ProcessKey(0, wchar_t(26));
    EXPECT_EQ(edit.GetText(), L"abcde");
}

TEST_F(EditWidgetTest, ARefusedPasteWritesNoUndoRecord)
{
    edit.SetText(L"abc", true);
    edit.ProcessKey(35, 0);
    edit.ProcessKey(0, L'd'); // undo record: "abc"
    edit.SetState(L"abcdefghi", 4, -1);
    env.ws.SetClipboardText("xyz");
    edit.ProcessKey(0, wchar_t(22));
    EXPECT_EQ(edit.GetText(), L"abcdefghi");
    EXPECT_EQ(edit.GetCaret(), 4);
    edit.ProcessKey(0, wchar_t(26));
    EXPECT_EQ(edit.GetText(), L"abc");
}

TEST_F(EditWidgetTest, SetTextSelectsAllAndTheNextCharacterReplacesIt)
{
    edit.SetText(L"hello", true);
    EXPECT_EQ(edit.GetCaret(), 5);
    EXPECT_EQ(edit.GetAnchor(), 0);
    edit.KeyChar(L'x');
    EXPECT_EQ(edit.GetText(), L"x");
    EXPECT_EQ(edit.GetCaret(), 1);
    EXPECT_EQ(edit.GetAnchor(), -1);
}

TEST_F(EditWidgetTest, WordSelectionAroundTheCaret)
{
    struct Case {
        std::wstring text;
        int caret, anchor, end;
    };
    const Case cases[] = {
        {L"abc def", 4, 4, 7},  // before 'd': the word after
        {L"abc def", 3, 0, 7},  // before the space: both runs and the space
        {L"при вет", 1, 0, 3},  // Cyrillic letters are word characters
        {L"a_1-b2", 0, 0, 3},   // '_' and digits too, '-' not
        {L"abc", 3, -1, 3},     // at the end: nothing
    };
    for (const Case& c : cases) {
        edit.SetState(c.text, c.caret, -1);
        edit.SelectWordAtCaret();
        EXPECT_EQ(edit.GetAnchor(), c.anchor) << Fw::ToString(c.text) << " at " << c.caret;
        EXPECT_EQ(edit.GetCaret(), c.end) << Fw::ToString(c.text) << " at " << c.caret;
    }
}

TEST_F(EditWidgetTest, MousePlacesTheCaretAndADoubleClickSelectsAWord)
{
    edit.SetState(L"abc def", 0, -1);
    // Character i's middle lies at 8i + 4; the caret goes after it from 8i + 9 on.
    EXPECT_EQ(edit.GetCharIndexAtX(8, 0), 0);
    EXPECT_EQ(edit.GetCharIndexAtX(9, 0), 1);
    EXPECT_EQ(edit.GetCharIndexAtX(500, 0), 7);

    edit.MouseDown(41, 5, 0, 2); // after "abc ", double click
    EXPECT_EQ(edit.GetAnchor(), 4);
    EXPECT_EQ(edit.GetCaret(), 7);
    edit.MouseUp(41, 5, 0, 2);
    EXPECT_EQ(edit.GetAnchor(), 4);
    EXPECT_EQ(edit.GetCaret(), 7);

    edit.MouseDown(9, 5, 0, 1);
    edit.MouseDrag(33, 5);
    EXPECT_EQ(edit.GetAnchor(), 1);
    EXPECT_EQ(edit.GetCaret(), 4);
    edit.MouseDown(17, 5, 0, 1);
    edit.MouseUp(17, 5, 0, 1); // an empty selection is dropped
    EXPECT_EQ(edit.GetAnchor(), -1);
    EXPECT_EQ(edit.GetCaret(), 2);
}

TEST_F(EditWidgetTest, ScrollingKeepsTheCaretVisible)
{
    edit.Resize(0, 0, 40, 20); // room for 32 pixels: four characters
    edit.SetState(L"abcdefghij", 10, -1);
    edit.ProcessKey(35, 0);
    EXPECT_EQ(edit.GetFirstVisible(), 9);
    // A click left of the first shown character's middle is that character, not the text's start.
    EXPECT_EQ(edit.GetCharIndexAtX(0, 0), 9);
    edit.ProcessKey(36, 0);
    EXPECT_EQ(edit.GetFirstVisible(), 0);

    // A character wider than the box ends the scrolling.
    edit.Resize(0, 0, 9, 20);
    edit.SetState(L"abc", 0, -1);
    edit.ProcessKey(35, 0);
    EXPECT_LE(edit.GetFirstVisible(), 3);
}

// Records key-downs.
class KeyProbe : public Fw::Widget {
public:
    void KeyDown(int keyCode) override { keys.push_back(keyCode); }
    std::vector<int> keys;
};

TEST_F(EditWidgetTest, EnterAndEscapeReachTheGrandparent)
{
    KeyProbe dialog, panel;
    VTEditWidget box(nullptr);
    manager.AddWidget(&dialog);
    dialog.AddWidget(&panel);
    panel.AddWidget(&box);
    box.KeyDown(13);
    box.KeyDown(27);
    box.KeyDown(37);
    EXPECT_EQ(dialog.keys, (std::vector<int>{13, 27}));
    EXPECT_TRUE(panel.keys.empty());

    // A box whose parent is the manager itself has no grandparent to tell.
    edit.KeyDown(13);
    panel.RemoveWidget(&box);
    box.KeyDown(13); // no parent at all
    EXPECT_EQ(dialog.keys.size(), 2u);
}

TEST_F(EditWidgetTest, CaretBlinksWhileFocused)
{
    manager.SetFocus(&edit);
    ASSERT_TRUE(edit.hasFocus);
    EXPECT_TRUE(edit.IsCaretShown());
    for (int i = 0; i < VTEditWidget::kBlinkPeriod; ++i)
        edit.Update();
    EXPECT_TRUE(edit.IsCaretShown());
    edit.Update();
    EXPECT_FALSE(edit.IsCaretShown());
    edit.ProcessKey(0, L'a'); // a key that moves the caret shows it again
    EXPECT_TRUE(edit.IsCaretShown());
}

// Colours within 1 per channel: drawing through the white frame colour may round 255 to 254.
testing::AssertionResult Near(uint32_t actual, uint32_t expected)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const int a = int(actual >> shift & 0xFF), e = int(expected >> shift & 0xFF);
        if (a - e > 1 || e - a > 1)
            return testing::AssertionFailure() << std::hex << "0x" << actual << " is not 0x" << expected;
    }
    return testing::AssertionSuccess();
}

TEST_F(EditWidgetTest, DrawsTheSelectionHighlightedOnlyWhileFocused)
{
    edit.SetState(L"abcd", 3, 1);
    manager.SetFocus(&edit);
    Canvas canvas(200, 20);
    {
        Fw::Graphics g(&canvas.image);
        edit.Draw(&g);
    }
    canvas.Dump("edit_focused");
    // Text at x 4, baseline 13: character i's block spans x 4 + 8i + 1 .. + 6, y 6..12. The
    // selection (characters 1 and 2) is filled over x 12..27, y 5..14.
    EXPECT_TRUE(Near(canvas.At(5, 8), 0xFF0000FFu));  // 'a': normal colour
    EXPECT_TRUE(Near(canvas.At(13, 8), 0xFFFFFF00u)); // 'b': selected colour
    EXPECT_TRUE(Near(canvas.At(13, 5), 0xFF00FF00u)); // highlight between the blocks
    EXPECT_TRUE(Near(canvas.At(29, 8), 0xFF0000FFu)); // 'd'
    EXPECT_EQ(canvas.At(2, 8), 0u);

    manager.SetFocus(nullptr);
    Canvas plain(200, 20);
    {
        Fw::Graphics g(&plain.image);
        edit.Draw(&g);
    }
    EXPECT_TRUE(Near(plain.At(13, 8), 0xFF0000FFu));
    EXPECT_EQ(plain.At(13, 5), 0u);
}

TEST_F(EditWidgetTest, BuiltFromADialogSkin)
{
    auto doc = ParseXml("<dialog width='300' height='100' visible='1'>"
                        "<element type='vtedit' name='name' x='10' y='10' width='120' height='20' visible='1'"
                        " hilite_color='ff00ff00'>"
                        "<textattr id='normal' color='ffff0000' hcolor='ff0000ff' font='block'/>"
                        "<texture id='normal' texture='grey'/></element></dialog>");
    VTDialog dialog(nullptr, &app);
    dialog.LoadFromXml(doc.SelectSingleNode("dialog"));
    auto* box = dynamic_cast<VTEditWidget*>(dialog.FindChild("name"));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->highlightColor, Fw::Color(0xFF00FF00u));
    EXPECT_EQ(box->GetTextAttr(2).font, &services.font);
    EXPECT_EQ(box->GetTextAttr(2).color, Fw::Color(0xFFFF0000u));
    EXPECT_EQ(box->GetTextAttr(2).hoverColor, Fw::Color(0xFF0000FFu));
    EXPECT_NE(box->NormalTexture().GetFirstFrameImage(), nullptr);
    EXPECT_TRUE(box->WantsFocus());
}

} // namespace
