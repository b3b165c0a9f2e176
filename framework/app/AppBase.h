// The application object: owns the main and invisible windows, the display, the widget tree's
// manager, the music interface and the framework's settings; runs start-up (Init), the main loop
// and its frame timing (Start), deferred input (WindowProc), registry settings, the command line,
// single instance and screen-saver mode, and shutdown. Derived classes customise it through the
// virtual hooks. One instance per process, reached through gApplication.
// Implementation files: AppBase.cpp (life cycle, window, screen modes), AppMainLoop.cpp (loop and
// timing, threads), AppWindowProc.cpp (window procedure, deferred input, focus, clipboard),
// AppRegistry.cpp, AppCommandLine.cpp (command line, single instance, screen saver, idle pause),
// AppServices.cpp (cursor, volumes, images, web pages, messages and strings).
#pragma once
#include "framework/app/DisplayFactory.h"
#include "framework/display/AppDisplay.h"
#include "framework/display/DisplayHost.h"
#include "framework/app/AppWidgetPort.h"
#include "framework/app/DeferredMessageQueue.h"
#include "framework/core/Demo.h"
#include "framework/core/Ratio.h"
#include "framework/graphics/Font.h"
#include "framework/assets/SharedImageSource.h"
#include "framework/graphics/ImageRegistry.h"
#include "framework/graphics/Rect.h"
#include "framework/graphics/SharedImageRef.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/DialogListener.h"
#include "framework/widgets/WidgetHost.h"
#include "platform/WindowSystem.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>

