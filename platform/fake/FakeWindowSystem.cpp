// Recording window system for tests.
#include "platform/fake/FakeWindowSystem.h"

namespace Platform {

FakeWindowSystem::~FakeWindowSystem()
{
    for (const std::string& name : claims)
        OtherProcessClaims().erase(name);
}

std::set<std::string>& FakeWindowSystem::OtherProcessClaims()
{
    static std::set<std::string> names;
    return names;
}

void FakeWindowSystem::FireTimers()
{
    for (const auto& [key, period] : timers)
        Push(key.first, Msg::Timer, key.second, 0);
}

void FakeWindowSystem::GetDesktopSize(int32_t& width, int32_t& height)
{
    width = desktopWidth;
    height = desktopHeight;
}

WindowId FakeWindowSystem::CreateWindow(const WindowDesc& desc)
{
    if (failCreateWindow)
        return 0;
    const WindowId id = nextId_++;
    Window& w = windows[id];
    w.desc = desc;
    w.visible = desc.visible;
    w.x = desc.x;
    w.y = desc.y;
    return id;
}

void FakeWindowSystem::DestroyWindow(WindowId window)
{
    if (windows.erase(window))
        destroyed.push_back(window);
    if (activeWindow == window)
        activeWindow = 0;
}

void FakeWindowSystem::ShowWindow(WindowId window, ShowCommand command)
{
    auto it = windows.find(window);
    if (it == windows.end())
        return;
    it->second.shows.push_back(command);
    it->second.visible = command != ShowCommand::Hide;
    if (command == ShowCommand::Restore || command == ShowCommand::ShowNormal)
        it->second.minimized = false;
}

void FakeWindowSystem::SetWindowTitle(WindowId window, const std::string& utf8)
{
    auto it = windows.find(window);
    if (it != windows.end())
        it->second.desc.title = utf8;
}

void FakeWindowSystem::MoveWindow(WindowId window, int32_t x, int32_t y)
{
    auto it = windows.find(window);
    if (it != windows.end()) {
        it->second.x = x;
        it->second.y = y;
    }
}

bool FakeWindowSystem::GetWindowPosition(WindowId window, int32_t& x, int32_t& y)
{
    auto it = windows.find(window);
    if (it == windows.end())
        return false;
    x = it->second.x;
    y = it->second.y;
    return true;
}

bool FakeWindowSystem::IsWindowMinimized(WindowId window)
{
    auto it = windows.find(window);
    return it != windows.end() && it->second.minimized;
}

bool FakeWindowSystem::PeekMessage(Message& out)
{
    if (queue.empty())
        return false;
    out = queue.front();
    queue.pop_front();
    return true;
}

uint32_t FakeWindowSystem::RegisterWindowMessage(const std::string& name)
{
    auto [it, inserted] = registered_.emplace(name, Msg::FirstRegistered + static_cast<uint32_t>(registered_.size()));
    return it->second;
}

InstanceClaim FakeWindowSystem::ClaimInstance(const std::string& name)
{
    lastClaim_ = name;
    if (claims.count(name))
        return InstanceClaim::First; // this "process" holds it already
    if (OtherProcessClaims().count(name))
        return InstanceClaim::AlreadyRunning;
    OtherProcessClaims().insert(name);
    claims.insert(name);
    return InstanceClaim::First;
}

bool FakeWindowSystem::GetCursorPos(WindowId window, int32_t& x, int32_t& y, bool& over)
{
    if (!windows.count(window))
        return false;
    x = cursorX;
    y = cursorY;
    over = cursorOver;
    return true;
}

bool FakeWindowSystem::GetClipboardText(std::string& utf8)
{
    if (!clipboardHasText)
        return false;
    utf8 = clipboard;
    return true;
}

bool FakeWindowSystem::GetScreenSaverSettings(uint32_t& timeoutSeconds, bool& enabled)
{
    timeoutSeconds = screenSaverTimeout;
    enabled = screenSaverEnabled;
    return true;
}

bool FakeWindowSystem::IsScreenSaverRunning(bool& running)
{
    running = screenSaverRunning;
    return screenSaverQueryWorks;
}

bool FakeWindowSystem::GetLastInputTick(uint32_t& tick)
{
    if (!hasLastInputTick)
        return false;
    tick = lastInputTick;
    return true;
}

bool FakeWindowSystem::OpenUrl(const std::string& url)
{
    openedUrls.push_back(url);
    return openUrlWorks;
}

} // namespace Platform
