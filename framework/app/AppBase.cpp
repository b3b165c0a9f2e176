// Application object: construction, Init, the main window and its display, screen modes, shutdown
// and destruction.
#include "framework/app/AppBase.h"
#include "framework/assets/FModMusicInterface.h"
#include "framework/assets/MusicInterface.h"
#include "framework/assets/ResourceManager.h"
#include "framework/assets/PopupSink.h"
#include "framework/app/ManagerWidgetPort.h"
#include "framework/core/PathUtils.h"
#include "framework/core/Rand15.h"
#include "framework/core/StringUtils.h"
#include "framework/widgets/WidgetManager.h"
#include "framework/app/WindowPlacement.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"
#include "platform/UserFolders.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

namespace Fw {

AppBase* gApplication = nullptr;


namespace {

std::string ProgramFolder()
{
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0)
        return ".";
    std::string p(path, static_cast<size_t>(n));
    const size_t slash = p.find_last_of('/');
    return slash == std::string::npos ? std::string(".") : p.substr(0, slash);
}

} // namespace

AppBase::AppBase() : ws(Platform::GetWindowSystem())
{
    gApplication = this;
    SetDefaultImageRegistry(this);
    programFolder = ProgramFolder();
    productVersion = GetProductVersion(programFolder);
    Platform::Clock& clock = Platform::GetClock();
    startTick = clock.GetTickCount();
    lastDrawTick = clock.TimeGetTime();
    nextDrawTick = lastDrawTick;

    SetString("DIALOG_BUTTON_OK", L"OK");
    SetString("DIALOG_BUTTON_CANCEL", L"CANCEL");
    SetString("UPDATE_CHECK_TITLE", L"Update Check");
    SetString("UPDATE_CHECK_BODY", L"Checking if there are any updates available for this product ...");
    SetString("UP_TO_DATE_TITLE", L"Up to Date");
    SetString("UP_TO_DATE_BODY", L"There are no updates available for this product at this time.");
    SetString("NEW_VERSION_TITLE", L"New Version");
    SetString("NEW_VERSION_BODY", L"There is an update available for this product.  Would you like to visit the web "
                                  L"site to download it?");
    widgetManager = std::make_unique<WidgetManager>(this);
    resourceManager = std::make_unique<ResourceManager>(this, this);
    SetWidgetPort(nullptr);
    // Asset loaders report their errors through the application's popups.
    previousPopupSink_ = SetPopupSink([this](const std::wstring& text) { PopupW(text); });
}

DisplayRequest AppBase::GetDisplayRequest()
{
    return DisplayRequest{width, height, colorDepth, fillScreen, useWindowAspect, windowAspect};
}

AppBase::~AppBase()
{
    WaitForLoadingThread();
    Shutdown();
    StopCursorThread();
    // Its images are shared images of this application: let go of them while the table exists.
    resourceManager.reset();
    WriteDemoBuffer();

    // Hardware acceleration switched during the run: keep the choice, or ask once.
    bool asked = false;
    if (displayModeChanged && display) {
        bool stored = false;
        if (RegistryReadBoolean("Is3D", stored)) {
            RegistryWriteBoolean("Is3D", display->Is3D());
        } else if (display->D3DTestRan() && !display->D3DTestFailed() && !display->D3DTestWarned()) {
            RegistryWriteBoolean("Is3D", display->Is3D());
        } else if (display->Is3D()) {
            asked = true;
            const int answer = AskKeepHardwareAcceleration(
                "HARDWARE_ACCEL_SWITCHED_ON",
                L"Hardware Acceleration was switched on during this session.\r\nIf this resulted in slower "
                L"performance, it should be switched off.\r\nWould you like to keep Hardware Acceleration "
                L"switched on?");
            if (answer == Platform::kIdYes)
                RegistryWriteBoolean("Is3D", true);
            else
                display->Set3D(false);
        }
    }
    if (!asked && display && display->D3DSceneFailed() && !screenSaverMode) {
        const int answer = AskKeepHardwareAcceleration(
            "HARDWARE_ACCEL_NOT_WORKING",
            L"Hardware Acceleration may not have been working correctly during this session.\r\nIf you noticed "
            L"graphics problems, you may want to turn off Hardware Acceleration.\r\nWould you like to keep "
            L"Hardware Acceleration switched on?");
        if (answer == Platform::kIdNo)
            RegistryWriteBoolean("Is3D", false);
    }

    if (invisibleWindow) {
        ws.DestroyWindow(invisibleWindow);
        invisibleWindow = 0;
    }
    DeleteAllDialogs();
    fpsOverlay = {};
    demoTimeOverlay = {};
    widgetPort.reset();
    widgetManager.reset();
    {
        // Shared images are deleted before the display they live on.
        std::map<std::pair<std::string, std::string>, SharedImage> images;
        images.swap(sharedImages);
        for (auto& [key, record] : images)
            delete record.image;
    }
    display.reset();
    musicInterface.reset();
    if (mainWindow) {
        ws.DestroyWindow(mainWindow);
        mainWindow = 0;
    }
    SetPopupSink(std::move(previousPopupSink_));
    if (gApplication == this)
        gApplication = nullptr;
    if (GetDefaultImageRegistry() == this)
        SetDefaultImageRegistry(nullptr);
}

