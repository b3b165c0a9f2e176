// Window procedure and deferred input: messages answered at once, the queue the main loop drains,
// demo recording of input, the focus state and the clipboard.
#include "framework/app/AppBase.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"

#include <algorithm>
#include <cstdio>

namespace Fw {

using namespace Platform;

namespace {

bool IsKeyMessage(uint32_t m) { return m == Msg::KeyDown || m == Msg::KeyUp || m == Msg::SysKeyDown || m == Msg::SysKeyUp; }
bool IsKeyPress(uint32_t m) { return m == Msg::KeyDown || m == Msg::SysKeyDown; }

// Click code of a button message; 0 for a plain move.
int32_t ClickCode(uint32_t m)
{
    switch (m) {
    case Msg::LButtonDown:
    case Msg::LButtonUp: return 1;
    case Msg::LButtonDblClk: return 2;
    case Msg::RButtonDown:
    case Msg::RButtonUp: return -1;
    case Msg::RButtonDblClk: return -2;
    case Msg::MButtonDown:
    case Msg::MButtonUp: return 3;
    default: return 0;
    }
}

} // namespace

void AppBase::DispatchMessage(const Message& m) { WindowProc(m.window, m.message, m.wParam, m.lParam); }

intptr_t AppBase::DefaultWindowProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t)
{
    // What the desktop does by default for the few messages that matter here: Alt+F4 and the
    // close command become a close request.
    if ((message == Msg::SysKeyDown && wParam == Vk::F4) ||
        (message == Msg::SysCommand && (wParam & 0xFFF0) == Sc::Close))
        ws.PostMessage(Message{window, Msg::Close, 0, 0});
    return 0;
}

intptr_t AppBase::WindowProc(WindowId window, uint32_t message, uintptr_t wParam, intptr_t lParam)
{
    if (screenSaverMode) {
        intptr_t result = 0;
        if (ScreenSaverWindowProc(window, message, wParam, lParam, result))
            return result;
    }

    switch (message) {
    case Msg::Destroy: {
        char text[64];
        std::snprintf(text, sizeof text, "DESTROYED HWND: %u\r\n", window);
        OutputDebugStringA(text);
        return DefaultWindowProc(window, message, wParam, lParam);
    }
    case Msg::Enable:
        windowDisabled = wParam == 0;
        return DefaultWindowProc(window, message, wParam, lParam);
    case Msg::Paint:
        if (initialized && !windowHidden) {
            if (inMainLoop)
                Redraw(nullptr);
            return 0;
        }
        return DefaultWindowProc(window, message, wParam, lParam);
    case Msg::EraseBkgnd:
        return 1;
    case Msg::QueryOpen:
        return CanRestoreWindow() ? DefaultWindowProc(window, message, wParam, lParam) : 0;
    case Msg::EndSession:
        Shutdown();
        return DefaultWindowProc(window, message, wParam, lParam);
    case Msg::ActivateApp:
        if (!playingDemo && window == mainWindow)
            active = wParam != 0;
        break; // queued below
    case Msg::SetCursor:
        if (!windowHidden)
            UpdateCursor();
        return 1;
    case Msg::NcLButtonDown: {
        const intptr_t r = DefaultWindowProc(window, message, wParam, lParam);
        ClearUpdateBacklog(false); // dragging the title bar must not cause a burst of updates
        return r;
    }
    case Msg::SysChar:
        return IsAppAltKey(static_cast<uint32_t>(wParam)) ? 0 : DefaultWindowProc(window, message, wParam, lParam);
    case Msg::SysCommand: {
        const uintptr_t command = wParam & 0xFFF0;
        if (command == Sc::MonitorPower) {
            monitorPowerTick = GetClock().GetTickCount();
            return (allowMonitorPowerOff && loadingThreadCompleted) ? DefaultWindowProc(window, message, wParam, lParam)
                                                                    : 0;
        }
        if (command == Sc::ScreenSave) {
            if (!loadingThreadCompleted || !displayWindowed)
                return 0;
        }
        return DefaultWindowProc(window, message, wParam, lParam);
    }
    default:
        break;
    }

    if (DeferredMessageQueue::IsDeferred(message)) {
        if (popupActive)
            return DefaultWindowProc(window, message, wParam, lParam);
        if (IsKeyMessage(message)) {
            const bool press = IsKeyPress(message);
            if (wParam == Vk::Control)
                ctrlDown = press;
            if (wParam == Vk::Menu)
                altDown = press;
            if (press && ImmediateKeyHook(static_cast<uint32_t>(wParam), ctrlDown, altDown))
                return 0;
        }
        if (playingDemo) {
            if (message == Msg::KeyDown)
                DebugKeyDown(static_cast<uint32_t>(wParam));
            if (message == Msg::Char)
                DemoPlaybackKey(static_cast<uint32_t>(wParam));
        }
        if (!deferredMessages.Push(Message{window, message, wParam, lParam}) && message == Msg::Timer)
            return DefaultWindowProc(window, message, wParam, lParam);

        switch (message) {
        case Msg::Size:
            windowMinimizedForDisplay = wParam == SizeMinimized;
            return DefaultWindowProc(window, message, wParam, lParam);
        case Msg::SysKeyDown:
            // Alt+F4 alone goes on to the default handling, which closes the window.
            return wParam == Vk::F4 ? DefaultWindowProc(window, message, wParam, lParam) : 0;
        case Msg::Close:
            WindowCloseHook();
            return 0;
        default:
            return 0;
        }
    }

    if (notifyMessage != 0 && message == notifyMessage && window == mainWindow) {
        HandleNotifyMessage(wParam, lParam);
        return 0;
    }
    return DefaultWindowProc(window, message, wParam, lParam);
}

