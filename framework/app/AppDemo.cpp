// Demo recording and playback on the application object: creating the stream, playing its
// records through the widget tree, passing outside values through it, the demo file at start and
// end of a run, and the numbering of demo files.
#include "framework/app/AppBase.h"
#include "framework/core/FileSystemPath.h"
#include "framework/core/MersenneTwister.h"
#include "framework/core/PathUtils.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <set>

namespace Fw {

void AppBase::StartDemo()
{
    if (!(recordingDemo || playingDemo) || demoData)
        return;
    demoData = std::make_unique<Demo>(updateCount);
    demo = demoData.get();
}

bool AppBase::ReadDemoBuffer(std::string& error)
{
    StartDemo();
    if (!demoData) {
        error = "Demo file not found: " + demoFileName;
        return false;
    }
    uint32_t seed = randSeed;
    if (!demoData->ReadFile(demoFileName, productVersion, seed, error))
        return false;
    randSeed = seed;
    SeedRandom(randSeed);
    return true;
}

void AppBase::ReadDemoStartRecord()
{
    // The video-data record that opens the stream was read with the file, before anything (the
    // settings read made while creating the window) could take it for its own. A stream without
    // one keeps the settings of this machine.
    if (!playingDemo || !demoData || !demoData->startVideoData)
        return;
    isWindowed = demoData->startVideoData->windowed;
    // Rates outside 60..100 would upset the frame pacing (and 0 would divide by zero).
    refreshRate = std::clamp<int32_t>(demoData->startVideoData->refreshRate, 60, 100);
}

void AppBase::WriteDemoBuffer()
{
    if (!recordingDemo || !demoData)
        return;
    demoData->WriteFile(demoFileName, randSeed, productVersion, updateCount);
}

bool AppBase::DemoLoadingCompleted() { return !demoData || demoData->loadingCompleteSeen; }

bool AppBase::DemoWaitsAtUpdate(int32_t count) { return demoData && count == demoData->lastUpdateCount; }

int32_t AppBase::DemoLastUpdate() { return demoData ? demoData->demoLength : 0; }

void AppBase::ProcessDemo()
{
    if (!playingDemo || !demoData)
        return;
    Demo& d = *demoData;
    Buffer& s = d.stream;
    AppWidgetPort& w = Widgets();
    auto mapped = [&](auto call) {
        int32_t x = d.lastMouseX, y = d.lastMouseY;
        w.MapMouseCoords(x, y);
        call(x, y);
    };
    while (!shutdown && updateCount == d.lastUpdateCount && (!d.needsCommand || !s.AtEnd())) {
        if (!d.Prepare(false))
            break;
        if (!d.shortCommand && (d.command == 11 || d.command == 12 || d.command == 18))
            break; // read by the registry layer or DemoSyncBuffer when the value is asked for
        d.needsCommand = true;
        if (d.BitsLeft() < d.PayloadBits()) {
            d.SkipToEnd(); // cut off by the end of the stream: not played
            break;
        }
        if (d.shortCommand) {
            if (d.command == 0) {
                d.lastMouseX += s.ReadNumBits(6, true);
                d.lastMouseY += s.ReadNumBits(6, true);
                mapped([&](int32_t x, int32_t y) { w.MouseMove(x, y); });
            } else {
                const bool down = s.ReadNumBits(1, false) != 0;
                const int32_t code = s.ReadNumBits(3, true);
                // Live input moves the mouse to every button message's position first; so does
                // playback, or the widgets would see a different sequence.
                mapped([&](int32_t x, int32_t y) {
                    w.MouseMove(x, y);
                    down ? w.MouseDown(x, y, code) : w.MouseUp(x, y, code);
                });
            }
            continue;
        }
        switch (d.command) {
        case 0:
            d.lastMouseX = s.ReadNumBits(12, false);
            d.lastMouseY = s.ReadNumBits(12, false);
            mapped([&](int32_t x, int32_t y) { w.MouseMove(x, y); });
            break;
        case 1:
            active = s.ReadNumBits(1, false) != 0;
            UpdateFocusState();
            if (active && !displayWindowed)
                w.MarkAllDirty();
            if (urlPending && !active)
                OpenUrlSucceeded(pendingUrl);
            break;
        case 2: {
            const bool nowMinimized = s.ReadBoolean();
            if (!shutdown && nowMinimized != minimized) {
                minimized = nowMinimized;
                if (minimized) {
                    Mute(true);
                } else {
                    Unmute(true);
                    w.MarkAllDirty();
                }
            }
            UpdateFocusState();
            break;
        }
        case 3: w.KeyDown(static_cast<uint32_t>(s.ReadNumBits(8, false))); break;
        case 4: w.KeyUp(static_cast<uint32_t>(s.ReadNumBits(8, false))); break;
        case 5: {
            const int32_t wide = s.ReadNumBits(1, false);
            if (d.BitsLeft() < (wide + 1) * 8) {
                d.SkipToEnd();
                break;
            }
            w.KeyChar(static_cast<char16_t>(s.ReadNumBits((wide + 1) * 8, false)));
            break;
        }
        case 6: Shutdown(); break;
        case 7:
            mouseInWindow = true;
            UpdateCursor();
            break;
        case 8:
            mapped([&](int32_t x, int32_t y) { w.MouseExit(x, y); });
            mouseInWindow = false;
            UpdateCursor();
            break;
        case 9: d.loadingCompleteSeen = true; break;
        case 21: w.MouseWheel(s.ReadNumBits(8, true)); break;
        case 23:
            isWindowed = s.ReadBoolean();
            refreshRate = std::clamp<int32_t>(s.ReadByte(), 60, 100);
            break;
        default: break; // idle and unused commands carry no payload
        }
    }
}

void AppBase::DemoSyncBuffer(Buffer& buffer)
{
    if (playingDemo) {
        if (manualShutdown || !demoData)
            return;
        Demo& d = *demoData;
        d.PrepareCommand(true);
        int32_t length = d.stream.ReadLong();
        // A length beyond what the stream holds comes from a damaged file: take what is there
        // and end the demo, rather than inventing bytes.
        const bool damaged = length < 0 || length > d.BytesLeft();
        if (damaged)
            length = std::max(0, std::min(length, d.BytesLeft()));
        buffer.Clear();
        for (int32_t i = 0; i < length; ++i)
            buffer.WriteByte(d.stream.ReadByte());
        if (damaged)
            d.SkipToEnd();
        return;
    }
    if (recordingDemo && demoData) {
        Demo& d = *demoData;
        d.WriteTimingBlock();
        d.stream.WriteNumBits(0, 1);
        d.stream.WriteNumBits(18, 5);
        d.stream.WriteLong(buffer.GetDataLen());
        if (const uint8_t* p = buffer.GetDataPtr())
            d.stream.WriteBytes(p, buffer.GetDataLen());
    }
}

void AppBase::DemoSyncBool(bool& value)
{
    Buffer b;
    b.WriteBoolean(value);
    DemoSyncBuffer(b);
    value = b.ReadBoolean();
}

std::string AppBase::DemoSyncString(const std::string& value)
{
    Buffer b;
    b.WriteString(value);
    DemoSyncBuffer(b);
    return b.ReadString();
}

void AppBase::DemoSyncRefreshRate()
{
    // A desktop that reports no rate (0) must never reach a division.
    if (display)
        refreshRate = std::clamp(display->GetRefreshRate(), 60, 100);
    if (recordingDemo && demoData)
        demoData->WriteVideoData({isWindowed, static_cast<uint8_t>(refreshRate & 0xFF)});
}

int32_t AppBase::GetMaxDemoFileNum(int32_t keep, bool deleteOld)
{
    // Names are matched bare, in the folder the prefix names (the working folder when none): a
    // prefix with a folder part therefore matches nothing, as the numbered names carry no folder.
    const std::string folder = GetPathFolder(demoFilePrefix);
    std::set<int32_t> numbers;
    if (DIR* dir = ::opendir(folder.empty() ? "." : ToFileSystemPath(folder).c_str())) {
        while (dirent* e = ::readdir(dir)) {
            const std::string name = e->d_name;
            if (name.size() <= demoFilePrefix.size() + 4 || name.compare(0, demoFilePrefix.size(), demoFilePrefix) != 0 ||
                name.compare(name.size() - 4, 4, ".dmo") != 0)
                continue;
            int n = 0;
            char tail[8] = {};
            if (std::sscanf(name.c_str() + demoFilePrefix.size(), "%d%7s", &n, tail) == 2 &&
                std::string(tail) == ".dmo")
                numbers.insert(n);
        }
        ::closedir(dir);
    }
    if (numbers.empty())
        return 0;
    if (deleteOld && static_cast<int32_t>(numbers.size()) > keep - 1)
        std::remove(ToFileSystemPath(demoFilePrefix + std::to_string(*numbers.begin()) + ".dmo").c_str());
    return *numbers.rbegin();
}

} // namespace Fw
