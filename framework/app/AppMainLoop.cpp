// Main loop and frame timing: Start, the step machine, the timing core Process, updates, drawing
// and presentation, the loading and cursor threads, and the delete-later list.
#include "framework/assets/MusicInterface.h"
#include "framework/app/AppBase.h"
#include "framework/core/Profiler.h"
#include "platform/Clock.h"
#include "platform/DebugOutput.h"
#include "platform/ThreadPriority.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace Fw {

namespace {

Platform::Clock& Clock() { return Platform::GetClock(); }

void DebugPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void DebugPrintf(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    Platform::OutputDebugStringA(buffer);
}

} // namespace

void AppBase::Start()
{
    if (shutdown)
        return;
    if (autoStartCursorThread)
        StartCursorThread();
    if (autoStartLoadingThread)
        StartLoadingThread();
    ws.ShowWindow(mainWindow, Platform::ShowCommand::Show);
    const uint32_t t0 = Clock().TimeGetTime();
    inMainLoop = true;
    MainLoop();
    ProcessDeleteLaterList();
    inMainLoop = false;
    WaitForLoadingThread();

    DebugPrintf("Seconds       = %g\r\n", static_cast<uint32_t>(Clock().TimeGetTime() - t0) / 1000.0);
    DebugPrintf("Sleep Count   = %d\r\n", sleepCount);
    DebugPrintf("Update Count  = %d\r\n", updateCount);
    DebugPrintf("Draw Count    = %d\r\n", drawCount.load());
    DebugPrintf("Draw Time     = %d\r\n", drawTime);
    DebugPrintf("Screen Blt    = %d\r\n", screenBltTime);
    if (drawTime + screenBltTime > 0)
        DebugPrintf("Avg FPS       = %d\r\n", drawCount.load() * 1000 / (drawTime + screenBltTime));
    MainLoopEndedHook();
    WriteToRegistry();
}

void AppBase::MainLoop()
{
    while (!shutdown) {
        exitToTop = false;
        UpdateApp();
    }
}

bool AppBase::UpdateApp()
{
    bool updated = false;
    do {
        if (!UpdateAppStep(&updated))
            return false;
    } while (!updated);
    return true;
}

bool AppBase::UpdateAppStep(bool* updated)
{
    ProfileScope profile("Fw::AppBase::UpdateAppStep");
    if (updated)
        *updated = false;
    if (exitToTop)
        return false;
    if (updateAppState == 3)
        updateAppState = 0;
    ++updateAppDepth;

    if (updateAppState == 0) {
        Platform::Message m;
        while (ws.PeekMessage(m)) {
            if (shutdown)
                break; // the message just taken is dropped
            ProfileScope message("AppBase::UpdateAppStep process MESSAGE");
            DispatchMessage(m);
        }
        if (display)
            display->PresentPending(); // cursor moves painted by the cursor thread
        {
            ProfileScope demoSection("AppBase::UpdateAppStep - ProcessDemo()");
            ProcessDemo();
        }
        ProfileScope deferred("AppBase::UpdateAppStep - ProcessDeferredMessages()");
        if (!ProcessDeferredMessages(true))
            updateAppState = 1;
    } else {
        const int32_t before = updateCount;
        Process(true);
        if (updated)
            *updated = updateCount != before;
    }

    --updateAppDepth;
    return true;
}

