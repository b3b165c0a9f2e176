// The loading board: the screen shown while the game script starts up and while a level loads. A
// dialog loaded from the "load_screen" dialog of "cfg\ui.xml" whose picture children (those whose
// main texture has an image) are registered by name, so the script can choose the picture shown
// (the engine object's SetLoadingSkin). The engine shows and hides it (ShowLoadingScreen,
// HideLoadingScreen). Main thread.
#pragma once
#include "engine/widgets/Dialog.h"
#include "platform/XmlDocument.h"

#include <map>
#include <string>
#include <string_view>

class VTBoardHost;

class VTBoard_LoadScreen : public VTDialog {
public:
    // Covers the application area, then loads itself from node's dialog "load_screen" (node may be
    // null: an empty board).
    VTBoard_LoadScreen(VTBoardHost& host, const Platform::XmlNode& node);
    ~VTBoard_LoadScreen() override;

    // Registers a picture child under its name (a later one of the same name replaces it); every
    // child keeps its own visibility.
    void AddChild(const std::string& name, VTCandyWidget* child) override;
    // Shows the picture registered under name and hides every other one; an unknown name changes
    // nothing. Called from another thread (the script's start-up), it is applied at the main
    // thread's next application step.
    void SelectPicture(std::string_view name);
    // The name last selected on the main thread (registered or not).
    const std::string& SelectedPicture() const { return selected_; }
    // The registered picture of that name, or null.
    VTCandyWidget* FindPicture(std::string_view name) const;

private:
    VTBoardHost& host_;
    std::map<std::string, VTCandyWidget*, std::less<>> pictures_; // children, not owned here
    std::string selected_;
};