namespace Fw {

class Graphics;
class Image;
class MemoryImage;
class MusicInterface;
class ResourceManager;
class Widget;
class WidgetManager;

class Buffer;

class Dialog;

class AppBase : public ImageRegistry,
                public SharedImageSource,
                public WidgetHost,
                public DisplayHost,
                public ButtonListener,
                public DialogListener {
public:
    AppBase();
    ~AppBase() override;
    AppBase(const AppBase&) = delete;
    AppBase& operator=(const AppBase&) = delete;

    // ---- DisplayHost: the settings the display is made for (AppBase.cpp) ----
    DisplayRequest GetDisplayRequest() override;
    bool IsPopupActive() override { return popupActive; }
    bool UsesFullScreenFlip() override { return fullScreenFlip; }
    bool WantsVSyncWait() override { return waitForVSync; }
    bool IsVSyncSuppressed() override { return vsyncSuppress; }
    void ReportVSyncBroken() override { vsyncBroken = true; }
    ImageRegistry* GetDisplayImageRegistry() override { return this; }

    // ---- life cycle (AppBase.cpp) ----
    virtual void Init();
    virtual void Start();
    virtual void Shutdown();
    // Ends the process with code after stopping the cursor thread and waiting for the loading thread.
    [[noreturn]] void DoExit(int code);
    virtual void CreateMainWindow();
    int InitDisplay();
    virtual void SwitchScreenMode(bool windowed, bool is3D, bool force);
    virtual void SwitchScreenMode(bool windowed);
    virtual void SwitchScreenMode();
    void Set3DAccelerated(bool is3D, bool reinit);
    virtual MusicInterface* CreateMusicInterface(Platform::WindowId window);

    // Hooks (empty here).
    virtual void PreInitHook() {}
    virtual void PostInitHook() {}
    virtual void PreWindowCreateHook() {}
    virtual void PreDisplayInitHook() {}
    virtual void PostDisplayInitHook() {}
    virtual void ShutdownHook() {}
    virtual void MainLoopEndedHook() {}
    virtual bool ChangeDirHook(const std::string& /*folder*/) { return false; }
    virtual void LoadingThreadProc() {}
    virtual void LoadingThreadCompleted() {}
    virtual void AppGotFocus() {}
    virtual void AppLostFocus() {}
    // Show and hide whatever the application shows while a level or the game's start-up loads.
    virtual void ShowLoadingScreen() {}
    virtual void HideLoadingScreen() {}
    virtual void WindowCloseHook() {}
    // Drawn with the screen's drawing context after the widgets (the widget manager calls it).
    void DrawOverlay(Graphics* /*g*/) override {}

    // ---- main loop and timing (AppMainLoop.cpp) ----
    virtual void MainLoop();
    virtual bool UpdateApp();
    bool UpdateAppStep(bool* updated) override;
    virtual bool Process(bool allowSleep);
    virtual bool DoUpdateFrames();
    virtual void DoUpdateFramesF(float fraction);
    virtual void UpdateFrames();
    virtual bool DrawDirtyStuff();
    virtual void Redraw(const Rect* clip);
    virtual double GetLoadingThreadProgress();
    virtual void DeleteWidgetLater(Widget* widget);
    void UpdateFTimeAcc();
    void ClearUpdateBacklog(bool relaxed = false);
    void StartLoadingThread();
    void WaitForLoadingThread();
    void StartCursorThread();
    void StopCursorThread();
    void ProcessDeleteLaterList();
    // ---- demo recording and playback (AppDemo.cpp) ----
    // Plays the records due at the current update count (playback only).
    virtual void ProcessDemo();
    // Reads the demo file at start of playback (false: error says why), then the start record.
    virtual bool ReadDemoHeader(std::string& error) { return ReadDemoBuffer(error); }
    virtual void ReadDemoStartRecord();
    // Playback has met the recorded loading-completion mark.
    virtual bool DemoLoadingCompleted();
    // Playback holds the update: the stream ended, or a record due now waits for its consumer.
    virtual bool DemoWaitsAtUpdate(int32_t updateCount);
    // The demo's length in updates, and the playback dialogs ("Jump To Time", "Marker List").
    virtual int32_t DemoLastUpdate();
    virtual void ShowDemoJumpDialog();
    virtual void ShowDemoMarkerDialog();
    // Creates the demo stream when recording or playing (Init).
    void StartDemo();
    bool ReadDemoBuffer(std::string& error);
    // Writes the demo file when recording (the destructor calls it); nothing when it cannot be made.
    void WriteDemoBuffer();
    // Values from the outside world passed through the demo: recorded, or replaced on playback.
    void DemoSyncBuffer(Buffer& buffer);
    void DemoSyncBool(bool& value);
    // The display's refresh rate as refreshRate (60..100), recorded with the window mode.
    void DemoSyncRefreshRate();

    // ---- window procedure and deferred input (AppWindowProc.cpp) ----
    intptr_t WindowProc(Platform::WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    // Hands a pumped message to the window procedure (every window of the process is ours).
    void DispatchMessage(const Platform::Message& message);
    bool ProcessDeferredMessages(bool single);
    void UpdateFocusState();
    void ClearKeysDown();
    virtual bool IsAppAltKey(uint32_t key);
    virtual bool ImmediateKeyHook(uint32_t key, bool ctrlDown, bool altDown);
    // Debug keys (F2 profiler, F3 overlays, F8 video stats / 3-D switch, F10, F11 screenshot /
    // image dump); true when the key is consumed (AppDebugTools.cpp).
    virtual bool DebugKeyDown(uint32_t key);
    void SetClipboard(const std::string& text);
    std::string GetClipboard();
    // Demo: passes a value from the outside world through the demo (recorded or replayed).
    virtual std::string DemoSyncString(const std::string& value);

    // ---- registry (AppRegistry.cpp) ----
    bool RegistryWrite(const std::string& name, uint32_t type, const void* data, uint32_t length);
    bool RegistryWriteString(const std::string& name, const std::string& value);
    bool RegistryWriteInteger(const std::string& name, int32_t value);
    bool RegistryWriteBoolean(const std::string& name, bool value);
    void RegistryEraseValue(const std::string& name);
    // length: in the buffer's size, out the value's size. data may be null to ask for the size.
    bool RegistryRead(const std::string& name, uint32_t& type, void* data, uint32_t& length);
    bool RegistryReadInteger(const std::string& name, int32_t& value);
    bool RegistryReadBoolean(const std::string& name, bool& value);
    virtual void WriteToRegistry();
    virtual void ReadFromRegistry();

    // ---- command line, single instance, screen saver (AppCommandLine.cpp) ----
    // The process's command line as one Windows-style string (see CommandLine.h).
    void SetCommandLine(int argc, const char* const* argv);
    virtual void ParseCommandLine();
    virtual void HandleCommandLine(const std::string& /*text*/) {}
    virtual void HandleCmdLineParam(const std::string& name, const std::string& value);
    virtual void HandleNotifyMessage(uintptr_t wParam, intptr_t lParam);
    virtual void HandleGameAlreadyRunning();
    bool ScreenSaverWindowProc(Platform::WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                               intptr_t& result);
    void CheckIdlePause(uint32_t now);
    bool IsScreenSaverMode() const { return screenSaverMode; }
    // Largest number of the demo files prefix + N + ".dmo"; with deleteOld and at least keep
    // files, the oldest one is deleted.
    virtual int32_t GetMaxDemoFileNum(int32_t keep, bool deleteOld);

    // ---- services (AppServices.cpp) ----
    void SetCursorImage(int32_t cursor, Image* image);
    void SetCursor(int cursor) override;
    void EnableCustomCursors(bool on);
    virtual void UpdateCursor();
    virtual double GetMusicVolume() { return musicVolume; }
    virtual double GetSfxVolume() { return sfxVolume; }
    virtual double GetEffectsVolume() { return sfxVolume; }
    virtual void SetMusicVolume(double volume);
    virtual void SetSfxVolume(double volume) { sfxVolume = volume; }
    virtual void SetEffectsVolume(double volume) { sfxVolume = volume; }
    virtual bool IsMuted() { return muteCount > 0; }
    virtual void Mute(bool autoMute);
    virtual void Unmute(bool autoMute);
    void ToggleSound();
    virtual bool OpenUrl(const std::string& url, bool shutdownWhenOpened);
    virtual void OpenUrlFailed(const std::string& url);
    virtual void OpenUrlSucceeded(const std::string& url);
    virtual void HideWindow();
    virtual void SetVideoOnlyDraw(bool on);
    virtual bool CanRestoreWindow() { return !windowDisabled; }
    virtual void ApplyAllImagesPendingFlags();
    virtual void DeleteAllImagesNativeData();
    virtual void DeleteAllImagesExtraBuffers();
    void ReleaseUnusedSharedImages();
    // ---- images from files, shared images, copies (AppImages.cpp) ----
    // A new image for the display: a surface image when the display makes surfaces, else a plain
    // memory image. The caller owns it.
    MemoryImage* NewDisplayImage();
    // The image of a file (a name ending in ".png" loads any supported format of that name; a
    // separate alpha file is merged); null when nothing loads. The caller owns it.
    virtual MemoryImage* CreateImageFromFile(const std::string& name, bool commitBits,
                                             uint32_t alphaComposeColor = 0xFFFFFF);
    // Loaded once per (name, variant), letter case ignored; names starting with '!' are empty
    // images the caller fills.
    SharedImageRef AcquireSharedImage(const std::string& path, const std::string& variant, bool* isNew,
                                      uint32_t alphaComposeColor = 0xFFFFFF) override;
    // A new image holding rect of image (its cell grid and animation copied too).
    MemoryImage* CopyImage(Image* image, const Rect& rect);
    MemoryImage* CopyImage(Image* image);
    bool GetD3DTestPassed();
    bool GetD3DTestSupported();
    // ImageRegistry.
    void AddMemoryImage(MemoryImage* image) override;
    void RemoveMemoryImage(MemoryImage* image) override;
    void RemoveImageTextureData(MemoryImage* image) override;
    bool RecoverImageTextureBits(MemoryImage* image) override;
    void RequestSharedImageCleanUp() override { cleanUpSharedImages = true; }
    bool Is3DAccelerated() override;
    NativeDisplay* GetNativeDisplay() override;

    // String table and messages to the user.
    std::wstring GetString(const std::string& key, const std::wstring& defaultText) const;
    void SetString(const std::string& key, const std::wstring& text);
    virtual int MsgBoxW(const std::wstring& text, const std::wstring& caption, uint32_t flags);
    virtual void PopupW(const std::wstring& text);
    virtual void LogScreenSaverError(const std::string& text);
    virtual int MsgBox(const std::string& text, const std::string& caption, uint32_t flags);
    virtual void Popup(const std::string& text);

    // ---- debug tools and reports (AppDebugTools.cpp) ----
    // The product version compiled into the program (the path is not consulted here).
    virtual std::string GetProductVersion(const std::string& path);
    virtual std::string GetDiagnosticsText();
    // Writes the screen as "_screenshots/imageN.png" in the application-data folder (N one above
    // the highest there); nothing without a screen image.
    void TakeScreenshot();
    // Writes "_dump/imagelist.html" with every image's memory use, and each image as PNG with a
    // 64 x 64 JPEG thumbnail, in the application-data folder.
    void DumpProgramInfo();
    void ShowVideoStats();
    // The overlays of the frame-rate display (F3), drawn into the screen's bottom-right corner
    // after the widgets: the frame rate goes to the window title; mode 1 shows the mouse position;
    // during demo playback the time left is shown above them.
    void UpdateFPSImage();
    void UpdateCoordsImage();
    void DrawDebugOverlay();
    // An overlay's image and font, made on first use; gone with the application (before its display).
    struct Overlay {
        std::unique_ptr<MemoryImage> image;
        std::unique_ptr<Font> font;
    };
    Overlay& PrepareOverlay(Overlay& overlay);
    Overlay fpsOverlay, demoTimeOverlay; // the frame-rate / mouse-position one, the demo-time one
    bool fpsDisplay = false;
    int32_t fpsDisplayMode = 0; // 0 frame rate, 1 mouse position

    // ---- framework dialogs (AppDialogs.cpp) ----
    // A new dialog without images (not yet shown).
    virtual Dialog* NewDialog(int32_t id, bool isModal, const std::wstring& header, const std::wstring& lines,
                              const std::wstring& footer, int32_t buttonSet);
    // Replaces any dialog of that id with a new one and shows it.
    virtual Dialog* DoDialog(int32_t id, bool isModal, const std::wstring& header, const std::wstring& lines,
                             const std::wstring& footer, int32_t buttonSet);
    // Shows dialog (the application owns it from now on) under its own id, or under id.
    virtual void AddDialog(Dialog* dialog);
    virtual void AddDialog(int32_t id, Dialog* dialog);
    virtual Dialog* GetDialog(int32_t id);
    virtual int32_t GetDialogCount() { return static_cast<int32_t>(dialogMap.size()); }
    virtual bool KillDialog(Dialog* dialog);
    bool KillDialog(int32_t id) override;
    // False when no dialog has the id; deletion is deferred to the main loop.
    virtual bool KillDialog(int32_t id, bool removeWidget, bool deleteWidget);
    virtual void ModalDialogOpened() {}
    virtual void ModalDialogClosed() {}
    // Dialog buttons become application buttons: 1000 -> dialog id + 2000, 1001 -> id + 3000.
    void DialogButtonDown(int32_t dialogId, int32_t buttonId) override;
    void DialogButtonClicked(int32_t dialogId, int32_t buttonId) override;
    // Bracket a system pop-up (message box): input is not queued meanwhile; afterwards the
    // update backlog, the keys and any held mouse button are cleared.
    virtual void BeginPopup();
    virtual void EndPopup();

    // The widget tree as the application uses it (never null): the manager, or a test's recorder.
    AppWidgetPort& Widgets() { return *widgetPort; }
    // Replaces the widget tree's port (tests); null restores the manager's.
    void SetWidgetPort(std::unique_ptr<AppWidgetPort> port);

    // ---- identity and settings ----
    std::string dialogCaptionPrefix, appDataSubfolder;
    std::string productName = "Product";
    std::wstring title = L"FwApp";
    std::string registryKey;
    std::string programFolder, productVersion, changeDir;
    std::string commandLine; // set by SetCommandLine; empty: no arguments
    int32_t width = 800, height = 600;
    int32_t preferredX = -1, preferredY = -1;
    double musicVolume = 0.85, sfxVolume = 0.85;
    double savedMusicVolume = 0.0, savedSfxVolume = 0.0;
    int32_t muteCount = 0, autoMuteCount = 0;
    bool isWindowed = true, displayWindowed = true, forceFullScreen = false, fullScreenFailed = false;
    bool displayModeChanged = false, autoEnable3D = true, test3D = true;
    int32_t minVidMemory3D = 6, recVidMemory3D = 14;
    bool singleInstance = true, commandLineParsed = false, screenSaverMode = false;
    bool registryRead = false, initialized = false, lastShutdownWasGraceful = true;
    bool customCursors = false, muteOnLostFocus = true, fullScreenFlip = true, tabletPC = false;
    bool allowMonitorPowerOff = true, debugKeysEnabled = false, fullScreenNotAllowed = false;
    // Wide input: edit boxes take characters 32 to 65535; when cleared, only 32 to 127.
    bool wideInput = true;
    // Read by the display: full-screen colour depth in bits; widen the draw buffer to the screen's
    // aspect instead of bars; window aspect correction; no vsync waits when presenting windowed.
    int32_t colorDepth = 32;
    bool fillScreen = false, useWindowAspect = false, vsyncSuppress = true;
    Ratio windowAspect{4, 3};
    uint32_t randSeed = 0;
    uint32_t notifyMessage = 0;
    bool haveInstanceClaim = false;

    // ---- windows and owned objects ----
    Platform::WindowId mainWindow = 0, invisibleWindow = 0;
    std::unique_ptr<WidgetManager> widgetManager;
    std::unique_ptr<AppDisplay> display;
    std::unique_ptr<MusicInterface> musicInterface;
    std::unique_ptr<ResourceManager> resourceManager; // made by the constructor, its images released first
    // Music back end choice: no music (the plain interface), FMOD, otherwise the empty back end.
    bool noMusic = false, useFModMusic = false;

    // ---- loop and timing state ----
    int32_t frameTime = 10;
    double updateMultiplier = 1.0;
    int32_t refreshRate = 100;
    bool refreshPaced = false, waitForVSync = false, softVSyncWindowed = true, vsyncBroken = false;
    int32_t vsyncStrikes = 0;
    uint32_t vsyncCheckTick = 0, vsyncCheckUpdates = 0;
    double updateTimeAcc = 0.0;
    uint32_t lastTimeAccTick = 0;
    double updateFraction = 0.0;
    int32_t updateAppState = 0, updateAppDepth = 0, updatesSinceDraw = 0;
    bool hasPendingDraw = true, lastDrawWasEmpty = false, drawing = false, forceDraw = false;
    uint32_t lastDrawTick = 0;
    std::atomic<uint32_t> nextDrawTick{0};
    int32_t updateCount = 0;
    std::atomic<int32_t> drawCount{0};
    int32_t sleepCount = 0, drawTime = 0, screenBltTime = 0;
    bool paused = false, fastForward = false, stepOnce = false, fastForwardMuted = false;
    int32_t fastForwardToUpdate = 0;
    uint32_t fastForwardTick = 0;
    bool exitToTop = false;
    std::atomic<bool> shutdown{false}, shutdownRequested{false};
    std::thread::id primaryThreadId;
    bool active = true, minimized = false, inMainLoop = false, autoStartLoadingThread = true;
    bool autoStartCursorThread = true;
    std::atomic<bool> loadingThreadStarted{false}, loadingThreadFinished{false};
    std::atomic<bool> loadingThreadCompleted{false}, loadingThreadBusy{false};
    std::atomic<int32_t> loadingTaskCount{0}, loadingTasksDone{0};
    uint32_t startTick = 0;
    std::atomic<bool> cursorThreadRunning{false};
    // Last mouse position in window pixels, published by the window procedure for the cursor thread.
    std::atomic<int32_t> windowMouseX{0}, windowMouseY{0};

    // ---- window-procedure state ----
    DeferredMessageQueue deferredMessages;
    bool windowHidden = false, popupActive = false, windowDisabled = false, focusState = true;
    bool mouseInWindow = false, ctrlDown = false, altDown = false, closeRequested = false;
    bool windowMinimizedForDisplay = false;
    uint32_t lastTimerTick = 0, timerResumeTick = 0, lastInputTick = 0;
    int32_t lastRecordedMouseX = 0, lastRecordedMouseY = 0;

    // ---- services state ----
    int32_t cursorNum = 0;
    std::array<Image*, 13> cursorImages{};
    bool cleanUpSharedImages = false;
    bool urlPending = false, shutdownAfterUrl = false;
    std::string pendingUrl;
    uint32_t urlOpenTick = 0;
    bool videoOnlyDraw = false;
    std::set<MemoryImage*> imageSet;
    std::map<std::pair<std::string, std::string>, SharedImage> sharedImages;
    std::map<std::string, std::wstring> stringTable;
    std::map<int32_t, Dialog*> dialogMap;
    std::list<Dialog*> dialogList; // in the order they were added

    // ---- demo seam ----
    bool recordingDemo = false, playingDemo = false, manualShutdown = false;
    std::string demoFileName = "fwapp.dmo", demoFilePrefix = "fwapp";
    DemoStream* demo = nullptr; // the recorder/player; null while neither runs
    std::unique_ptr<Demo> demoData; // what demo points to

    // ---- screen-saver handler state ----
    struct ScreenSaverState {
        bool initialized = false, closing = false;
        int32_t startX = 0, startY = 0, moves = 0;
    } screenSaver;
    uint32_t monitorPowerTick = 0;
    // Idle pause (program-wide in effect: one application per process).
    bool idlePause = false;
    uint32_t idleSettingsTick = 0, idleThresholdMs = 0;
    bool screenSaverActive = false;
    bool displayLost = false;
    uint32_t lastRecoverTick = 0, lastSecondTick = 0;

protected:
    // Clock and window system for this object (the process's ones).
    Platform::WindowSystem& ws;

private:
    friend class AppBaseTestAccess;
    void SeedRandom(uint32_t seed);
    void RunFractionalUpdates(float updatesPerDraw, bool countForDraw);
    int AskKeepHardwareAcceleration(const char* key, const wchar_t* defaultText);
    // Runs fn under the display's lock when there is a display (before: nothing to race with).
    template <class Fn> void WithDisplayLock(Fn fn)
    {
        if (display) {
            ScopedCritSect lock(display->Lock());
            fn();
        } else {
            fn();
        }
    }
    void LoadingThreadBody();
    void CursorThreadBody();
    void CompleteLoading();
    void HandleDisplayFailure(int result);
    void RecordMessage(const Platform::Message& m);
    void HandleDeferredMessage(const Platform::Message& m);
    void DemoPlaybackKey(uint32_t ch);
    void HandleMouseMessage(const Platform::Message& m);
    void HandleTimerMessage();
    intptr_t DefaultWindowProc(Platform::WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam);
    void ApplyDisplayToWidgets();
    void DeleteWidget(Widget* widget);
    // Deletes the open dialogs and whatever waits on the delete-later list (destructor).
    void DeleteAllDialogs();

    struct DeleteLater {
        int32_t depth;
        Widget* widget;
    };
    std::list<DeleteLater> deleteLaterList_;
    std::unique_ptr<AppWidgetPort> widgetPort;
    std::thread loadingThread_, cursorThread_;
    std::mutex cursorStopMutex_;
    std::condition_variable cursorStopCv_;
    bool cursorStop_ = false;
    bool loadingCompletedOnce_ = false; // LoadingThreadCompleted has run: never again
    std::function<void(const std::wstring&)> previousPopupSink_;
};

// name without a trailing ".png" (lower case) when something is left before it.
std::string StripPngExtension(const std::string& name);

// The one application object; set by its constructor, cleared by its destructor.
extern AppBase* gApplication;

} // namespace Fw