void AppBase::DemoPlaybackKey(uint32_t ch)
{
    // Playback controls: speed, fast-forward targets, pause, single step, sound.
    switch (ch) {
    case '+': updateMultiplier *= 1.5; break;
    case '-': updateMultiplier /= 1.5; break;
    case '=': updateMultiplier = 1.0; break;
    case '0': fastForwardToUpdate = DemoLastUpdate(); break;
    case 'M': case 'm': fastForward = true; break;
    case 'N': case 'n':
        fastForwardToUpdate = updateCount + 1;
        stepOnce = true;
        break;
    case 'P': case 'p':
        paused = !paused;
        updateTimeAcc = 0.0;
        lastTimeAccTick = GetClock().TimeGetTime();
        break;
    case 'S': case 's': ToggleSound(); break;
    case 'J': case 'j': ShowDemoJumpDialog(); break;
    case 'L': case 'l': ShowDemoMarkerDialog(); break;
    default:
        if (ch >= '4' && ch <= '9') {
            static const int32_t kBackMs[] = {120000, 90000, 60000, 30000, 10000, 5000};
            fastForwardToUpdate = DemoLastUpdate() - kBackMs[ch - '4'] / frameTime;
        }
        break;
    }
}

void AppBase::RecordMessage(const Message& m)
{
    if (!recordingDemo || !demo || shutdown)
        return;
    DemoStream& d = *demo;
    auto command = [&](uint32_t type) {
        d.WriteHead();
        d.WriteBits(0, 1);
        d.WriteBits(type, 5);
    };
    switch (m.message) {
    case Msg::KeyDown:
    case Msg::SysKeyDown:
        command(3);
        d.WriteBits(static_cast<uint32_t>(m.wParam) & 0xFF, 8);
        return;
    case Msg::KeyUp:
    case Msg::SysKeyUp:
        command(4);
        d.WriteBits(static_cast<uint32_t>(m.wParam) & 0xFF, 8);
        return;
    case Msg::Char:
        command(5);
        d.WriteBits(1, 1);
        d.WriteBits(static_cast<uint32_t>(m.wParam) & 0xFFFF, 16);
        return;
    case Msg::Size:
        command(2);
        d.WriteByte(m.wParam == SizeMinimized ? 1 : 0); // a whole byte, as ReadBoolean takes it
        return;
    case Msg::Close:
        if (m.window == mainWindow || m.window == invisibleWindow)
            command(6);
        return;
    case Msg::ActivateApp:
        if (m.window == mainWindow) {
            command(1);
            d.WriteBits(m.wParam != 0 ? 1 : 0, 1);
        }
        return;
    case Msg::MouseWheel:
        command(21);
        d.WriteBits(static_cast<uint32_t>(static_cast<int8_t>(static_cast<int16_t>(m.wParam >> 16) / 120)) & 0xFF, 8);
        return;
    default:
        break;
    }
    if (m.message < Msg::MouseMove || m.message > Msg::MButtonUp)
        return;
    // Captured mouse positions may lie outside the window; the record holds 12 bits per axis, and
    // the clamped value is what playback will have as its last position.
    const int32_t x = std::clamp(ParamX(m.lParam), 0, 4095), y = std::clamp(ParamY(m.lParam), 0, 4095);
    const int32_t dx = x - lastRecordedMouseX, dy = y - lastRecordedMouseY;
    if (dx != 0 || dy != 0) {
        if (dx > -32 && dx < 32 && dy > -32 && dy < 32) {
            d.WriteHead();
            d.WriteBits(1, 1);
            d.WriteBits(0, 1);
            d.WriteBits(static_cast<uint32_t>(dx) & 0x3F, 6);
            d.WriteBits(static_cast<uint32_t>(dy) & 0x3F, 6);
        } else {
            command(0);
            d.WriteBits(static_cast<uint32_t>(x) & 0xFFF, 12);
            d.WriteBits(static_cast<uint32_t>(y) & 0xFFF, 12);
        }
        lastRecordedMouseX = x;
        lastRecordedMouseY = y;
    }
    if (const int32_t code = ClickCode(m.message)) {
        const bool down = m.message != Msg::LButtonUp && m.message != Msg::RButtonUp && m.message != Msg::MButtonUp;
        d.WriteHead();
        d.WriteBits(1, 1);
        d.WriteBits(1, 1);
        d.WriteBits(down ? 1 : 0, 1);
        d.WriteBits(static_cast<uint32_t>(code) & 0x7, 3);
    }
}

