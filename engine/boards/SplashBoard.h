// Placeholder of the splash board until the boards are built: a plain full-screen widget with no
// pages, which hides itself in its first update after Show. Hiding it starts the game: the loading
// screen is shown and the start-up worker loads the sound samples and runs the script's InitGame.
// gScriptLoadBusy is raised here, before the worker starts, and lowered by the worker.
#pragma once
#include "framework/widgets/Widget.h"

#include <atomic>
#include <thread>

class VTBoard_Splash : public Fw::Widget {
public:
    // Covers (0, 0, width, height); hidden until Show.
    VTBoard_Splash(int32_t width, int32_t height);
    // Joins the start-up worker.
    ~VTBoard_Splash() override;

    void Show();
    // Hidden after being shown: starts the game (once).
    void Hide();
    void Update() override;

    // Waits for the start-up worker (the engine calls it before the interpreter is finalised).
    void JoinStartupWorker();
    bool StartupStarted() const { return startupStarted_; }

private:
    void OnBecameHidden();
    static void InitGameThreadProc();

    bool shown_ = false;
    bool startupStarted_ = false;
};