int AppBase::AskKeepHardwareAcceleration(const char* key, const wchar_t* defaultText)
{
    const std::wstring caption = StringToWString(dialogCaptionPrefix) + L" " +
                                 GetString("HARDWARE_ACCEL_CONFIRMATION", L"Hardware Acceleration Confirmation");
    return MsgBoxW(GetString(key, defaultText), caption, Platform::kMbYesNo | Platform::kMbIconQuestion);
}

void AppBase::SetWidgetPort(std::unique_ptr<AppWidgetPort> port)
{
    widgetPort = port ? std::move(port) : std::make_unique<ManagerWidgetPort>(*widgetManager);
}

void AppBase::Init()
{
    primaryThreadId = std::this_thread::get_id();
    if (shutdown)
        return;

    PreInitHook();
    ReadFromRegistry();

    // Application-data folder: the user's data folder, then the subfolder and the product.
    std::string appData = Platform::GetUserFolders().AppDataFolder();
    if (!appDataSubfolder.empty())
        appData += "/" + appDataSubfolder;
    appData += "/" + productName + "/";
    const bool absolute = !demoFileName.empty() && (demoFileName[0] == '/' ||
                          (demoFileName.size() >= 2 && (demoFileName[1] == ':' ||
                          (demoFileName.size() >= 3 && demoFileName[2] == '\\'))));
    if (!absolute)
        demoFileName = appData + demoFileName;
    SetAppDataFolder(appData);

    if (!commandLineParsed)
        ParseCommandLine();
    if (screenSaverMode)
        singleInstance = false;

    if (!ChangeDirHook(programFolder)) {
        const std::string& folder = changeDir.empty() ? programFolder : changeDir;
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) {
            // Stays in the current folder; relative asset names then resolve from there.
        }
    }

    notifyMessage = ws.RegisterWindowMessage(productName + "Notify");
    switch (ws.ClaimInstance(productName + "Mutex")) {
    case Platform::InstanceClaim::AlreadyRunning:
        HandleGameAlreadyRunning();
        break;
    case Platform::InstanceClaim::First:
        haveInstanceClaim = true;
        break;
    default:
        break;
    }

    randSeed = Platform::GetClock().GetTickCount();
    SeedRandom(randSeed);
    StartDemo();
    if (playingDemo) {
        std::string error;
        if (!ReadDemoHeader(error)) {
            playingDemo = false;
            PopupW(StringToWString(error));
            DoExit(0);
        }
    }
    // A demo replays only when the runtime generator starts from the demo's seed too.
    SeedRand((recordingDemo || playingDemo) ? randSeed : Platform::GetClock().GetTickCount());

    Platform::WindowDesc invisible;
    invisible.title = WStringToString(title);
    invisible.width = invisible.height = 1;
    invisible.visible = false;
    invisible.decorated = false;
    invisibleWindow = ws.CreateWindow(invisible);

    PreWindowCreateHook();
    Widgets().SetScreenRects(Rect(0, 0, width, height), Rect(0, 0, width, height));

    int32_t desktopW = 0, desktopH = 0;
    ws.GetDesktopSize(desktopW, desktopH);
    if (width >= desktopW || height >= desktopH) {
        isWindowed = false;
        forceFullScreen = true;
    }
    CreateMainWindow();
    if (playingDemo)
        ReadDemoStartRecord();

    SetSfxVolume(sfxVolume);
    musicInterface.reset(CreateMusicInterface(invisibleWindow));
    SetMusicVolume(musicVolume);
    if (screenSaverMode)
        SetCursor(11);
    PostInitHook();
    initialized = true;
}

