// The window system over SDL2 video and events. SDL window ids serve as framework window ids.
// Everything here runs on the main thread; SDL video is initialised on first use.
#pragma once
#include "platform/WindowSystem.h"
#include "platform/linux/InstanceChannel.h"
#include "platform/InputTranslator.h"
#include <SDL.h>
#include <deque>
#include <map>
#include <memory>

namespace Platform {

class SdlWindowSystem final : public WindowSystem {
public:
    SdlWindowSystem();
    ~SdlWindowSystem() override;

    void GetDesktopSize(int32_t& width, int32_t& height) override;
    int32_t GetDesktopRefreshRate() override;
    IntRect GetWorkArea() override;
    IntRect GetFrameInsets() override;

    WindowId CreateWindow(const WindowDesc& desc) override;
    void DestroyWindow(WindowId window) override;
    void ShowWindow(WindowId window, ShowCommand command) override;
    void SetWindowTitle(WindowId window, const std::string& utf8) override;
    void MoveWindow(WindowId window, int32_t x, int32_t y) override;
    bool GetWindowPosition(WindowId window, int32_t& x, int32_t& y) override;
    bool IsWindowMinimized(WindowId window) override;
    bool IsWindowActive(WindowId window) override;
    void SetForegroundWindow(WindowId window) override;
    void SetTimer(WindowId window, uint32_t id, uint32_t periodMs) override;

    bool PeekMessage(Message& out) override;
    void PostMessage(const Message& message) override;
    uint32_t RegisterWindowMessage(const std::string& name) override;
    InstanceClaim ClaimInstance(const std::string& name) override;
    void NotifyRunningInstance(uint32_t registeredMessage) override;
    std::string InstanceClaimPlace() const override { return instance_.LockPath(); }

    void SetCapture(WindowId window) override;
    void ReleaseCapture() override;
    bool GetCursorPos(WindowId window, int32_t& x, int32_t& y, bool& over) override;
    void SetSystemCursor(SystemCursor cursor) override;

    void SetClipboardText(const std::string& utf8) override;
    bool GetClipboardText(std::string& utf8) override;

    bool GetScreenSaverSettings(uint32_t& timeoutSeconds, bool& enabled) override;
    bool IsScreenSaverRunning(bool& running) override;
    bool GetLastInputTick(uint32_t& tick) override;
    bool OpenUrl(const std::string& url) override;

    bool IsAvailable() const { return videoReady_; }

private:
    struct Timer {
        uint32_t period = 0;
        uint32_t next = 0;
    };
    SDL_Window* Find(WindowId window) const;
    void Fill(); // moves SDL events, due timers and instance notifications into pending_
    void Translate(const SDL_Event& e);

    bool videoReady_ = false;
    std::deque<Message> pending_;
    InputTranslator translator_;
    std::map<std::pair<WindowId, uint32_t>, Timer> timers_;
    std::map<std::string, uint32_t> registered_;
    std::map<SystemCursor, SDL_Cursor*> cursors_;
    InstanceChannel instance_;
};

} // namespace Platform
