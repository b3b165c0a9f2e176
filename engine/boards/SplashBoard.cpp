#include "engine/boards/SplashBoard.h"

#include "engine/core/CursorManager.h"
#include "engine/core/Engine.h"
#include "engine/core/SoundManager.h"
#include "engine/core/SpinLock.h"
#include "engine/core/ThreadLauncher.h"
#include "engine/boards/ScriptLoadBusy.h"
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/GameScript.h"

VTBoard_Splash::VTBoard_Splash(int32_t width, int32_t height)
{
    Resize(0, 0, width, height);
    SetVisible(false);
}

VTBoard_Splash::~VTBoard_Splash() = default;

void VTBoard_Splash::Show()
{
    shown_ = true;
    SetVisible(true);
}

void VTBoard_Splash::Hide()
{
    SetVisible(false);
    if (shown_ && !startupStarted_)
        OnBecameHidden();
}

void VTBoard_Splash::Update()
{
    Fw::Widget::Update();
    // No pages to run: the placeholder's splash is over at once.
    if (shown_ && visible)
        Hide();
}

void VTBoard_Splash::JoinStartupWorker()
{
    GetThreadLauncher().JoinAll();
}

void VTBoard_Splash::OnBecameHidden()
{
    startupStarted_ = true;
    VTEngine* engine = VTEngine::GetInstance();
    // Keeps the start-up from overlapping a level load or the game board's update.
    std::atomic<int32_t> unlocked{0};
    SpinLock::Guard lock(gExtPythonManager ? gExtPythonManager->LevelLoadLock() : unlocked);
    if (engine) {
        engine->ShowLoadingScreen();
        engine->GetCursorManager().EnableDrawing();
    }
    // Raised before the worker exists, so no close request or teardown slips in before it starts.
    RaiseScriptLoadBusy();
    GetThreadLauncher().Launch("start-up worker", &VTBoard_Splash::InitGameThreadProc);
}

void VTBoard_Splash::InitGameThreadProc()
{
    if (VTEngine* engine = VTEngine::GetInstance())
        engine->GetSoundManager().LoadAllSamples();
    if (gGameScript)
        gGameScript->CallInitGame();
    LowerScriptLoadBusy();
}