bool AppBase::Process(bool allowSleep)
{
    ProfileScope profile("Fw::AppBase::Process");
    if (shutdownRequested.exchange(false))
        Shutdown();

    const bool vsynced = !playingDemo && refreshPaced && !lastDrawWasEmpty && !vsyncBroken &&
                         (!displayWindowed || (waitForVSync && !softVSyncWindowed));
    // Clamp before dividing: a desktop without a known rate reports 0.
    const int32_t hz = std::clamp(refreshRate, 60, 100);
    double frameDelay;
    float updatesPerDraw;
    if (refreshPaced) {
        frameDelay = 1000.0 / hz / updateMultiplier;
        updatesPerDraw = static_cast<float>(1000.0 / (static_cast<double>(frameTime) * hz));
    } else {
        frameDelay = frameTime / updateMultiplier;
        updatesPerDraw = 1.0f;
    }

    // Demo fast-forward: run updates without drawing until the target is reached.
    if (playingDemo && (updateCount < fastForwardToUpdate || fastForward)) {
        if (!fastForwardMuted && !stepOnce) {
            fastForwardMuted = true;
            Mute(true);
        }
        if (fastForwardTick == 0)
            fastForwardTick = Clock().GetTickCount();
        while (updateCount < fastForwardToUpdate || fastForward) {
            ClearUpdateBacklog();
            const int32_t before = updateCount;
            if (DoUpdateFrames())
                RunFractionalUpdates(updatesPerDraw, false);
            if (updateCount == before)
                return true;
            const uint32_t ticks = Clock().GetTickCount();
            if (ticks - fastForwardTick >= 1000 || stepOnce) {
                stepOnce = false;
                fastForwardTick = ticks;
                DrawDirtyStuff();
                return true;
            }
        }
        if (fastForwardMuted) {
            fastForwardMuted = false;
            Unmute(true);
        }
    }

    if (paused || updateMultiplier <= 0.0) {
        ProcessDeleteLaterList();
        return true;
    }

    const uint32_t t0 = Clock().TimeGetTime();
    uint32_t slept = 0;
    if (!vsynced)
        UpdateFTimeAcc();

    bool drawStep = false;
    if (updateAppState == 1) {
        ++updatesSinceDraw;
        if (updatesSinceDraw >= static_cast<int32_t>(std::ceil(updateMultiplier * 10.0)) && loadingThreadCompleted) {
            drawStep = true;
        } else {
            const bool due = (vsynced && !hasPendingDraw) ||
                             (vsynced && updateTimeAcc >= static_cast<double>(static_cast<int32_t>(frameDelay * 0.75))) ||
                             (!vsynced && updateTimeAcc >= frameDelay);
            if (!due) {
                drawStep = true;
            } else {
                if (!playingDemo && updateMultiplier == 1.0) {
                    // Broken-vsync test: a batch of about one second of updates that took at most
                    // 800 ms three times running means the refresh does not pace us. A check tick of
                    // 0 is "no batch measured yet", even when the clock has wrapped to small values.
                    const uint32_t batch = static_cast<uint32_t>((frameTime + 999) / frameTime);
                    if (++vsyncCheckUpdates >= batch) {
                        if (vsyncCheckTick != 0 && t0 - vsyncCheckTick <= 800) {
                            if (++vsyncStrikes >= 3)
                                vsyncBroken = true;
                        } else {
                            vsyncStrikes = 0;
                        }
                        vsyncCheckTick = t0;
                        vsyncCheckUpdates = 0;
                    }
                }
                if (DoUpdateFrames())
                    updateAppState = 2;
                hasPendingDraw = true;
            }
        }
    } else if (updateAppState == 2) {
        updateAppState = 3;
        RunFractionalUpdates(updatesPerDraw, true);
        updateTimeAcc -= frameDelay;
        if (vsynced) {
            updateTimeAcc -= static_cast<double>(0.2f);
            if (updateTimeAcc < 0.0)
                updateTimeAcc = 0.0;
        }
    } else {
        drawStep = true;
    }

    if (drawStep) {
        updateAppState = 3;
        updatesSinceDraw = 0;
        if (hasPendingDraw) {
            DrawDirtyStuff();
        } else {
            const int32_t n = static_cast<int32_t>(frameDelay - updateTimeAcc);
            if (n > 0) {
                if (!allowSleep)
                    return false;
                ++sleepCount;
                Clock().Sleep(static_cast<uint32_t>(n));
                slept = static_cast<uint32_t>(n);
            }
        }
    }

    // Loading yield: leave the loader twice the time this call worked, at most 250 ms.
    if (loadingThreadBusy) {
        const int64_t worked = static_cast<int32_t>(Clock().TimeGetTime() - slept - t0);
        const int64_t e = std::min<int64_t>(2 * worked - slept, 250);
        if (e >= 0) {
            if (!allowSleep)
                return false;
            Clock().Sleep(static_cast<uint32_t>(e));
        }
    }

    ProcessDeleteLaterList();
    return true;
}

void AppBase::RunFractionalUpdates(float updatesPerDraw, bool countForDraw)
{
    // One draw covers updatesPerDraw updates: the whole one already ran; the fraction owed grows
    // and is paid in whole catch-up updates, then the fractional update runs.
    updateFraction += updatesPerDraw - 1.0;
    ProcessDeleteLaterList();
    while (updateFraction >= 1.0) {
        ProcessDemo();
        if (countForDraw)
            ++updatesSinceDraw;
        if (!DoUpdateFrames())
            break;
        ProcessDeleteLaterList();
        updateFraction -= 1.0;
    }
    DoUpdateFramesF(updatesPerDraw);
    ProcessDeleteLaterList();
}

void AppBase::UpdateFTimeAcc()
{
    const uint32_t now = Clock().TimeGetTime();
    if (lastTimeAccTick != 0)
        updateTimeAcc = std::min(updateTimeAcc + static_cast<double>(now - lastTimeAccTick), 200.0);
    lastTimeAccTick = now;
}

