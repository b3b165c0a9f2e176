// Window system for tests: windows are records, the message queue is filled by the test, timers
// fire only when the test calls FireTimers, and every call the framework makes is visible.
// Simulates: desktop and work area (settable), window state, capture, cursor, clipboard, the
// single-instance claim (one shared table per process stands for other processes), screen-saver
// answers, opened URLs. Does not simulate: drawing, real input devices.
#pragma once
#include "platform/WindowSystem.h"
#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace Platform {

class FakeWindowSystem final : public WindowSystem {
public:
    struct Window {
        WindowDesc desc;
        bool visible = false;
        bool minimized = false;
        int32_t x = 0, y = 0;
        std::vector<ShowCommand> shows;
    };

    // Settable answers.
    int32_t desktopWidth = 1024, desktopHeight = 768, refreshRate = 0;
    IntRect workArea{0, 0, 1024, 768};
    IntRect frameInsets{};
    WindowId activeWindow = 0; // IsWindowActive answers true for this one
    bool failCreateWindow = false;
    int32_t cursorX = 0, cursorY = 0;
    bool cursorOver = false;
    uint32_t screenSaverTimeout = 0;
    bool screenSaverEnabled = false, screenSaverRunning = false, screenSaverQueryWorks = false;
    bool hasLastInputTick = false;
    uint32_t lastInputTick = 0;
    bool openUrlWorks = true;

    // Observations.
    std::map<WindowId, Window> windows;
    std::vector<WindowId> destroyed;
    WindowId captured = 0;
    int captureCalls = 0, releaseCalls = 0;
    SystemCursor cursor = SystemCursor::Arrow;
    std::string clipboard;
    bool clipboardHasText = false;
    std::vector<std::string> openedUrls;
    std::vector<uint32_t> notifications; // registered messages sent to the running instance
    std::map<std::pair<WindowId, uint32_t>, uint32_t> timers; // (window, id) -> period
    std::set<std::string> claims; // names this object claimed

    ~FakeWindowSystem() override;

    // Test controls.
    void Push(WindowId window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0)
    {
        queue.push_back(Message{window, message, wParam, lParam});
    }
    void FireTimers(); // queues one Msg::Timer per registered timer
    std::deque<Message> queue;
    // Names claimed by "another process": ClaimInstance answers AlreadyRunning for them.
    static std::set<std::string>& OtherProcessClaims();

    void GetDesktopSize(int32_t& width, int32_t& height) override;
    int32_t GetDesktopRefreshRate() override { return refreshRate; }
    IntRect GetWorkArea() override { return workArea; }
    IntRect GetFrameInsets() override { return frameInsets; }

    WindowId CreateWindow(const WindowDesc& desc) override;
    void DestroyWindow(WindowId window) override;
    void ShowWindow(WindowId window, ShowCommand command) override;
    void SetWindowTitle(WindowId window, const std::string& utf8) override;
    void MoveWindow(WindowId window, int32_t x, int32_t y) override;
    bool GetWindowPosition(WindowId window, int32_t& x, int32_t& y) override;
    bool IsWindowMinimized(WindowId window) override;
    bool IsWindowActive(WindowId window) override { return window != 0 && window == activeWindow; }
    void SetForegroundWindow(WindowId window) override { activeWindow = window; }
    void SetTimer(WindowId window, uint32_t id, uint32_t periodMs) override { timers[{window, id}] = periodMs; }

    bool PeekMessage(Message& out) override;
    void PostMessage(const Message& message) override { queue.push_back(message); }
    uint32_t RegisterWindowMessage(const std::string& name) override;
    InstanceClaim ClaimInstance(const std::string& name) override;
    void NotifyRunningInstance(uint32_t registeredMessage) override { notifications.push_back(registeredMessage); }
    std::string InstanceClaimPlace() const override { return "fake claim " + lastClaim_; }

    void SetCapture(WindowId window) override { captured = window; ++captureCalls; }
    void ReleaseCapture() override { captured = 0; ++releaseCalls; }
    bool GetCursorPos(WindowId window, int32_t& x, int32_t& y, bool& over) override;
    void SetSystemCursor(SystemCursor c) override { cursor = c; }

    void SetClipboardText(const std::string& utf8) override { clipboard = utf8; clipboardHasText = true; }
    bool GetClipboardText(std::string& utf8) override;

    bool GetScreenSaverSettings(uint32_t& timeoutSeconds, bool& enabled) override;
    bool IsScreenSaverRunning(bool& running) override;
    bool GetLastInputTick(uint32_t& tick) override;
    bool OpenUrl(const std::string& url) override;

private:
    WindowId nextId_ = 1;
    std::map<std::string, uint32_t> registered_;
    std::string lastClaim_;
};

} // namespace Platform