void AppBase::CreateMainWindow()
{
    if (mainWindow) {
        const Platform::WindowId old = mainWindow;
        mainWindow = 0;
        ws.DestroyWindow(old);
        Widgets().SetScreenImage(nullptr);
    }

    Platform::WindowDesc desc;
    desc.title = WStringToString(title);
    desc.width = width;
    desc.height = height;
    if (!playingDemo && !isWindowed) {
        desc.fullScreen = true;
        desc.decorated = false;
        mainWindow = ws.CreateWindow(desc);
        displayWindowed = false;
    } else {
        const Platform::IntRect frame = ws.GetFrameInsets();
        const int32_t outerW = width + frame.left + frame.right;
        const int32_t outerH = height + frame.top + frame.bottom;
        const Point at = PlaceMainWindow(ws.GetWorkArea(), outerW, outerH, preferredX, preferredY);
        desc.x = at.x;
        desc.y = at.y;
        mainWindow = ws.CreateWindow(desc);
        displayWindowed = true;
    }
    if (!mainWindow) {
        // Without a window there is nothing to show and no way to close the program.
        PopupW(GetString("FAILED_CREATE_WINDOW", L"Failed to create the main window."));
        DoExit(1);
    }
    // The desktop announces a new window to its procedure before anything else.
    WindowProc(mainWindow, Platform::Msg::Create, 0, 0);

    if (!display) {
        display = CreateDisplay(*this);
        bool stored = false;
        if (RegistryReadBoolean("Is3D", stored)) {
            if (autoEnable3D || stored)
                test3D = true;
            display->Set3D(stored);
        }
    }

    const int r = InitDisplay();
    if (r != RESULT_OK) {
        HandleDisplayFailure(r);
        return;
    }
    ApplyDisplayToWidgets();
}

void AppBase::HandleDisplayFailure(int r)
{
    if (isWindowed && r == RESULT_INVALID_COLORDEPTH) {
        if (fullScreenFailed) {
            PopupW(GetString("PLEASE_SET_COLOR_DEPTH", L"Please set your desktop color depth to 16 bit."));
            DoExit(1);
        }
        forceFullScreen = true;
        SwitchScreenMode(false);
        return;
    }
    if (!isWindowed && (r == RESULT_EXCLUSIVE_FAIL || r == RESULT_DISPCHANGE_FAIL)) {
        fullScreenFailed = true;
        if (forceFullScreen) {
            // Windowed mode was already found impossible: no mode is left to run in.
            PopupW(GetString("PLEASE_SET_COLOR_DEPTH", L"Please set your desktop color depth to 16 bit."));
            DoExit(1);
        }
        SwitchScreenMode(true);
        return; // the windowed CreateMainWindow finished the job
    }
    if (r == RESULT_3D_FAIL) {
        Set3DAccelerated(false, true);
        return;
    }
    if (Is3DAccelerated()) {
        Set3DAccelerated(false, true);
        return;
    }
    const std::string name = DisplayResultToString(r);
    PopupW(GetString("FAILED_INIT_DIRECTDRAW", L"Failed to initialize DirectDraw: ") +
           std::wstring(name.begin(), name.end()) + L" " +
           [&] { const std::string e = display->GetErrorText(); return std::wstring(e.begin(), e.end()); }());
    DoExit(1);
}

