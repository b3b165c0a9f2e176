// The splash board: the game's first screen. A dialog on black loaded from the "splash" dialog of
// "cfg\ui.xml" that shows its picture pages one after another, each for as long as its own show and
// hide effects keep it visible; any key or mouse button skips the current page. Once hidden after
// its last page it shows the loading board and starts the start-up worker, which loads the sound
// samples and runs the script's InitGame (gScriptLoadBusy raised meanwhile). Main thread, but the
// worker.
#pragma once
#include "engine/widgets/Dialog.h"
#include "platform/XmlDocument.h"

#include <cstddef>
#include <vector>

class VTBoardHost;
class VTSoundManager;

class VTBoard_Splash : public VTDialog {
public:
    // Covers the application area, then loads itself from node's dialog "splash" (node may be null:
    // a splash without pages).
    VTBoard_Splash(VTBoardHost& host, const Platform::XmlNode& node);
    ~VTBoard_Splash() override;

    // Children arrive hidden; those whose main texture has an image become pages, in order. With
    // the debug flag "NoSplash" no child is kept.
    void AddChild(const std::string& name, VTCandyWidget* child) override;
    // Opaque black over the board; the dialog's background is not drawn.
    void Draw(Fw::Graphics* g) override;
    // Any key or button skips the current page.
    void KeyDown(int keyCode) override;
    void MouseDown(int32_t x, int32_t y, int button, int clickCount) override;
    // The custom cursor off, the focus taken and the current page shown.
    void OnBecameVisible() override;
    // Under the load lock: the cursor back on, the focus dropped, the loading board shown and the
    // start-up worker started (once per run).
    void OnBecameHidden() override;
    // Moves on to the next page once the current one has been seen and is gone; after the last
    // one the splash hides itself.
    void Update() override;
    void NextPage();
    void SkipPage();

    const std::vector<VTCandyWidget*>& Pages() const { return pages_; }
    size_t CurrentPage() const { return current_; }
    bool StartupStarted() const { return startupStarted_; }
    // Waits for the start-up worker (and any other job of the engine's launcher).
    void JoinStartupWorker();

private:
    VTBoardHost& host_;
    static void InitGameThreadProc(VTSoundManager& sounds);

    std::vector<VTCandyWidget*> pages_; // children of the splash, not owned here
    size_t current_ = 0;
    bool advanceArmed_ = false;
    bool startupStarted_ = false;
};
