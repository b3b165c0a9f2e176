// The demo player's two dialogs, as framework dialogs: "Jump To Time" (a time before the end of
// the demo, typed as "h:m:s", "m:s" or seconds) and "Marker List" (the demo's markers still ahead,
// a double click on one runs to it).
#pragma once
#include "framework/widgets/Dialog.h"

#include <string>
#include <utility>
#include <vector>

namespace Fw {

class DemoJumpDialog : public Dialog {
public:
    static constexpr int32_t kId = 2000000001;
    DemoJumpDialog(DialogListener* listener, const std::string& text);
    // Digits and ':' are typed into the text; Backspace (8) removes the last character.
    void KeyChar(wchar_t c) override;
    std::string GetText() const;
};

class DemoMarkerDialog : public Dialog {
public:
    static constexpr int32_t kId = 2000000002;
    // entries: the listed text and the update count of each marker, in order.
    DemoMarkerDialog(DialogListener* listener, std::vector<std::pair<std::string, int32_t>> entries);
    // A double click on an entry picks its update count and answers the dialog.
    void MouseDown(int32_t x, int32_t y, int button, int clickCount) override;
    // The entry's index under local y, or -1.
    int32_t EntryAt(int32_t y);

    std::vector<std::pair<std::string, int32_t>> entries;
    int32_t picked = -1; // update count of the chosen entry, -1 while none
};

} // namespace Fw
