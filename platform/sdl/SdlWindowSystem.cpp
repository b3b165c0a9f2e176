// SDL2 implementation of the window system, and the selection of the process's window system.
#include "platform/sdl/SdlWindowSystem.h"
#include "platform/Clock.h"
#include "platform/gl/GlDriverPin.h"
#include "platform/sdl/SdlKeyMap.h"
#include "platform/sdl/SdlMouseScale.h"
#include "platform/sdl/X11ConnectionWatch.h"
#include "platform/TerminationSignals.h"

#include <cstdio>
#include <cstring>

namespace Platform {

SdlWindowSystem::SdlWindowSystem()
{
    // SIGTERM and SIGINT are ours (TerminationSignals.h): SDL's handlers would turn every one of
    // them into a quit event the game may ignore.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    InstallTerminationSignals();
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0 && SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        // No display to talk to and no driver asked for: run headless.
        const char* asked = SDL_getenv("SDL_VIDEODRIVER");
        if (asked && *asked) {
            std::fprintf(stderr, "SDL video unavailable: %s\n", SDL_GetError());
            return;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
        if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
            std::fprintf(stderr, "SDL video unavailable: %s\n", SDL_GetError());
            return;
        }
    }
    videoReady_ = true;
    if (const char* driver = SDL_GetCurrentVideoDriver(); driver && std::strcmp(driver, "x11") == 0)
        WatchX11Connection();
    SDL_StartTextInput();
}