void AppBase::ClearUpdateBacklog(bool)
{
    updateTimeAcc = 0.0;
    lastTimeAccTick = Clock().TimeGetTime();
}

void AppBase::CompleteLoading()
{
    Platform::SetCurrentThreadPriority(Platform::kThreadPriorityNormal);
    loadingThreadCompleted = true;
    loadingThreadBusy = false;
    if (loadingThread_.joinable())
        loadingThread_.join(); // it has set its finished flag as its last act
    // Initial loading completes once per run, whatever later code does with the flags.
    if (!loadingCompletedOnce_) {
        loadingCompletedOnce_ = true;
        LoadingThreadCompleted();
    }
}

bool AppBase::DoUpdateFrames()
{
    ProfileScope profile("AppBase::DoUpdateFrames");
    if (idlePause)
        return false;
    if (playingDemo) {
        if (loadingThreadFinished && !loadingThreadCompleted && DemoLoadingCompleted())
            CompleteLoading();
        if (loadingThreadCompleted != DemoLoadingCompleted() || DemoWaitsAtUpdate(updateCount))
            return false;
    } else if (loadingThreadFinished && !loadingThreadCompleted) {
        CompleteLoading();
        if (recordingDemo && demo) {
            demo->WriteHead();
            demo->WriteBits(0, 1);
            demo->WriteBits(9, 5);
        }
    }
    UpdateFrames();
    return true;
}

void AppBase::UpdateFrames()
{
    ++updateCount;
    if (!minimized)
        Widgets().UpdateFrame();
    if (musicInterface)
        musicInterface->Update();
    ReleaseUnusedSharedImages();
}

void AppBase::DoUpdateFramesF(float fraction)
{
    ProfileScope profile("AppBase::DoUpdateFramesF");
    if (refreshPaced && !minimized)
        Widgets().UpdateFrameF(fraction);
}

bool AppBase::DrawDirtyStuff()
{
    ProfileScope profile("AppBase::DrawDirtyStuff");
    auto nothingDrawn = [this] {
        hasPendingDraw = false;
        lastDrawWasEmpty = true;
        return false;
    };
    if (displayLost) {
        Redraw(nullptr);
        return nothingDrawn();
    }
    const uint32_t now = Clock().TimeGetTime();
    if (now - lastSecondTick > 1000) {
        lastSecondTick = now;
        CheckIdlePause(now);
    }
    if (idlePause)
        return nothingDrawn();

    drawing = true;
    const bool drew = Widgets().DrawScreen();
    if (fpsDisplay)
        DrawDebugOverlay();
    drawing = false;
    // Present at least once a second even when nothing changed.
    if (!drew && now - lastDrawTick < 1000 && !forceDraw)
        return nothingDrawn();
    if (static_cast<int32_t>(now - nextDrawTick.load()) < 0)
        return nothingDrawn();

    ++drawCount;
    lastDrawWasEmpty = false;
    drawTime += static_cast<int32_t>(Clock().TimeGetTime() - now);

    if (displayWindowed && waitForVSync && softVSyncWindowed && display) {
        const uint32_t period = static_cast<uint32_t>(display->GetMillisPerRefresh());
        const uint32_t since = Clock().TimeGetTime() - lastDrawTick;
        if (since < period)
            Clock().Sleep(period - since);
    }

    const uint32_t t1 = Clock().TimeGetTime();
    lastDrawTick = t1;
    Redraw(nullptr);
    UpdateFTimeAcc();
    const uint32_t t2 = Clock().TimeGetTime();
    screenBltTime = static_cast<int32_t>(t2 - t1);

    if (loadingThreadStarted && !loadingThreadFinished) {
        // While loading, space draws by the draw time (at least 15 ms) plus 35 ms.
        const uint32_t d = std::max<uint32_t>(t2 - now, 15);
        uint32_t next = nextDrawTick.load() + d + 35;
        if (static_cast<int32_t>(next - t2) <= 0)
            next = t2;
        nextDrawTick = next;
    } else {
        nextDrawTick = t2;
    }
    hasPendingDraw = false;
    forceDraw = false;
    return true;
}

