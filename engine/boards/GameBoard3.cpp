// The script-driven game board: mouse queues, the script level load and its hand-over, the locked
// update, timed drawing and the debug keys.
#include "engine/boards/GameBoard3.h"

#include "engine/boards/ScriptLoadBusy.h"
#include "engine/core/DebugLog.h"
#include "engine/core/DebugSettings.h"
#include "engine/boards/BoardHost.h"
#include "engine/core/SpinLock.h"
#include "engine/core/ThreadLauncher.h"
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/GameScript.h"
#include "engine/scripting/PythonObject.h"
#include "framework/app/AppBase.h"
#include "framework/core/Profiler.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/ThreadPriority.h"

VTBoard_Game3* gCurrentGameBoard = nullptr;

namespace {

constexpr int kKeyF6 = 117;
constexpr int kKeyF8 = 119;

void LastMousePosition(const VTBoard_Game3& board, int32_t& x, int32_t& y)
{
    x = 0;
    y = 0;
    if (Fw::WidgetManager* manager = board.GetManager()) {
        x = manager->GetLastMouseX();
        y = manager->GetLastMouseY();
    }
}

bool ModuleLoaded() { return gGameScript && gGameScript->IsModuleLoaded(); }

// The load lock of the script host; a private word when there is no host (nothing to exclude).
std::atomic<int32_t>& LoadLock()
{
    static std::atomic<int32_t> unhosted{0};
    return gExtPythonManager ? gExtPythonManager->LevelLoadLock() : unhosted;
}

} // namespace

VTBoard_Game3::VTBoard_Game3(VTBoardHost* host) : VTBoard_Game(host) { gCurrentGameBoard = this; }

VTBoard_Game3::~VTBoard_Game3()
{
    if (gCurrentGameBoard == this)
        gCurrentGameBoard = nullptr;
    if (reloadable_)
        reloadable_->Release();
}

void VTBoard_Game3::TakeMouseDown(int button, int clickCount)
{
    int32_t x, y;
    LastMousePosition(*this, x, y);
    QueueMouseDown(x, y, button, clickCount);
}

void VTBoard_Game3::TakeMouseUp(int button)
{
    int32_t x, y;
    LastMousePosition(*this, x, y);
    QueueMouseUp(x, y, button);
}

void VTBoard_Game3::TakeMouseMove()
{
    int32_t x, y;
    LastMousePosition(*this, x, y);
    QueueMouseMove(x, y);
}

void VTBoard_Game3::QueueMouseDown(int32_t x, int32_t y, int32_t button, int32_t clickCount)
{
    mouseQueue_.PushDown({x, y, button, clickCount});
}

void VTBoard_Game3::QueueMouseUp(int32_t x, int32_t y, int32_t button) { mouseQueue_.PushUp({x, y, button}); }

void VTBoard_Game3::QueueMouseMove(int32_t x, int32_t y) { mouseQueue_.PushMove({x, y}); }

// ---- level load ----

void VTBoard_Game3::StartLevelLoad(const std::string& name)
{
    // The load thread reads the board's level name, and the tree and the loading board are the
    // main thread's: a request from elsewhere, or one made before the last load was handed over,
    // waits for the main thread.
    if ((host_ && !host_->IsMainThread()) || levelLoadPending_) {
        std::lock_guard<std::mutex> hold(waitingLock_);
        waitingLevel_ = name;
        return;
    }
    BeginLevelLoad(name);
}

bool VTBoard_Game3::HasWaitingLevelLoad() const
{
    std::lock_guard<std::mutex> hold(waitingLock_);
    return waitingLevel_.has_value();
}

std::string VTBoard_Game3::PendingLevelName() const
{
    std::lock_guard<std::mutex> hold(waitingLock_);
    return waitingLevel_ ? *waitingLevel_ : levelName_;
}

void VTBoard_Game3::StartWaitingLevelLoad()
{
    if (levelLoadPending_)
        return;
    std::optional<std::string> name;
    {
        std::lock_guard<std::mutex> hold(waitingLock_);
        name.swap(waitingLevel_);
    }
    if (name)
        BeginLevelLoad(*name);
}