SdlWindowSystem::~SdlWindowSystem()
{
    for (auto& [shape, cursor] : cursors_)
        SDL_FreeCursor(cursor);
    if (videoReady_)
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

SDL_Window* SdlWindowSystem::Find(WindowId window) const
{
    return (videoReady_ && window) ? SDL_GetWindowFromID(window) : nullptr;
}

void SdlWindowSystem::GetDesktopSize(int32_t& width, int32_t& height)
{
    SDL_DisplayMode mode{};
    if (videoReady_ && SDL_GetDesktopDisplayMode(0, &mode) == 0) {
        width = mode.w;
        height = mode.h;
        return;
    }
    width = 1024;
    height = 768;
}

int32_t SdlWindowSystem::GetDesktopRefreshRate()
{
    SDL_DisplayMode mode{};
    if (videoReady_ && SDL_GetDesktopDisplayMode(0, &mode) == 0)
        return mode.refresh_rate;
    return 0;
}

IntRect SdlWindowSystem::GetWorkArea()
{
    SDL_Rect r{};
    if (videoReady_ && SDL_GetDisplayUsableBounds(0, &r) == 0 && r.w > 0 && r.h > 0)
        return IntRect{r.x, r.y, r.x + r.w, r.y + r.h};
    int32_t w = 0, h = 0;
    GetDesktopSize(w, h);
    return IntRect{0, 0, w, h};
}

IntRect SdlWindowSystem::GetFrameInsets()
{
    // SDL places and sizes windows by their client area; the window manager adds its frame outside.
    return IntRect{};
}

WindowId SdlWindowSystem::CreateWindow(const WindowDesc& desc)
{
    if (!videoReady_)
        return 0;
    Uint32 flags = desc.visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    if (desc.fullScreen)
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_ALWAYS_ON_TOP;
    else if (!desc.decorated)
        flags |= SDL_WINDOW_BORDERLESS;
    int x = desc.x, y = desc.y, width = desc.width, height = desc.height;
    SDL_Rect bounds{};
    if (desc.fullScreen && SDL_GetDisplayBounds(0, &bounds) == 0) {
        // Covering the desktop from the start: without a window manager nothing else resizes it.
        x = bounds.x;
        y = bounds.y;
        width = bounds.w;
        height = bounds.h;
    }
    // An OpenGL-capable window when the video driver offers OpenGL (the 3-D display draws into
    // it); the dummy driver offers none, and a plain window serves the software display.
    SDL_Window* w = desc.openGl ? SDL_CreateWindow(desc.title.c_str(), x, y, width, height, flags | SDL_WINDOW_OPENGL)
                                : nullptr;
    if (!w)
        w = SDL_CreateWindow(desc.title.c_str(), x, y, width, height, flags);
    if (!w) {
        std::fprintf(stderr, "SDL_CreateWindow failed: %s\n", SDL_GetError());
        return 0;
    }
    if (SDL_GetWindowFlags(w) & SDL_WINDOW_OPENGL)
        PinLoadedGlDrivers(); // the window system may have loaded the driver to choose the window's visual
    const WindowId id = SDL_GetWindowID(w);
    if (desc.visible)
        translator_.SetDefaultWindow(id);
    return id;
}

void SdlWindowSystem::DestroyWindow(WindowId window)
{
    if (SDL_Window* w = Find(window)) {
        // SDL 2.26 leaves a window's renderer allocated when the window goes first.
        if (SDL_Renderer* renderer = SDL_GetRenderer(w))
            SDL_DestroyRenderer(renderer);
        SDL_DestroyWindow(w);
    }
    for (auto it = timers_.begin(); it != timers_.end();)
        it = it->first.first == window ? timers_.erase(it) : std::next(it);
}

void SdlWindowSystem::ShowWindow(WindowId window, ShowCommand command)
{
    SDL_Window* w = Find(window);
    if (!w)
        return;
    switch (command) {
    case ShowCommand::Hide: SDL_HideWindow(w); break;
    case ShowCommand::Show:
    case ShowCommand::ShowNoActivate: SDL_ShowWindow(w); break;
    case ShowCommand::ShowNormal:
        SDL_ShowWindow(w);
        SDL_RestoreWindow(w);
        SDL_RaiseWindow(w);
        break;
    case ShowCommand::Restore: SDL_RestoreWindow(w); break;
    }
    if (command != ShowCommand::Hide)
        translator_.SetDefaultWindow(window);
}

void SdlWindowSystem::SetWindowTitle(WindowId window, const std::string& utf8)
{
    if (SDL_Window* w = Find(window))
        SDL_SetWindowTitle(w, utf8.c_str());
}

void SdlWindowSystem::MoveWindow(WindowId window, int32_t x, int32_t y)
{
    if (SDL_Window* w = Find(window))
        SDL_SetWindowPosition(w, x, y);
}

bool SdlWindowSystem::GetWindowPosition(WindowId window, int32_t& x, int32_t& y)
{
    SDL_Window* w = Find(window);
    if (!w)
        return false;
    int ix = 0, iy = 0;
    SDL_GetWindowPosition(w, &ix, &iy);
    x = ix;
    y = iy;
    return true;
}

bool SdlWindowSystem::IsWindowMinimized(WindowId window)
{
    SDL_Window* w = Find(window);
    return w && (SDL_GetWindowFlags(w) & SDL_WINDOW_MINIMIZED) != 0;
}

bool SdlWindowSystem::IsWindowActive(WindowId window)
{
    SDL_Window* w = Find(window);
    return w && SDL_GetKeyboardFocus() == w;
}

void SdlWindowSystem::SetForegroundWindow(WindowId window)
{
    if (SDL_Window* w = Find(window))
        SDL_RaiseWindow(w);
}

void SdlWindowSystem::SetTimer(WindowId window, uint32_t id, uint32_t periodMs)
{
    const uint32_t now = GetClock().TimeGetTime();
    timers_[{window, id}] = Timer{periodMs ? periodMs : 1, now + periodMs};
}

void SdlWindowSystem::Fill()
{
    if (videoReady_) {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            Translate(e);
    }
    // Timers are generated when the pump looks, as the desktop's timers are; at most one per look.
    const uint32_t now = GetClock().TimeGetTime();
    for (auto& [key, timer] : timers_) {
        if (static_cast<int32_t>(now - timer.next) >= 0) {
            pending_.push_back(Message{key.first, Msg::Timer, key.second, 0});
            timer.next = now + timer.period;
        }
    }
    // A termination signal is a close request of the main window; it waits for the window.
    if (translator_.DefaultWindow() && TakeTerminationSignal()) {
        InputEvent quit;
        quit.type = InputEvent::Type::Quit;
        translator_.Translate(quit, pending_);
    }
    for (const std::string& text : instance_.Receive()) {
        auto it = registered_.find(text);
        if (it == registered_.end())
            continue;
        // A broadcast: the window procedure answers it for the main window only.
        if (translator_.DefaultWindow())
            pending_.push_back(Message{translator_.DefaultWindow(), it->second, 0, 0});
    }
}

void SdlWindowSystem::Translate(const SDL_Event& e)
{
    using T = InputEvent::Type;
    InputEvent in;
    switch (e.type) {
    case SDL_QUIT: in.type = T::Quit; break;
    case SDL_WINDOWEVENT:
        in.window = e.window.windowID;
        in.x = e.window.data1;
        in.y = e.window.data2;
        switch (e.window.event) {
        case SDL_WINDOWEVENT_CLOSE: in.type = T::WindowClose; break;
        case SDL_WINDOWEVENT_MOVED: in.type = T::WindowMoved; break;
        case SDL_WINDOWEVENT_SIZE_CHANGED: in.type = T::WindowResized; break;
        case SDL_WINDOWEVENT_MINIMIZED: in.type = T::WindowMinimized; break;
        case SDL_WINDOWEVENT_MAXIMIZED: in.type = T::WindowMaximized; break;
        case SDL_WINDOWEVENT_RESTORED: in.type = T::WindowRestored; break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: in.type = T::FocusGained; break;
        case SDL_WINDOWEVENT_FOCUS_LOST: in.type = T::FocusLost; break;
        case SDL_WINDOWEVENT_EXPOSED: in.type = T::Exposed; break;
        default: return;
        }
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        in.type = e.type == SDL_KEYDOWN ? T::KeyDown : T::KeyUp;
        in.window = e.key.windowID;
        in.key = SdlKeyToVirtualKey(e.key.keysym.sym);
        in.repeat = e.key.repeat != 0;
        break;
    case SDL_TEXTINPUT:
        in.type = T::Text;
        in.window = e.text.windowID;
        in.text = e.text.text;
        break;
    case SDL_MOUSEMOTION:
        in.type = T::MouseMotion;
        in.window = e.motion.windowID;
        in.x = e.motion.x;
        in.y = e.motion.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        in.type = e.type == SDL_MOUSEBUTTONDOWN ? T::MouseButtonDown : T::MouseButtonUp;
        in.window = e.button.windowID;
        in.x = e.button.x;
        in.y = e.button.y;
        in.clicks = e.button.clicks;
        in.button = e.button.button == SDL_BUTTON_LEFT     ? InputEvent::Left
                    : e.button.button == SDL_BUTTON_RIGHT  ? InputEvent::Right
                    : e.button.button == SDL_BUTTON_MIDDLE ? InputEvent::Middle
                                                           : 0;
        break;
    case SDL_MOUSEWHEEL:
        in.type = T::MouseWheel;
        in.window = e.wheel.windowID;
        in.wheel = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
        break;
    case SDL_DISPLAYEVENT: in.type = T::DisplayChanged; break;
    default: return;
    }
    if (in.type == T::MouseMotion || in.type == T::MouseButtonDown || in.type == T::MouseButtonUp)
        if (SDL_Window* w = Find(in.window); w && !SDL_GetRenderer(w)) {
            int cw = 0, ch = 0;
            SDL_GetWindowSize(w, &cw, &ch);
            MapWindowMouse(in.window, cw, ch, in.x, in.y);
        }
    translator_.Translate(in, pending_);
}

bool SdlWindowSystem::PeekMessage(Message& out)
{
    if (pending_.empty())
        Fill();
    if (pending_.empty())
        return false;
    out = pending_.front();
    pending_.pop_front();
    return true;
}

void SdlWindowSystem::PostMessage(const Message& message) { pending_.push_back(message); }

uint32_t SdlWindowSystem::RegisterWindowMessage(const std::string& name)
{
    auto [it, inserted] = registered_.emplace(name, Msg::FirstRegistered + static_cast<uint32_t>(registered_.size()));
    return it->second;
}

InstanceClaim SdlWindowSystem::ClaimInstance(const std::string& name)
{
    switch (instance_.Claim(name)) {
    case InstanceChannel::Result::First: return InstanceClaim::First;
    case InstanceChannel::Result::AlreadyRunning: return InstanceClaim::AlreadyRunning;
    default: return InstanceClaim::Unavailable;
    }
}

void SdlWindowSystem::NotifyRunningInstance(uint32_t registeredMessage)
{
    for (const auto& [name, number] : registered_)
        if (number == registeredMessage)
            instance_.Notify(name);
}

void SdlWindowSystem::SetCapture(WindowId) { if (videoReady_) SDL_CaptureMouse(SDL_TRUE); }
void SdlWindowSystem::ReleaseCapture() { if (videoReady_) SDL_CaptureMouse(SDL_FALSE); }

bool SdlWindowSystem::GetCursorPos(WindowId window, int32_t& x, int32_t& y, bool& over)
{
    SDL_Window* w = Find(window);
    if (!w)
        return false;
    int mx = 0, my = 0;
    SDL_GetMouseState(&mx, &my); // relative to the focus window
    SDL_Window* focus = SDL_GetMouseFocus();
    over = focus == w;
    if (!over) {
        int gx = 0, gy = 0, wx = 0, wy = 0;
        SDL_GetGlobalMouseState(&gx, &gy);
        SDL_GetWindowPosition(w, &wx, &wy);
        mx = gx - wx;
        my = gy - wy;
    }
    if (SDL_Renderer* renderer = SDL_GetRenderer(w)) {
        // A window showing a screen mode of another size: positions in the mode's pixels, as
        // its mouse events carry them.
        float lx = 0, ly = 0;
        SDL_RenderWindowToLogical(renderer, mx, my, &lx, &ly);
        mx = static_cast<int>(lx);
        my = static_cast<int>(ly);
    } else {
        int cw = 0, ch = 0;
        SDL_GetWindowSize(w, &cw, &ch);
        MapWindowMouse(window, cw, ch, mx, my);
    }
    x = mx;
    y = my;
    return true;
}

void SdlWindowSystem::SetSystemCursor(SystemCursor cursor)
{
    if (!videoReady_)
        return;
    if (cursor == SystemCursor::None) {
        SDL_ShowCursor(SDL_DISABLE);
        return;
    }
    SDL_ShowCursor(SDL_ENABLE);
    SDL_Cursor*& c = cursors_[cursor];
    if (!c) {
        SDL_SystemCursor id = SDL_SYSTEM_CURSOR_ARROW;
        switch (cursor) {
        case SystemCursor::Hand: id = SDL_SYSTEM_CURSOR_HAND; break;
        case SystemCursor::Dragging: id = SDL_SYSTEM_CURSOR_SIZEALL; break;
        case SystemCursor::IBeam: id = SDL_SYSTEM_CURSOR_IBEAM; break;
        case SystemCursor::No: id = SDL_SYSTEM_CURSOR_NO; break;
        case SystemCursor::SizeAll: id = SDL_SYSTEM_CURSOR_SIZEALL; break;
        case SystemCursor::SizeNESW: id = SDL_SYSTEM_CURSOR_SIZENESW; break;
        case SystemCursor::SizeNS: id = SDL_SYSTEM_CURSOR_SIZENS; break;
        case SystemCursor::SizeNWSE: id = SDL_SYSTEM_CURSOR_SIZENWSE; break;
        case SystemCursor::SizeWE: id = SDL_SYSTEM_CURSOR_SIZEWE; break;
        case SystemCursor::Wait: id = SDL_SYSTEM_CURSOR_WAIT; break;
        default: break;
        }
        c = SDL_CreateSystemCursor(id);
    }
    if (c)
        SDL_SetCursor(c);
}

void SdlWindowSystem::SetClipboardText(const std::string& utf8)
{
    if (videoReady_)
        SDL_SetClipboardText(utf8.c_str());
}

bool SdlWindowSystem::GetClipboardText(std::string& utf8)
{
    if (!videoReady_ || !SDL_HasClipboardText())
        return false;
    char* text = SDL_GetClipboardText();
    if (!text)
        return false;
    utf8 = text;
    SDL_free(text);
    return true;
}

// The Linux desktops offer no portable screen-saver protocol: report none, so the idle pause
// never engages.
bool SdlWindowSystem::GetScreenSaverSettings(uint32_t& timeoutSeconds, bool& enabled)
{
    timeoutSeconds = 0;
    enabled = false;
    return true;
}

bool SdlWindowSystem::IsScreenSaverRunning(bool& running)
{
    running = false;
    return false;
}

bool SdlWindowSystem::GetLastInputTick(uint32_t&) { return false; }

bool SdlWindowSystem::OpenUrl(const std::string& url) { return SDL_OpenURL(url.c_str()) == 0; }

// ---- selection of the process's window system ----

namespace {
WindowSystem* gInstalled = nullptr;
}

WindowSystem& GetWindowSystem()
{
    if (gInstalled)
        return *gInstalled;
    static SdlWindowSystem sdl;
    return sdl;
}

void SetWindowSystem(WindowSystem* system) { gInstalled = system; }

} // namespace Platform
