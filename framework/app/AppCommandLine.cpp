// Command line, single-instance hand-over, the screen-saver message filter and the idle pause.
#include "framework/app/AppBase.h"
#include "framework/core/CommandLine.h"
#include "framework/core/PathUtils.h"
#include "framework/core/Format.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"

#include <cstdlib>
#include <string>

namespace Fw {

using namespace Platform;

namespace {

bool IsAbsoluteName(const std::string& name)
{
    if (!name.empty() && name[0] == '/')
        return true;
    return name.size() >= 2 && (name[1] == ':' || (name.size() >= 3 && name[2] == '\\'));
}

// Decimal value of text as the runtime's atoi reads it (leading blanks, sign, digits).
int32_t ToInt(const std::string& text) { return static_cast<int32_t>(std::strtol(text.c_str(), nullptr, 10)); }

} // namespace

void AppBase::SetCommandLine(int argc, const char* const* argv) { commandLine = JoinCommandLine(argc, argv); }

void AppBase::ParseCommandLine()
{
    HandleCommandLine(CommandLineArguments(commandLine));
    commandLineParsed = true;
}

void AppBase::HandleCmdLineParam(const std::string& name, const std::string& value)
{
    auto withDataFolder = [](const std::string& file) {
        return IsAbsoluteName(file) ? file : GetAppDataFolder() + file;
    };
    if (name == "-play") {
        playingDemo = true;
        recordingDemo = false;
    } else if (name == "-recnum") {
        int32_t n = ToInt(value);
        if (n <= 0)
            n = 5;
        const int32_t m = GetMaxDemoFileNum(n, true);
        demoFileName = withDataFolder(demoFilePrefix + std::to_string(m + 1) + ".dmo");
        recordingDemo = true;
        playingDemo = false;
    } else if (name == "-playnum") {
        const int32_t k = std::max(ToInt(value) - 1, 0);
        const int32_t m = GetMaxDemoFileNum(k, false);
        demoFileName = demoFilePrefix + std::to_string(m - k) + ".dmo";
        recordingDemo = false;
        playingDemo = true;
    } else if (name == "-record") {
        recordingDemo = true;
        playingDemo = false;
    } else if (name == "-demofile") {
        demoFileName = withDataFolder(value);
    } else if (name == "-screensaver") {
        screenSaverMode = true;
    } else if (name == "-changedir") {
        changeDir = value;
    } else {
        PopupW(GetString("INVALID_COMMANDLINE_PARAM", L"Invalid command line parameter: ") +
               std::wstring(name.begin(), name.end()));
        DoExit(0);
    }
}

void AppBase::HandleNotifyMessage(uintptr_t wParam, intptr_t)
{
    if (wParam != 0)
        return;
    if (ws.IsWindowMinimized(mainWindow))
        ws.ShowWindow(mainWindow, ShowCommand::Restore);
    ws.SetForegroundWindow(mainWindow);
}

void AppBase::HandleGameAlreadyRunning()
{
    if (!singleInstance)
        return; // this copy runs on
    // Otherwise the second start just vanishes.
    Platform::OutputDebugText(FormatString("Another copy of %s is running (its claim is kept in %s): this start "
                                           "hands over to it and exits.\n",
                                           productName.c_str(), ws.InstanceClaimPlace().c_str()));
    if (notifyMessage != 0)
        ws.NotifyRunningInstance(notifyMessage);
    DoExit(0);
}

bool AppBase::ScreenSaverWindowProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam,
                                    intptr_t& result)
{
    if (screenSaver.closing)
        return false;
    result = 0;
    bool close = false;
    switch (message) {
    case Msg::Create:
        if (!screenSaver.initialized) {
            screenSaver.initialized = true;
            bool over = false;
            ws.GetCursorPos(window, screenSaver.startX, screenSaver.startY, over);
            // No screen-saver password check exists on this platform.
        }
        return false;
    case Msg::SysCommand: {
        const uintptr_t command = wParam & 0xFFF0;
        return command == Sc::Close || command == Sc::NextWindow || command == Sc::PrevWindow ||
               command == Sc::ScreenSave;
    }
    case Msg::MouseMove: {
        const int32_t x = ParamX(lParam), y = ParamY(lParam);
        if (x != screenSaver.startX || y != screenSaver.startY) {
            ++screenSaver.moves;
            screenSaver.startX = x;
            screenSaver.startY = y;
        }
        if (screenSaver.moves < 4)
            return true; // jitter
        close = true;
        break;
    }
    case Msg::LButtonDown:
    case Msg::RButtonDown:
    case Msg::MButtonDown:
    case Msg::KeyDown:
    case Msg::SysKeyDown:
    case Msg::Close:
        close = true;
        break;
    case Msg::Activate:
    case Msg::ActivateApp:
    case Msg::NcActivate:
        close = wParam == 0;
        break;
    default:
        break;
    }
    if (!close || window != mainWindow)
        return false;
    // Just after the monitor was powered down, activation and mouse noise do not count.
    const bool noise = message == Msg::ActivateApp || message == Msg::Activate || message == Msg::NcActivate ||
                       message == Msg::MouseMove || message == Msg::Close;
    if (noise && GetClock().GetTickCount() - monitorPowerTick < 1000)
        return false;
    screenSaver.closing = true;
    ws.PostMessage(Message{window, Msg::Close, 0, 0});
    return false;
}

void AppBase::CheckIdlePause(uint32_t now)
{
    if (screenSaverMode || !displayWindowed)
        return;
    if (now - idleSettingsTick > 10000) {
        idleSettingsTick = now;
        uint32_t timeout = 0;
        bool enabled = false;
        if (!ws.GetScreenSaverSettings(timeout, enabled))
            enabled = false;
        screenSaverActive = enabled;
        idleThresholdMs = (timeout > 3 ? timeout - 2 : 1) * 1000;
        if (!screenSaverActive)
            idlePause = false;
    }
    uint32_t tick = 0;
    if (ws.GetLastInputTick(tick))
        lastInputTick = static_cast<int32_t>(tick - now) > 0 ? now : tick;
    if (!screenSaverActive)
        return;
    const uint32_t idle = now - lastInputTick;
    if (idlePause) {
        bool running = false;
        const bool asked = ws.IsScreenSaverRunning(running);
        if ((!asked || !running) && idle < idleThresholdMs) {
            idlePause = false;
            Widgets().MarkAllDirty();
        }
    } else if (idle > idleThresholdMs) {
        idlePause = true;
    }
}

} // namespace Fw