void AppBase::ApplyDisplayToWidgets()
{
    const bool wasActive = active;
    active = ws.IsWindowActive(mainWindow);
    if (minimized) {
        if (muteOnLostFocus)
            Unmute(true);
        minimized = false;
        UpdateFocusState();
    }
    if (active != wasActive)
        UpdateFocusState();
    ApplyAllImagesPendingFlags();
    Widgets().SetScreenImage(display->GetScreenImage());
    Widgets().MarkAllDirty();
    ws.SetTimer(mainWindow, 100, static_cast<uint32_t>(frameTime));
}

int AppBase::InitDisplay()
{
    PreDisplayInitHook();
    DeleteAllImagesNativeData();
    const int r = display->Init(mainWindow, displayWindowed);
    DemoSyncRefreshRate();
    if (r != RESULT_OK)
        return r;
    const int32_t dw = display->GetDisplayWidth(), dh = display->GetDisplayHeight();
    Widgets().SetScreenRects(Rect((width - dw) / 2, (height - dh) / 2, dw, dh), display->GetPresentationRect());
    PostDisplayInitHook();
    return RESULT_OK;
}

void AppBase::SwitchScreenMode(bool windowed, bool is3D, bool force)
{
    if (forceFullScreen)
        windowed = false;
    if (windowed == isWindowed && !force) {
        Set3DAccelerated(is3D, true);
        return;
    }
    Set3DAccelerated(is3D, false);
    isWindowed = windowed;
    CreateMainWindow();
    if (urlPending) {
        ws.ShowWindow(mainWindow, Platform::ShowCommand::ShowNoActivate);
    } else {
        ws.ShowWindow(mainWindow, Platform::ShowCommand::ShowNormal);
        ws.SetForegroundWindow(mainWindow);
    }
}

void AppBase::SwitchScreenMode(bool windowed) { SwitchScreenMode(windowed, Is3DAccelerated(), false); }
void AppBase::SwitchScreenMode() { SwitchScreenMode(isWindowed, Is3DAccelerated(), true); }

void AppBase::Set3DAccelerated(bool is3D, bool reinit)
{
    if (!display || display->Is3D() == is3D)
        return;
    displayModeChanged = true;
    display->Set3D(is3D);
    if (!reinit)
        return;
    const int r = InitDisplay();
    if (r != RESULT_OK) {
        if (is3D) {
            Set3DAccelerated(false, reinit);
            return;
        }
        const std::string name = DisplayResultToString(r);
        const std::string err = display->GetErrorText();
        PopupW(GetString("FAILED_INIT_DIRECTDRAW", L"Failed to initialize DirectDraw: ") +
               std::wstring(name.begin(), name.end()) + L" " + std::wstring(err.begin(), err.end()));
        DoExit(1);
    }
    ApplyAllImagesPendingFlags();
    Widgets().SetScreenImage(display->GetScreenImage());
    Widgets().MarkAllDirty();
}

bool AppBase::Is3DAccelerated() { return display && display->Is3D(); }

MusicInterface* AppBase::CreateMusicInterface(Platform::WindowId window)
{
    if (noMusic)
        return new MusicInterface();
    if (useFModMusic)
        return FModMusicInterface::Create().release(); // the empty back end when the library is missing
    (void)window; // the empty back end keeps nothing of the window
    return new BassMusicInterface();
}

void AppBase::Shutdown()
{
    if (primaryThreadId != std::thread::id() && std::this_thread::get_id() != primaryThreadId) {
        // Another thread: the main thread acts on it at its next timing step.
        shutdownRequested = true;
        return;
    }
    if (shutdown)
        return;
    exitToTop = true;
    shutdown = true;
    ShutdownHook();
    if (playingDemo) {
        SetMusicVolume(savedMusicVolume);
        SetSfxVolume(savedSfxVolume);
    }
    StopCursorThread();
    if (musicInterface)
        musicInterface->StopAllMusic();
    if (!displayWindowed && display && display->HasExclusiveMode())
        display->RestoreDisplayMode();
    if (mainWindow)
        ws.ShowWindow(mainWindow, Platform::ShowCommand::Hide);
    if (registryRead)
        WriteToRegistry();
}

void AppBase::DoExit(int code)
{
    // Threads must not run on into a process that is tearing down its globals.
    StopCursorThread();
    WaitForLoadingThread();
    std::exit(code);
}

} // namespace Fw
