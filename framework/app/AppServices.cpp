// Application services: cursors, volumes and the counted mute, the image set and shared images,
// web pages, hiding the window, the string table and messages to the user.
#include "framework/assets/MusicInterface.h"
#include "framework/app/AppBase.h"
#include "framework/core/MersenneTwister.h"
#include "framework/core/Rand15.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/Clock.h"
#include "platform/MessageBox.h"

#include <cstdio>

namespace Fw {

using namespace Platform;


namespace {

std::string ToUtf8(const std::wstring& text) { return WStringToString(text); }

SystemCursor SystemCursorFor(int32_t number)
{
    static const SystemCursor kTable[] = {
        SystemCursor::Arrow,  SystemCursor::Hand,     SystemCursor::Dragging, SystemCursor::IBeam,
        SystemCursor::No,     SystemCursor::SizeAll,  SystemCursor::SizeNESW, SystemCursor::SizeNS,
        SystemCursor::SizeNWSE, SystemCursor::SizeWE, SystemCursor::Wait,     SystemCursor::None,
        SystemCursor::None};
    return (number >= 0 && number <= 12) ? kTable[number] : SystemCursor::Arrow;
}

} // namespace

// ---- cursor ----

void AppBase::SetCursorImage(int32_t cursor, Image* image)
{
    if (cursor < 0 || cursor > 12)
        return;
    cursorImages[static_cast<size_t>(cursor)] = image;
    UpdateCursor();
}

void AppBase::SetCursor(int cursor)
{
    cursorNum = cursor;
    UpdateCursor();
}

void AppBase::EnableCustomCursors(bool on)
{
    customCursors = on;
    UpdateCursor();
}

void AppBase::UpdateCursor()
{
    if (!display)
        return;
    if (!windowHidden && mouseInWindow) {
        Image* image = (cursorNum >= 0 && cursorNum <= 12) ? cursorImages[static_cast<size_t>(cursorNum)] : nullptr;
        if (image && (playingDemo || customCursors || cursorNum == 12)) {
            if (display->SetCursorImage(image))
                forceDraw = true;
            if (playingDemo) {
                // The real mouse is not the demo's: show that it does nothing inside the window.
                int32_t x = 0, y = 0;
                bool over = false;
                const bool inside = ws.GetCursorPos(mainWindow, x, y, over) && x >= 0 && y >= 0 && x < width &&
                                    y < height;
                ws.SetSystemCursor(inside ? SystemCursor::No : SystemCursor::Arrow);
            } else {
                ws.SetSystemCursor(SystemCursor::None);
            }
            return;
        }
        ws.SetSystemCursor(SystemCursorFor(cursorNum));
    } else {
        ws.SetSystemCursor(SystemCursor::Arrow);
    }
    if (display->SetCursorImage(nullptr))
        forceDraw = true;
}

// ---- volumes ----

void AppBase::SetMusicVolume(double volume)
{
    musicVolume = volume;
    if (musicInterface)
        musicInterface->SetVolume(muteCount > 0 ? 0.0 : volume);
}

void AppBase::Mute(bool autoMute)
{
    ++muteCount;
    if (autoMute)
        ++autoMuteCount;
    SetMusicVolume(musicVolume);
    SetSfxVolume(sfxVolume);
}

void AppBase::Unmute(bool autoMute)
{
    if (muteCount > 0) {
        --muteCount;
        if (autoMute)
            --autoMuteCount;
    }
    SetMusicVolume(musicVolume);
    SetSfxVolume(sfxVolume);
}

void AppBase::ToggleSound()
{
    if (GetMusicVolume() == 0.0) {
        SetMusicVolume(savedMusicVolume);
    } else {
        savedMusicVolume = GetMusicVolume();
        SetMusicVolume(0.0);
    }
    if (GetSfxVolume() == 0.0) {
        SetSfxVolume(savedSfxVolume);
    } else {
        savedSfxVolume = GetSfxVolume();
        SetSfxVolume(0.0);
    }
}

// ---- web pages, window ----

bool AppBase::OpenUrl(const std::string& url, bool shutdownWhenOpened)
{
    if (urlPending && url == pendingUrl)
        return true;
    shutdownAfterUrl = shutdownWhenOpened;
    urlPending = true;
    pendingUrl = url;
    urlOpenTick = GetClock().GetTickCount();
    if (ws.OpenUrl(url))
        return true;
    OpenUrlFailed(url);
    return false;
}

void AppBase::OpenUrlFailed(const std::string&) { urlPending = false; }

void AppBase::OpenUrlSucceeded(const std::string&)
{
    urlPending = false;
    if (shutdownAfterUrl)
        Shutdown();
}

void AppBase::HideWindow()
{
    SetMusicVolume(0.0);
    ws.ShowWindow(mainWindow, ShowCommand::Hide);
    windowHidden = true;
    UpdateCursor();
}

void AppBase::SetVideoOnlyDraw(bool on)
{
    if (on == videoOnlyDraw)
        return;
    videoOnlyDraw = on;
    if (!display)
        return;
    display->SetVideoOnlyDraw(on);
    Widgets().SetScreenImage(display->GetScreenImage());
    Widgets().MarkAllDirty();
}

// ---- images ----

void AppBase::AddMemoryImage(MemoryImage* image)
{
    WithDisplayLock([&] { imageSet.insert(image); });
}

void AppBase::RemoveMemoryImage(MemoryImage* image)
{
    WithDisplayLock([&] { imageSet.erase(image); });
    RemoveImageTextureData(image);
}

void AppBase::RemoveImageTextureData(MemoryImage* image)
{
    if (display)
        display->RemoveTextureData(image);
}

bool AppBase::RecoverImageTextureBits(MemoryImage* image)
{
    return display && display->RecoverTextureBits(image);
}

NativeDisplay* AppBase::GetNativeDisplay() { return display ? display->GetNativeDisplay() : nullptr; }

void AppBase::ApplyAllImagesPendingFlags()
{
    for (MemoryImage* image : imageSet)
        image->ApplyPendingFlags();
}

void AppBase::DeleteAllImagesNativeData()
{
    for (MemoryImage* image : imageSet)
        image->DeleteNativeData();
}

void AppBase::DeleteAllImagesExtraBuffers()
{
    if (!display)
        return;
    ScopedCritSect lock(display->Lock());
    for (MemoryImage* image : imageSet)
        image->DeleteExtraBuffers();
}

void AppBase::ReleaseUnusedSharedImages()
{
    if (!cleanUpSharedImages)
        return;
    WithDisplayLock([this] {
        for (auto it = sharedImages.begin(); it != sharedImages.end();) {
            if (it->second.refCount == 0) {
                delete it->second.image;
                it = sharedImages.erase(it);
            } else {
                ++it;
            }
        }
        cleanUpSharedImages = false;
    });
}

bool AppBase::GetD3DTestPassed()
{
    return display && display->D3DTestRan() && !display->D3DTestFailed() && !display->D3DTestWarned();
}

bool AppBase::GetD3DTestSupported() { return display && display->D3DTestRan() && !display->D3DTestFailed(); }

// ---- strings and messages ----

std::wstring AppBase::GetString(const std::string& key, const std::wstring& defaultText) const
{
    auto it = stringTable.find(key);
    return it == stringTable.end() ? defaultText : it->second;
}

void AppBase::SetString(const std::string& key, const std::wstring& text) { stringTable[key] = text; }

int AppBase::MsgBoxW(const std::wstring& text, const std::wstring& caption, uint32_t flags)
{
    if (screenSaverMode) {
        LogScreenSaverError(ToUtf8(text));
        return kIdOk;
    }
    BeginPopup();
    const int answer = GetMessageBoxService().Show(nullptr, ToUtf8(text), ToUtf8(caption), flags);
    EndPopup();
    return answer;
}

void AppBase::PopupW(const std::wstring& text)
{
    if (screenSaverMode) {
        LogScreenSaverError(ToUtf8(text));
        return;
    }
    BeginPopup();
    if (!shutdown)
        GetMessageBoxService().Show(nullptr, ToUtf8(text), ToUtf8(GetString("FATAL_ERROR", L"FATAL ERROR")),
                                    kMbIconError);
    EndPopup();
}

void AppBase::SeedRandom(uint32_t seed) { Fw::SeedRandom(seed); }

} // namespace Fw