bool AppBase::ProcessDeferredMessages(bool single)
{
    bool handled = false;
    Message m;
    while (deferredMessages.Pop(m)) {
        handled = true;
        RecordMessage(m);
        if (!playingDemo)
            HandleDeferredMessage(m);
        if (m.message == Msg::Close && (m.window == mainWindow || m.window == invisibleWindow)) {
            closeRequested = true;
            Shutdown();
        }
        if (single)
            break;
    }
    return handled;
}

void AppBase::HandleDeferredMessage(const Message& m)
{
    AppWidgetPort& w = Widgets();
    switch (m.message) {
    case Msg::KeyDown:
    case Msg::SysKeyDown: {
        lastInputTick = lastTimerTick;
        const uint32_t key = static_cast<uint32_t>(m.wParam);
        if (m.message == Msg::SysKeyDown && key == Vk::Return) {
            if (!forceFullScreen && !fullScreenNotAllowed) {
                SwitchScreenMode(!isWindowed);
                ClearKeysDown();
                return;
            }
        }
        if (key == 'D' && w.IsKeyDown(Vk::Control) && w.IsKeyDown(Vk::Menu)) {
            debugKeysEnabled = !debugKeysEnabled;
        }
        if (!(debugKeysEnabled && DebugKeyDown(key)))
            w.KeyDown(key);
        return;
    }
    case Msg::KeyUp:
    case Msg::SysKeyUp:
        lastInputTick = lastTimerTick;
        w.KeyUp(static_cast<uint32_t>(m.wParam));
        return;
    case Msg::Char:
        lastInputTick = lastTimerTick;
        w.KeyChar(static_cast<char16_t>(m.wParam));
        return;
    case Msg::Move:
        if (m.window == mainWindow && displayWindowed && !ws.IsWindowMinimized(mainWindow)) {
            int32_t x = 0, y = 0;
            if (ws.GetWindowPosition(mainWindow, x, y)) {
                preferredX = x;
                preferredY = y;
            }
        }
        return;
    case Msg::Size: {
        const bool nowMinimized = m.wParam == SizeMinimized;
        if (m.window == mainWindow && !shutdown && nowMinimized != minimized) {
            minimized = nowMinimized;
            if (minimized) {
                if (muteOnLostFocus)
                    Mute(true);
            } else {
                if (muteOnLostFocus)
                    Unmute(true);
                w.MarkAllDirty();
            }
        }
        UpdateFocusState();
        if (m.wParam == SizeMaximized)
            SwitchScreenMode(false); // maximizing goes to full screen
        return;
    }
    case Msg::SysColorChange:
    case Msg::DisplayChange:
        w.SystemColorsChangedAll();
        w.MarkAllDirty();
        return;
    case Msg::ActivateApp:
        if (m.window == mainWindow && !windowHidden && !shutdown) {
            UpdateFocusState();
            if (active && !displayWindowed)
                w.MarkAllDirty();
            if (urlPending && !active)
                OpenUrlSucceeded(pendingUrl);
        }
        return;
    case Msg::Timer:
        if (!windowHidden && inMainLoop)
            HandleTimerMessage();
        return;
    case Msg::MouseWheel:
        w.MouseWheel(static_cast<int8_t>(static_cast<int16_t>(m.wParam >> 16) / 120));
        return;
    default:
        if (m.message >= Msg::MouseMove && m.message <= Msg::MButtonUp && !windowHidden)
            HandleMouseMessage(m);
        return;
    }
}

