// The engine's application object: the framework application plus what every game on the engine
// needs (the game's archives, the catalogues and managers of images, fonts, cursors, sounds, music
// and texts, a full-screen root dialog, the loading step reading "cfg\cfg.xml" and "cfg\ui.xml",
// the software cursor overlay and the sound pause on focus loss). The folders below reach it only
// through interfaces of their own, which it implements or sets while it lives: the boards' host
// (VTBoardHost, handed to the boards it makes), the effect functions' host (VTEffectHost), the
// widget services and the scripts' engine services. The game's own object is VTEngine3 (Engine3.h).
#pragma once
#include "engine/app/EngineAppServices.h"
#include "engine/app/EngineWidgetServices.h"
#include "engine/boards/BoardHost.h"
#include "engine/core/CursorHost.h"
#include "engine/core/ImageServices.h"
#include "engine/effects/EffectHost.h"
#include "engine/widgets/Dialog.h"
#include "framework/app/AppBase.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

class PakInterface;
class VTBoard_Game3;
class VTBoard_LoadScreen;
class VTBoard_Splash;
class VTCursorManager;
class VTFont;
class VTGameScript;
class VTImageCache;
class VTLocalization;
class VTMusicPlayer;
class VTParticleSystemRegistry;
class VTProfileStore;
class VTSoundManager;
class VTSoundSystemScope;
class VTTextureCatalogue;
namespace Fw {
class Font;
class Widget;
} // namespace Fw

class VTEngine : public Fw::AppBase,
                 public VTImageServices,
                 public VTCursorHost,
                 public VTBoardHost,
                 public VTEffectHost {
public:
    // programFolder: the folder holding the game (archives, "cfg", "prog.dat"); empty means the
    // folder of the running program. It becomes the current folder, then "loc.pak", "data.pak"
    // and "mod.pak" are opened from it in that order. Publishes the engine singleton.
    explicit VTEngine(const std::string& programFolder = {});
    ~VTEngine() override;

    // The engine object of the process (set by the constructor; null before the first one).
    static VTEngine* GetInstance();

    // ---- catalogues and managers (made by the constructor, alive until the destructor) ----
    VTTextureCatalogue& GetTextureCatalogue() { return *textureCatalogue_; }
    VTImageCache& GetImageCache() { return *imageCache_; }
    VTFont& GetFontCatalogue() { return *fontCatalogue_; }
    // The catalogue's font of that name, or null.
    Fw::Font* GetFont(std::string_view name);
    VTCursorManager& GetCursorManager() override { return *cursorManager_; }
    VTSoundManager& GetSoundManager() override { return *soundManager_; }
    VTMusicPlayer& GetMusicPlayer() { return *musicPlayer_; }
    // The texts of "cfg\loc.xml".
    VTLocalization& GetTextTable() { return *textTable_; }
    // The values scripts and boards set at run time, substituted into text widgets' labels.
    VTLocalization& GetKeyTable() override { return *keyTable_; }
    // Null until the particle systems are wired in (EngineExtensions.h).
    VTParticleSystemRegistry* GetParticleRegistry() override { return particleRegistry_; }
    // The full-screen top-level dialog that WidgetsLock raises over everything.
    VTDialog* GetRootDialog() { return rootDialog_; }

    // ---- what the game's object adds (null/false on a plain VTEngine) ----
    virtual VTBoard_Game3* GetGameBoard() { return nullptr; }
    virtual VTBoard_LoadScreen* GetLoadingBoard() { return nullptr; }
    virtual VTBoard_Splash* GetSplashBoard() { return nullptr; }
    virtual VTGameScript* GetGameScript() { return nullptr; }
    virtual VTProfileStore* GetProfileStore() { return nullptr; }
    virtual bool IsEscMenuActive() const { return false; }
    virtual void SetEscMenuActive(bool /*active*/) {}

    // The root dialog to the front of the top-level widgets and visible: it then takes all mouse
    // input. Main thread.
    void WidgetsLock() override;
    // The root dialog invisible again.
    void WidgetsUnlock() override;
    // Ends the main loop through the framework's own shutdown, bypassing any override that routes
    // close requests to the game (the script engine object's "Shutdown").
    // Any thread: from another one the main thread ends the loop at its next step.
    void EndMainLoop()
    {
        endLoopRequested_ = true;
        Fw::AppBase::Shutdown();
    }
    bool EndLoopRequested() const { return endLoopRequested_; }

    // ---- framework application ----
    void Init() override;
    void LoadingThreadProc() override;
    void LoadingThreadCompleted() override;
    // The deferred cursor calls and StepBoards, then the framework's step.
    bool UpdateAppStep(bool* updated) override;
    // The boards' part of an application step (main thread): a finished level load is handed over,
    // then a waiting level-load request starts.
    void StepBoards();
    void DrawOverlay(Fw::Graphics* g) override;
    void AppGotFocus() override;
    void AppLostFocus() override;

    // ---- VTImageServices ----
    std::unique_ptr<Fw::MemoryImage> LoadEngineImage(const std::string& path) override;
    bool IsScriptLoadBusy() override;
    void WriteScriptLog(const std::string& text) override;
    void ShowScriptTraceback() override;

    // ---- VTCursorHost ----
    // The window system is the main thread's: calls from another thread (the loading step) are
    // applied on the main thread at its next application step, in the order they were made.
    void SetCustomCursorsEnabled(bool on) override;
    void SelectCursorNumber(int32_t number) override;
    void SetCursorSlotImage(int32_t slot, Fw::Image* image) override;
    void GetLastMousePosition(int32_t& x, int32_t& y) override;
    // Applies the cursor calls other threads made (main thread).
    void ApplyDeferredCursorCalls();
    // Runs fn now on the main thread, else queues it for ApplyDeferredCursorCalls (the beginning of
    // the next application step). The scripts' engine object hands its display work here too.
    void OnMainThread(std::function<void()> fn) override;
    bool IsMainThread() const override { return std::this_thread::get_id() == mainThread_; }

    // ---- VTBoardHost ----
    Fw::AppBase& GetHostApp() override { return *this; }

protected:
    // Gives the root dialog the client area (0, 0, width, height).
    void ResizeRootDialog();

private:
    std::unique_ptr<PakInterface> pak_;
    VTEngineAppServices appServices_{*this};
    VTEngineWidgetServices widgetServices_{*this};
    std::unique_ptr<VTCursorManager> cursorManager_;
    std::unique_ptr<VTSoundSystemScope> soundSystem_;
    std::unique_ptr<VTSoundManager> soundManager_;
    std::unique_ptr<VTMusicPlayer> musicPlayer_;
    std::unique_ptr<VTTextureCatalogue> textureCatalogue_;
    std::unique_ptr<VTImageCache> imageCache_;
    std::unique_ptr<VTFont> fontCatalogue_;
    std::unique_ptr<VTLocalization> textTable_;
    std::unique_ptr<VTLocalization> keyTable_;
    VTParticleSystemRegistry* particleRegistry_ = nullptr; // EngineExtensions.h makes and frees it
    VTDialog* rootDialog_ = nullptr; // owned by the widget tree (a top-level widget)
    std::atomic<bool> endLoopRequested_{false};
    const std::thread::id mainThread_ = std::this_thread::get_id();
    std::mutex deferredLock_;
    std::vector<std::function<void()>> deferredCursorCalls_;
};
