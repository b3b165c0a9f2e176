// The game's application object: identity, interpreter start, boards, module import, close
// requests, the per-frame script hook and the teardown order (boards and scripts before the
// interpreter, the interpreter before the engine's catalogues).
#include "engine/app/Engine3.h"

#include "engine/core/FrameSeconds.h"
#include "engine/boards/GameBoard3.h"
#include "engine/boards/LoadScreenBoard.h"
#include "engine/boards/ScriptLoadBusy.h"
#include "engine/boards/SplashBoard.h"
#include "engine/core/DebugSettings.h"
#include "engine/core/Localization.h"
#include "engine/core/MusicPlayer.h"
#include "engine/core/SoundManager.h"
#include "engine/core/ThreadLauncher.h"
#include "engine/core/XmlAccess.h"
#include "engine/scripting/ExtPythonManager.h"
#include "framework/core/StringUtils.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/TerminationSignals.h"

VTEngine3::VTEngine3(const std::string& folder) : VTEngine(folder)
{
    gGameScript = &gameScript_;
    profileStore_ = std::make_unique<VTProfileStore>(profileHost_);
    productName = "Corvin HOG";
    title.clear();
    productVersion = "1.0";
    registryKey = "Varnel Games\\Corvin HOG";
    width = 1024;
    height = 768;
    ResizeRootDialog();
    StartInterpreter(programFolder, this);
}

VTEngine3::~VTEngine3()
{
    WaitForLoadingThread();
    // The start-up worker or a level load may still run the script: wait for them (joined before
    // the interpreter is finalised below).
    GetThreadLauncher().JoinAll();
    while (gScriptLoadBusy)
        Platform::GetClock().Sleep(20);
    profileStore_->Save();

    if (gameBoard_) {
        gameBoard_->Shutdown();
        if (widgetManager->HasWidget(gameBoard_.get()))
            widgetManager->RemoveWidget(gameBoard_.get());
        // Its script widgets release their twins while the interpreter still runs.
        ScriptLoadBusyHold busy;
        gameBoard_.reset();
    }
    loadingBoard_ = nullptr;
    pendingLoadingBoard_.reset();
    pendingSplashBoard_.reset();

    gameScript_.CallDeinitGame();
    if (reloadableModule_) {
        reloadableModule_->Release();
        reloadableModule_ = nullptr;
    }
    DestroyInterpreter();
    profileStore_.reset();
    if (gGameScript == &gameScript_)
        gGameScript = nullptr;
    // The splash board (in the widget tree) goes with the engine's top-level widgets; its worker
    // has been joined above.
}

VTEngine3* VTEngine3::GetInstance3() { return dynamic_cast<VTEngine3*>(VTEngine::GetInstance()); }

void VTEngine3::Init()
{
    waitForVSync = true;
    autoEnable3D = true;
    GetTextTable().LoadFromXml("cfg\\loc.xml");
    title = GetTextTable().GetText("app_title");
    VTEngine::Init();
    profileStore_->Load();
    profileStore_->Save();
}

void VTEngine3::LoadingThreadProc()
{
    VTEngine::LoadingThreadProc();
    // The boards read their dialogs from "cfg\ui.xml" once more.
    const std::optional<Platform::XmlDocument> ui = OpenXmlFile("cfg\\ui.xml");
    const Platform::XmlNode root = ui ? ui->SelectSingleNode("root") : Platform::XmlNode();
    gameBoard_ = std::make_unique<VTBoard_Game3>(this);
    pendingLoadingBoard_ = std::make_unique<VTBoard_LoadScreen>(*this, root);
    pendingSplashBoard_ = std::make_unique<VTBoard_Splash>(*this, root);
}

void VTEngine3::LoadingThreadCompleted()
{
    // The widget tree owns the two boards from here on.
    if (pendingLoadingBoard_) {
        loadingBoard_ = pendingLoadingBoard_.release();
        widgetManager->AddWidget(loadingBoard_);
    }
    if (pendingSplashBoard_) {
        splashBoard_ = pendingSplashBoard_.release();
        widgetManager->AddWidget(splashBoard_);
    }
    boardsReady_ = true;
    VTEngine::LoadingThreadCompleted();
    if (splashBoard_)
        splashBoard_->Show();
    gameScript_.LoadModule();
    moduleImportAttempted_ = true;
    if (gDebugSettings && gDebugSettings->debugMode && gExtPythonManager)
        reloadableModule_ = gExtPythonManager->ImportModule("reloadable");
}

void VTEngine3::Shutdown()
{
    if (EndLoopRequested()) {
        // The game asked to end from another thread; the main thread completes it here.
        VTEngine::Shutdown();
        return;
    }
    if (gScriptLoadBusy || !moduleImportAttempted_) {
        // A termination signal is not dropped: it is asked again once nothing is busy.
        signalCloseDeferred_ = signalCloseDeferred_ || Platform::TerminationSignalled();
        return;
    }
    if (!gameScript_.IsModuleLoaded() || !gameScript_.InitGameCalled()) {
        // Without a game module, or before InitGame handed the script the engine object (the
        // splash pages), nothing else could ever end the loop.
        VTEngine::Shutdown();
        return;
    }
    gameScript_.CallShutdown();
}

void VTEngine3::DoUpdateFramesF(float /*fraction*/)
{
    if (signalCloseDeferred_ && !gScriptLoadBusy && moduleImportAttempted_) {
        signalCloseDeferred_ = false;
        Shutdown();
    }
    // Replaces the framework's fractional widget update: nothing of the engine uses it.
    if (!boardsReady_ || !gCurrentGameBoard)
        return;
    if (gCurrentGameBoard->IsLevelActive() && loadingThreadCompleted && loadingThreadFinished &&
        gameScript_.IsModuleLoaded())
        gameScript_.CallLevelUpdate(gFrameSeconds);
    // Presses, then releases, then moves. The board is looked up again before each record and a
    // record leaves its queue before its call, so records queued by a call go out in this pass.
    for (std::optional<VTMouseDownRecord> r; gCurrentGameBoard && (r = gCurrentGameBoard->MouseQueue().PopDown());)
        gameScript_.CallMouseDown(r->x, r->y, r->button, r->clickCount);
    for (std::optional<VTMouseUpRecord> r; gCurrentGameBoard && (r = gCurrentGameBoard->MouseQueue().PopUp());)
        gameScript_.CallMouseUp(r->x, r->y, r->button);
    for (std::optional<VTMouseMoveRecord> r; gCurrentGameBoard && (r = gCurrentGameBoard->MouseQueue().PopMove());)
        gameScript_.CallMouseMove(r->x, r->y);
}

void VTEngine3::ShowLoadingScreen()
{
    if (!loadingBoard_)
        return;
    widgetManager->SetFocus(loadingBoard_);
    widgetManager->BringToFront(loadingBoard_);
    loadingBoard_->Show();
}

void VTEngine3::HideLoadingScreen()
{
    if (loadingBoard_)
        loadingBoard_->Hide();
}

void VTEngine3::SetWindowTitle(const std::string& text)
{
    title = Fw::StringToWString(text);
    if (mainWindow)
        ws.SetWindowTitle(mainWindow, Fw::WStringToString(title));
}

void VTEngine3::ProfileHost::SetSoundGroupVolume(int32_t volume, const char* group)
{
    engine_.GetSoundManager().SetGroupVolume(volume, group);
}

void VTEngine3::ProfileHost::SetMusicVolume(int32_t volume) { engine_.GetMusicPlayer().SetVolume(volume); }

void VTEngine3::ProfileHost::ReportNoSelectedProfile() { PrintScriptTraceback(); }
