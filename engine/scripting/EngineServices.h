// What the scripts' engine object reaches of the running engine: its managers and tables, the
// boards' level and loading-picture calls, the screen mode, the URL opener, the end of the main
// loop and the main thread's task queue. The engine's application object sets its own
// implementation while it lives (SetEngineAppServices); tests install a fake with
// ScopedEngineServices.
// Calls come from any script thread without the interpreter lock; each operation's thread rule is
// given below.
#pragma once
#include <functional>
#include <string>

class VTCursorManager;
class VTImageCache;
class VTLocalization;
class VTMusicPlayer;
class VTProfileStore;
class VTSoundManager;
class VTTextureCatalogue;
namespace Fw {
class Widget;
}

class VTEngineServices {
public:
    virtual ~VTEngineServices() = default;

    // The engine's managers and tables; null when the engine has none (no engine, or not made yet).
    virtual VTProfileStore* ProfileStore() = 0;
    virtual VTSoundManager* SoundManager() = 0;
    virtual VTMusicPlayer* MusicPlayer() = 0;
    virtual VTLocalization* TextTable() = 0; // the texts of "cfg\loc.xml"
    virtual VTLocalization* KeyTable() = 0;  // the values scripts and boards set at run time
    virtual VTCursorManager* CursorManager() = 0;
    virtual VTImageCache* ImageCache() = 0;
    // Where script widgets and particle systems take their images from.
    virtual VTTextureCatalogue* TextureCatalogue() = 0;
    // The game board, which the engine object's AddWidget puts script widgets on; null before the
    // loading step made it. The widget under the mouse (the widget manager's hover), or null.
    // Their widgets are the main thread's (and the scripts' while the board is out of the tree).
    virtual Fw::Widget* GameBoard() = 0;
    virtual Fw::Widget* MouseOverWidget() = 0;

    // The game board starts loading level name (the load runs on its own thread). Any thread.
    virtual void StartLevelLoad(const std::string& name) = 0;
    // The loading board shows picture name and hides its others. Main thread.
    virtual void SelectLoadingPicture(const std::string& name) = 0;

    virtual bool IsWindowed() = 0;
    // True when the framework forced full screen (the window does not fit the desktop, say).
    virtual bool IsFullScreenForced() = 0;
    // The application to windowed mode or full screen. Main thread.
    virtual void SwitchScreenMode(bool windowed) = 0;
    // Opens url with the platform's URL opener; the program ends once it has opened.
    virtual void OpenUrl(const std::string& url) = 0;
    // The framework's own shutdown, which ends the main loop (not the engine's close-request
    // override that asks the script). Any thread.
    virtual void EndMainLoop() = 0;

    virtual bool IsEscMenuActive() = 0;
    virtual void SetEscMenuActive(bool active) = 0;

    virtual bool IsMainThread() = 0;
    // Runs task at the beginning of the next application step, on the main thread. Any thread.
    virtual void PostToMainThread(std::function<void()> task) = 0;
};

// The installed services (tests), else the running engine's; null without either.
VTEngineServices* GetEngineServices();
// The running engine's services: null while no engine exists.
VTEngineServices* GetEngineAppServices();
// Sets the running engine's services (the engine's application object; null when it goes); returns
// the ones set before.
VTEngineServices* SetEngineAppServices(VTEngineServices* services);

// Installs services for a scope (tests, tools); the previous ones come back afterwards.
class ScopedEngineServices {
public:
    explicit ScopedEngineServices(VTEngineServices& services);
    ~ScopedEngineServices();
    ScopedEngineServices(const ScopedEngineServices&) = delete;
    ScopedEngineServices& operator=(const ScopedEngineServices&) = delete;

private:
    VTEngineServices* previous_;
};
