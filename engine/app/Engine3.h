// The game's application object: the engine with the game's identity ("Corvin HOG", 1024 x 768),
// the game script binding and the profile store, the interpreter started on the program folder,
// the three boards (game, loading, splash) made in the loading step, the game module imported when
// loading completes, close requests handed to the script, and the ordered teardown.
// Threads: the start-up worker and level loads raise gScriptLoadBusy before they start and lower it
// when they end; the destructor waits for it and joins them before the interpreter is finalised.
#pragma once
#include "engine/app/Engine.h"
#include "engine/core/ProfileStore.h"
#include "engine/scripting/GameScript.h"
#include "engine/scripting/ScriptApplication.h"

#include "engine/boards/GameBoard3.h"
#include "engine/boards/LoadScreenBoard.h"
#include "engine/boards/SplashBoard.h"

#include <atomic>
#include <memory>
#include <string>

class VTEngine3 : public VTEngine, public ScriptApplication {
public:
    // programFolder as for VTEngine. Starts the interpreter on it (py_utils registered) before Init.
    explicit VTEngine3(const std::string& programFolder = {});
    ~VTEngine3() override;

    // The engine singleton as the game's object (null when there is none or it is a plain VTEngine).
    static VTEngine3* GetInstance3();

    VTBoard_Game3* GetGameBoard() override { return gameBoard_.get(); }
    VTBoard_LoadScreen* GetLoadingBoard() override { return loadingBoard_; }
    VTBoard_Splash* GetSplashBoard() override { return splashBoard_; }
    VTGameScript* GetGameScript() override { return &gameScript_; }
    VTProfileStore* GetProfileStore() override { return profileStore_.get(); }
    bool IsEscMenuActive() const override { return escMenuActive_; }
    void SetEscMenuActive(bool active) override { escMenuActive_ = active; }

    // Whether the game module's import has been attempted (LoadingThreadCompleted), and whether it
    // succeeded.
    bool ModuleImportAttempted() const { return moduleImportAttempted_; }
    bool IsModuleLoaded() const { return gameScript_.IsModuleLoaded(); }
    // Debug mode: the module "reloadable" (null when not imported).
    VTPythonObject* GetReloadableModule() { return reloadableModule_; }

    // ---- framework application ----
    // Texts of "cfg\loc.xml", the window title "app_title", the engine's start-up, then the
    // profiles are read and written back (a missing "pref.dat" exists afterwards).
    void Init() override;
    void LoadingThreadProc() override;
    void LoadingThreadCompleted() override;
    // The close request: dropped while a script start-up or level load runs and before the game
    // module's import; handed to the script's Shutdown when the module is loaded; after a failed
    // import, or before InitGame was called, the framework's shutdown ends the loop (otherwise the
    // window could never close). A close request of a termination signal that comes while busy
    // is asked again once nothing is busy.
    void Shutdown() override;
    // After a frame's updates: the script's LevelUpdate while a level is active and loading has
    // completed, then the game board's queued mouse events to the script.
    void DoUpdateFramesF(float fraction) override;
    void ShowLoadingScreen() override;
    void HideLoadingScreen() override;

    // ---- ScriptApplication ----
    void SetWindowTitle(const std::string& title) override;
    void RequestShutdown() override { Shutdown(); }

private:
    // What the profile store drives: the sound groups, the music and the screen mode.
    class ProfileHost : public VTProfileHost {
    public:
        explicit ProfileHost(VTEngine3& engine) : engine_(engine) {}
        void SetSoundGroupVolume(int32_t volume, const char* group) override;
        void SetMusicVolume(int32_t volume) override;
        bool IsWindowed() const override { return engine_.isWindowed; }
        void SwitchScreenMode(bool windowed) override { engine_.SwitchScreenMode(windowed); }
        void ReportNoSelectedProfile() override;

    private:
        VTEngine3& engine_;
    };

    ProfileHost profileHost_{*this};
    VTGameScript gameScript_;
    std::unique_ptr<VTProfileStore> profileStore_;
    std::unique_ptr<VTBoard_Game3> gameBoard_;
    VTBoard_LoadScreen* loadingBoard_ = nullptr; // in the widget tree once loading completed
    VTBoard_Splash* splashBoard_ = nullptr;      // likewise
    // Made by the loading step, handed to the widget tree when loading completes.
    std::unique_ptr<VTBoard_LoadScreen> pendingLoadingBoard_;
    std::unique_ptr<VTBoard_Splash> pendingSplashBoard_;
    bool boardsReady_ = false; // the loading step's boards may be used (main thread)
    VTPythonObject* reloadableModule_ = nullptr; // debug mode: the module "reloadable"
    std::atomic<bool> escMenuActive_{false};
    bool moduleImportAttempted_ = false;
    bool signalCloseDeferred_ = false; // a termination signal's close request came while busy
};