void AppBase::Redraw(const Rect* clip)
{
    ProfileScope profile("AppBase::Redraw");
    if (drawing || shutdown || idlePause || !display)
        return;
    if (display->Redraw(clip)) {
        if (displayLost) {
            displayLost = false;
            lastRecoverTick = 0;
        }
        return;
    }

    // The surfaces are lost (another program took the screen): try to get them back.
    displayLost = true;
    const uint32_t ticks = Clock().GetTickCount();
    if ((!active && (ticks - lastRecoverTick <= 1000 || !displayWindowed)) || ws.IsWindowMinimized(mainWindow) ||
        minimized)
        return;
    lastRecoverTick = ticks;
    Widgets().SetScreenImage(nullptr);

    int32_t desktopW = 0, desktopH = 0;
    ws.GetDesktopSize(desktopW, desktopH);
    if (!(width < desktopW && height < desktopH) && isWindowed) {
        if (!fullScreenFailed) {
            forceFullScreen = true;
            SwitchScreenMode(false);
        } else {
            PopupW(GetString("PLEASE_SET_COLOR_DEPTH", L"Please set your desktop color depth to 16 bit."));
            Shutdown();
        }
        return;
    }
    const int r = InitDisplay();
    if (r == RESULT_OK) {
        ApplyAllImagesPendingFlags();
        Widgets().SetScreenImage(display->GetScreenImage());
        Widgets().MarkAllDirty();
    } else if (isWindowed && r == RESULT_INVALID_COLORDEPTH) {
        if (active) {
            SwitchScreenMode(false);
            forceFullScreen = true;
        }
    } else if (r == RESULT_3D_FAIL) {
        Set3DAccelerated(false, true);
    }
}

// ---- loading thread ----

void AppBase::StartLoadingThread()
{
    if (loadingThreadStarted)
        return;
    loadingThreadBusy = true;
    Platform::SetCurrentThreadPriority(Platform::kThreadPriorityAboveNormal);
    loadingThreadStarted = true;
    loadingThread_ = std::thread(&AppBase::LoadingThreadBody, this);
}

void AppBase::LoadingThreadBody()
{
    LoadingThreadProc();
    DebugPrintf("Resource Loading Time: %d\r\n", static_cast<int32_t>(Clock().GetTickCount() - startTick));
    loadingThreadFinished = true; // last: the main thread takes over from here
}

void AppBase::WaitForLoadingThread()
{
    if (loadingThread_.joinable() && loadingThread_.get_id() != std::this_thread::get_id())
        loadingThread_.join();
}

double AppBase::GetLoadingThreadProgress()
{
    if (loadingThreadCompleted)
        return 1.0;
    const int32_t total = loadingTaskCount;
    if (!loadingThreadStarted || total == 0)
        return 0.0;
    return std::min(1.0, static_cast<double>(loadingTasksDone) / total);
}

// ---- cursor thread ----

void AppBase::StartCursorThread()
{
    if (cursorThreadRunning)
        return;
    cursorThreadRunning = true;
    Platform::SetCurrentThreadPriority(Platform::kThreadPriorityAboveNormal);
    {
        std::lock_guard<std::mutex> lock(cursorStopMutex_);
        cursorStop_ = false;
    }
    cursorThread_ = std::thread(&AppBase::CursorThreadBody, this);
}

void AppBase::CursorThreadBody()
{
    Platform::SetCurrentThreadPriority(Platform::kThreadPriorityAboveNormal);
    std::unique_lock<std::mutex> lock(cursorStopMutex_);
    while (!shutdown && !cursorStop_) {
        // 10 ms between looks; a stop request wakes it at once.
        cursorStopCv_.wait_for(lock, std::chrono::milliseconds(10));
        if (shutdown || cursorStop_ || drawCount == 0 || !display)
            continue;
        const int32_t x = windowMouseX, y = windowMouseY;
        int32_t cx = 0, cy = 0;
        display->GetCursorPos(cx, cy);
        if (cx == x && cy == y)
            continue;
        // Long after the last presentation: move it now; otherwise the next presentation does.
        const uint32_t sinceDraw = Clock().TimeGetTime() - nextDrawTick.load();
        if (sinceDraw > static_cast<uint32_t>(display->GetMillisPerRefresh() + 5))
            display->SetCursorPos(x, y);
        else
            display->SetPendingCursorPos(x, y);
    }
    cursorThreadRunning = false;
}

void AppBase::StopCursorThread()
{
    {
        std::lock_guard<std::mutex> lock(cursorStopMutex_);
        cursorStop_ = true;
    }
    cursorStopCv_.notify_all();
    if (cursorThread_.joinable() && cursorThread_.get_id() != std::this_thread::get_id())
        cursorThread_.join();
}

// ---- delete-later list ----

void AppBase::DeleteWidgetLater(Widget* widget) { deleteLaterList_.push_back({updateAppDepth, widget}); }

void AppBase::ProcessDeleteLaterList()
{
    for (auto it = deleteLaterList_.begin(); it != deleteLaterList_.end();) {
        if (it->depth < updateAppDepth) {
            ++it; // queued by an outer loop level: that level deletes it
            continue;
        }
        Widget* w = it->widget;
        it = deleteLaterList_.erase(it);
        if (w)
            Widgets().DestroyWidget(w);
    }
}

} // namespace Fw