void VTBoard_Game3::BeginLevelLoad(const std::string& name)
{
    levelName_ = name;
    levelLoadPending_ = true;
    Fw::AppBase* app = Fw::gApplication;
    // The load's end is signalled by the finished flag; the completed flag of the initial
    // loading is never touched again.
    if (app)
        app->loadingThreadFinished = false;
    Fw::WidgetManager* manager = host_ ? host_->GetHostApp().widgetManager.get() : nullptr;
    if (manager && manager->HasWidget(this)) {
        Hide();
        manager->RemoveWidget(this);
    }
    if (host_)
        host_->GetHostApp().ShowLoadingScreen();
    if (app)
        app->loadingThreadBusy = true;
    Platform::SetCurrentThreadPriority(Platform::kThreadPriorityAboveNormal);

    // Raised before the thread exists, so no close request slips in before it starts.
    RaiseScriptLoadBusy();
    GetThreadLauncher().Launch("level load", [name, app] {
        if (gCurrentGameBoard)
            gCurrentGameBoard->RunScriptLevelLoad(name);
        LowerScriptLoadBusy();
        if (app)
            app->loadingThreadFinished = true; // last: the main thread hands over from here
    });
}

void VTBoard_Game3::RunScriptLevelLoad(const std::string& name)
{
    SpinLock::Guard lock(LoadLock());
    if (!ModuleLoaded())
        return;
    ScriptLoadBusyHold busy;
    UnloadLevel();
    gGameScript->CallLoadLevel(name.c_str());
}

void VTBoard_Game3::OnLevelLoaded()
{
    Fw::AppBase* app = Fw::gApplication;
    if (app)
        app->loadingThreadBusy = false;
    Platform::SetCurrentThreadPriority(Platform::kThreadPriorityNormal);
    Fw::WidgetManager* manager = host_ ? host_->GetHostApp().widgetManager.get() : nullptr;
    if (manager && !manager->HasWidget(this))
        manager->AddWidget(this);
    ResetDebugLogClock();
    if (host_)
        host_->GetHostApp().HideLoadingScreen();
    Show();
    ResetLevelState();
    levelLoadPending_ = false;
}

void VTBoard_Game3::UnloadLevel()
{
    if (ModuleLoaded())
        gGameScript->CallLevelFree();
}

// ---- widget ----

void VTBoard_Game3::Update()
{
    SpinLock::Guard lock(LoadLock());
    Fw::ProfileScope profile(" VTBoard_Game3::Update()");
    VTBoard_Game::Update();
}

void VTBoard_Game3::DrawAll(Fw::ModalFlags* mf, Fw::Graphics* g)
{
    gScriptPerf.widgetDraws = 0;
    gScriptPerf.pixelsDrawn = 0.0f;
    Platform::Clock& clock = Platform::GetClock();
    const uint32_t before = clock.GetTickCount();
    VTBoard_Game::DrawAll(mf, g);
    gScriptPerf.boardDrawMs += clock.GetTickCount() - before;
    if (gDebugSettings && g)
        gDebugSettings->DrawFrameGraphs(*g);
}

void VTBoard_Game3::KeyUp(int keyCode)
{
    if (!gDebugSettings || !gDebugSettings->debugMode)
        return;
    if (gGameScript)
        gGameScript->CallKeyUp(keyCode);
    if (keyCode == kKeyF8) {
        if (reloadable_)
            reloadable_->ReloadModule();
        else if (gExtPythonManager)
            reloadable_ = gExtPythonManager->ImportModule("reloadable");
    } else if (keyCode == kKeyF6 && reloadable_) {
        if (VTPythonObject* onF6 = reloadable_->GetAttr("OnF6")) {
            VTPythonObject arguments;
            arguments.BuildTuple("");
            VTPythonObject result;
            onF6->Call(result, &arguments);
            onF6->Release();
        }
        PrintAndClearScriptError();
    }
}