void AppBase::HandleTimerMessage()
{
    const uint32_t now = GetClock().GetTickCount();
    if (now - lastTimerTick > 500)
        timerResumeTick = now;
    lastTimerTick = now;

    if (urlPending && now - timerResumeTick > 5000) {
        if (!active && now - urlOpenTick > 8000)
            OpenUrlSucceeded(pendingUrl);
        else if (active && now - urlOpenTick > 12000)
            OpenUrlFailed(pendingUrl);
    }

    int32_t x = 0, y = 0;
    bool over = false;
    if (!ws.GetCursorPos(mainWindow, x, y, over))
        return;
    int32_t dw = width, dh = height;
    if (display) {
        dw = display->GetDisplayWidth();
        dh = display->GetDisplayHeight();
    }
    const bool inside = over && x >= 0 && y >= 0 && x < dw && y < dh;
    if (inside == mouseInWindow)
        return;
    if (recordingDemo && demo && !shutdown) {
        demo->WriteHead();
        demo->WriteBits(0, 1);
        demo->WriteBits(inside ? 7 : 8, 5);
    }
    if (!inside) {
        Widgets().MapMouseCoords(x, y);
        Widgets().MouseExit(x, y);
    }
    mouseInWindow = inside;
    UpdateCursor();
}

void AppBase::HandleMouseMessage(const Message& m)
{
    AppWidgetPort& w = Widgets();
    int32_t x = ParamX(m.lParam), y = ParamY(m.lParam);
    windowMouseX = x;
    windowMouseY = y;
    w.MapMouseCoords(x, y);
    lastInputTick = lastTimerTick;
    w.MouseMove(x, y);
    if (!mouseInWindow) {
        if (recordingDemo && demo && !shutdown) {
            demo->WriteHead();
            demo->WriteBits(0, 1);
            demo->WriteBits(7, 5);
        }
        mouseInWindow = true;
        UpdateCursor();
    }
    switch (m.message) {
    case Msg::LButtonDown:
    case Msg::LButtonDblClk:
    case Msg::RButtonDown:
    case Msg::RButtonDblClk:
    case Msg::MButtonDown:
        ws.SetCapture(mainWindow);
        w.MouseDown(x, y, ClickCode(m.message));
        break;
    case Msg::LButtonUp:
    case Msg::RButtonUp:
    case Msg::MButtonUp: {
        const int32_t bit = m.message == Msg::LButtonUp ? 1 : m.message == Msg::RButtonUp ? 2 : 4;
        // Keep the capture while another button is still held on the widget.
        if ((w.DownButtons() & ~bit) == 0)
            ws.ReleaseCapture();
        w.MouseUp(x, y, ClickCode(m.message));
        break;
    }
    default:
        break;
    }
}

void AppBase::UpdateFocusState()
{
    const bool focus = active && !minimized;
    if (focus == focusState)
        return;
    focusState = focus;
    AppWidgetPort& w = Widgets();
    if (focus) {
        if (muteOnLostFocus)
            Unmute(true);
        w.GotFocus();
        AppGotFocus();
    } else {
        if (muteOnLostFocus)
            Mute(true);
        w.LostFocus();
        AppLostFocus();
        ws.ReleaseCapture();
        w.ReleaseDownWidget();
    }
}

void AppBase::ClearKeysDown()
{
    Widgets().ClearKeysDown();
    ctrlDown = false;
    altDown = false;
}

bool AppBase::IsAppAltKey(uint32_t key)
{
    const uint32_t lower = (key >= 'A' && key <= 'Z') ? key - 'A' + 'a' : key;
    return key == 13 || lower == 'r';
}

bool AppBase::ImmediateKeyHook(uint32_t, bool, bool) { return false; }

void AppBase::SetClipboard(const std::string& text)
{
    if (playingDemo)
        return;
    ws.SetClipboardText(text);
}

std::string AppBase::GetClipboard()
{
    std::string text;
    if (!playingDemo && !ws.GetClipboardText(text))
        text.clear();
    return DemoSyncString(text);
}

} // namespace Fw
