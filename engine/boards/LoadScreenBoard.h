// Placeholder of the loading board until the boards are built: a plain full-screen widget that the
// engine shows while the game's start-up or a level loads, with the picture choice the scripts make
// (SetLoadingSkin). The real board loads its look and pictures from "cfg\ui.xml".
#pragma once
#include "framework/widgets/Widget.h"

#include <string>
#include <string_view>

class VTBoard_LoadScreen : public Fw::Widget {
public:
    // Covers (0, 0, width, height); hidden until Show.
    VTBoard_LoadScreen(int32_t width, int32_t height);

    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Shows the picture of that name and hides the others (the placeholder has no pictures and
    // only keeps the name).
    void SelectPicture(std::string_view name);
    const std::string& SelectedPicture() const { return selectedPicture_; }

private:
    std::string selectedPicture_;
};
