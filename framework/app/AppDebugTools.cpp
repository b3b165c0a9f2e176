// Developer tools of the application object that work in the shipped program: debug keys,
// screenshots, the image dump, the video report, the diagnostics text, the product version, the
// narrow message boxes and the screen-saver error log.
#include "framework/assets/ImageLib.h"
#include "framework/assets/SysFont.h"
#include "framework/app/AppBase.h"
#include "framework/core/PathUtils.h"
#include "framework/core/FileSystemPath.h"
#include "framework/core/Profiler.h"
#include "framework/app/ProgramGlobals.h"
#include "framework/core/StringUtils.h"
#include "framework/graphics/DDImage.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/WidgetManager.h"
#include "framework/graphics/MemoryImage.h"
#include "platform/Clock.h"
#include "platform/WindowMessages.h"

#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <functional>
#include <map>
#include <sstream>
#include <thread>

namespace Fw {

#ifndef FW_PRODUCT_VERSION
#define FW_PRODUCT_VERSION "1.0.0.0"
#endif

namespace {

// Frame-rate overlay state shared by the debug keys and the overlay.
int32_t gFpsFrames = 0;
int32_t gFpsLastRate = 0;
bool gFpsReset = false;

uint32_t gDemoTimeTick = 0;

} // namespace

// Makes the font and the 50 x (font height + 4) image on first use.
AppBase::Overlay& AppBase::PrepareOverlay(Overlay& o)
{
    if (!o.font)
        o.font = std::make_unique<SysFont>("Tahoma", 8, 0, false, false, false);
    if (!o.image) {
        o.image.reset(NewDisplayImage());
        o.image->Create(50, o.font->GetHeight() + 4);
    }
    return o;
}

namespace {

// Clears the image to black and writes text in white at (2, ascent).
void WriteOverlay(AppBase::Overlay& o, const std::string& text)
{
    Graphics g(o.image.get());
    g.SetColor(Color(0, 0, 0));
    g.FillRect(0, 0, o.image->width, o.image->height);
    g.SetFont(o.font.get());
    g.SetColor(Color(255, 255, 255));
    g.DrawString(StringToWString(text), 2, o.font->GetAscent());
    o.image->BitsChanged();
}

std::string Commas(int64_t n) { return WStringToString(FormatWithCommas(static_cast<int>(n))); }

std::unique_ptr<ImageLib::Image> PixelsOf(MemoryImage* image)
{
    const uint32_t* bits = image->GetBits();
    if (!bits || image->width <= 0 || image->height <= 0)
        return nullptr;
    auto out = std::make_unique<ImageLib::Image>(image->width, image->height);
    std::copy(bits, bits + size_t(image->width) * size_t(image->height), out->GetBits());
    return out;
}

} // namespace

int32_t NextScreenshotNumber(const std::string& folder)
{
    int32_t highest = 0;
    if (DIR* dir = ::opendir(ToFileSystemPath(folder).c_str())) {
        while (dirent* e = ::readdir(dir)) {
            int n = 0;
            char tail[8] = {};
            if (std::sscanf(e->d_name, "image%d%7s", &n, tail) == 2 && std::string(tail) == ".png" && n > highest)
                highest = n;
        }
        ::closedir(dir);
    }
    return highest + 1;
}

// ---- message boxes and the screen-saver log ----

int AppBase::MsgBox(const std::string& text, const std::string& caption, uint32_t flags)
{
    return MsgBoxW(StringToWString(text), StringToWString(caption), flags);
}

void AppBase::Popup(const std::string& text) { PopupW(StringToWString(text)); }

void AppBase::LogScreenSaverError(const std::string& text)
{
    // The first line of a run replaces the old log; later lines are appended.
    static bool first = true;
    FILE* f = std::fopen("ScrError.txt", first ? "w" : "a+");
    if (!f)
        return;
    first = false;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char clock[16];
    std::strftime(clock, sizeof clock, "%H:%M:%S", &local);
    std::fprintf(f, "%s %s %u\n", text.c_str(), clock, Platform::GetClock().GetTickCount());
    std::fclose(f);
}

// ---- reports ----

std::string AppBase::GetProductVersion(const std::string& /*path*/) { return FW_PRODUCT_VERSION; }

std::string AppBase::GetDiagnosticsText()
{
    const uint32_t seconds = (Platform::GetClock().GetTickCount() - startTick) / 1000;
    char loaded[32];
    std::snprintf(loaded, sizeof loaded, "%02u:%02u:%02u", seconds / 3600, (seconds / 60) % 60, seconds % 60);
    std::ostringstream thread;
    thread << std::hex << std::uppercase << std::hash<std::thread::id>()(primaryThreadId);
    return "Product: " + productName + "\r\nVersion: " + productVersion + "\r\nTime Loaded: " + loaded +
           "\r\nFullscreen: " + (isWindowed ? "No" : "Yes") + "\r\nPrimary ThreadId: " + thread.str() + "\r\n";
}

void AppBase::ShowVideoStats()
{
    // Neither video memory nor 3-D textures are accounted by this display: they report 0.
    const char* system = GetD3DTestPassed() ? "Recommended" : GetD3DTestSupported() ? "Supported" : "Unsupported";
    std::string text = std::string("3D-Mode is ") + (Is3DAccelerated() ? "On" : "Off") + " (3D is " + system +
                       " on this system)\r\n\r\n";
    text += "Num Images: " + std::to_string(imageSet.size()) + "\r\n";
    text += "Video Memory: 0/0 KB\r\nTexture Memory: 0 KB\r\n";
    for (const char* format : {"A8R8G8B8", "A4R4G4B4", "R5G6B5", "Palette8"})
        text += std::string(format) + ": 0 - 0 KB\r\n";
    MsgBox(text, "Video Stats", 0);
    lastTimerTick = Platform::GetClock().TimeGetTime();
}

// ---- screenshots and the image dump ----

void AppBase::TakeScreenshot()
{
    auto* screen = display ? dynamic_cast<MemoryImage*>(display->GetScreenImage()) : nullptr;
    if (!screen)
        return;
    const std::string folder = GetAppDataFolder() + "_screenshots/";
    CreateDirectories(folder);
    const int32_t n = NextScreenshotNumber(folder);
    std::unique_ptr<ImageLib::Image> pixels;
    WithDisplayLock([&] { pixels = PixelsOf(screen); });
    if (!pixels)
        return;
    ImageLib::WritePng(folder + "image" + std::to_string(n) + ".png", *pixels);
    ClearUpdateBacklog(false);
}

void AppBase::DumpProgramInfo()
{
    const std::string folder = GetAppDataFolder() + "_dump/";
    DeleteTree(folder);
    CreateDirectories(folder);
    FILE* html = std::fopen(ToFileSystemPath(folder + "imagelist.html").c_str(), "w");
    if (!html)
        return;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char when[64];
    std::strftime(when, sizeof when, "%a %b %e %H:%M:%S %Y\n", &local);
    std::fprintf(html, "<HTML><BODY BGCOLOR=EEEEFF><CENTER><FONT SIZE=+2><B>%s</B></FONT><BR>\n", when);

    struct Usage {
        MemoryImage* image;
        int64_t bits = 0, palette = 0, surface = 0, texture = 0, nativeAlpha = 0, rlAlpha = 0, rlAdditive = 0;
        int64_t Total() const { return bits + palette + surface + texture + nativeAlpha + rlAlpha + rlAdditive; }
    };
    // Largest first; equal sizes in the order met.
    std::multimap<int64_t, Usage, std::greater<int64_t>> byMemory;
    Usage totals{nullptr};
    WithDisplayLock([&] {
        for (MemoryImage* image : imageSet) {
            const int64_t area = int64_t(image->width) * image->height;
            Usage u{image};
            u.bits = image->bits ? area * 4 : 0;
            auto* dd = dynamic_cast<DDImage*>(image);
            u.surface = dd && dd->HasSurface() ? area * 4 : 0;
            u.palette = image->colorTable ? area + 1024 : 0;
            u.nativeAlpha = image->nativeAlphaData ? (image->colorTable ? 1024 : area * 4) : 0;
            u.rlAlpha = image->rlAlphaData ? area : 0;
            u.rlAdditive = image->rlAdditiveData ? area : 0;
            byMemory.emplace(u.Total(), u);
        }
    });
    int64_t total = 0;
    for (const auto& [memory, u] : byMemory) {
        total += memory;
        totals.bits += u.bits;
        totals.palette += u.palette;
        totals.surface += u.surface;
        totals.texture += u.texture;
        totals.nativeAlpha += u.nativeAlpha;
        totals.rlAlpha += u.rlAlpha;
        totals.rlAdditive += u.rlAdditive;
    }
    std::fprintf(html, "Total Image Allocation: %s bytes<BR><TABLE BORDER=1 CELLSPACING=0 CELLPADDING=4>",
                 Commas(total).c_str());
    auto cell = [&](int64_t bytes, const std::string& label) {
        if (bytes)
            std::fprintf(html, "<TD>%s<BR>%s</TD>\n", label.c_str(), Commas(bytes).c_str());
        else
            std::fprintf(html, "<TD>&nbsp;</TD>\n");
    };
    auto flag = [&](bool on, const char* label) { std::fprintf(html, "<TD>%s</TD>\n", on ? label : "&nbsp;"); };
    int index = 0;
    for (const auto& [memory, u] : byMemory) {
        MemoryImage* image = u.image;
        char name[32], thumb[32];
        std::snprintf(name, sizeof name, "img%04d.png", index);
        std::snprintf(thumb, sizeof thumb, "thumb%04d.jpg", index);
        ++index;
        std::fprintf(html, "<TR>\n<TD><A HREF=%s><IMG SRC=%s WIDTH=64 HEIGHT=64></A></TD>\n", name, thumb);
        std::fprintf(html, "<TD ALIGN=RIGHT>%d x %d<BR>%s bytes</TD>\n", image->width, image->height,
                     Commas(memory).c_str());
        cell(u.bits, "mBits");
        cell(u.palette, "Palletized");
        cell(u.surface, "DDSurface");
        cell(u.texture, "Texture");
        flag(image->isVolatile, "Volatile");
        flag(image->forcedMode, "Forced");
        flag(image->hasAlpha, "HasAlpha");
        flag(image->hasTrans, "HasTrans");
        cell(u.nativeAlpha, "NativeAlpha");
        cell(u.rlAlpha, "RLAlpha");
        cell(u.rlAdditive, "RLAdditive");
        std::fprintf(html, "<TD>%s</TD>\n</TR>\n", image->filePath.empty() ? "&nbsp;" : image->filePath.c_str());
        std::fflush(html);

        std::unique_ptr<ImageLib::Image> full;
        WithDisplayLock([&] { full = PixelsOf(image); });
        if (!full)
            continue;
        ImageLib::Image small(64, 64);
        const int w = full->GetWidth(), h = full->GetHeight();
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                small.GetBits()[y * 64 + x] = full->Pixel(int((x + 0.5) * w) / 64, int(h * (y + 0.5)) / 64);
        ImageLib::WriteJpeg(folder + thumb, small);
        ImageLib::WritePng(folder + name, *full);
    }
    std::fprintf(html, "<TR><TD>Totals</TD><TD>%s</TD>", Commas(total).c_str());
    for (int64_t v : {totals.bits, totals.palette, totals.surface, totals.texture})
        std::fprintf(html, "<TD>%s</TD>", Commas(v).c_str());
    std::fprintf(html, "<TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>&nbsp;</TD>");
    for (int64_t v : {totals.nativeAlpha, totals.rlAlpha, totals.rlAdditive})
        std::fprintf(html, "<TD>%s</TD>", Commas(v).c_str());
    std::fprintf(html, "<TD>&nbsp;</TD></TR></TABLE></CENTER></BODY></HTML>");
    std::fclose(html);
}

// ---- overlays ----

void AppBase::UpdateFPSImage()
{
    ++gFpsFrames;
    Overlay& o = PrepareOverlay(fpsOverlay);
    const double elapsed = gDebugTimer.GetDuration();
    if (elapsed < 1000.0 && !gFpsReset)
        return;
    gDebugTimer.Stop();
    gFpsLastRate = gFpsReset || elapsed <= 0.0 ? 0 : static_cast<int32_t>(gFpsFrames * 1000.0 / elapsed + 0.5);
    gFpsReset = false;
    ws.SetWindowTitle(mainWindow, "FPS: " + std::to_string(gFpsLastRate));
    gDebugTimer.Start();
    o.image->BitsChanged();
    gFpsFrames = 0;
}

void AppBase::UpdateCoordsImage()
{
    Overlay& o = PrepareOverlay(fpsOverlay);
    const int32_t x = widgetManager ? widgetManager->GetLastMouseX() : 0;
    const int32_t y = widgetManager ? widgetManager->GetLastMouseY() : 0;
    WriteOverlay(o, std::to_string(x) + "," + std::to_string(y));
}

void AppBase::DrawDebugOverlay()
{
    Image* screen = display ? display->GetScreenImage() : nullptr;
    if (!screen)
        return;
    if (fpsDisplayMode == 0)
        UpdateFPSImage();
    else
        UpdateCoordsImage();
    Overlay& fps = fpsOverlay;
    Graphics g(screen);
    const int32_t x = screen->width - fps.image->width;
    int32_t y = screen->height - fps.image->height;
    g.DrawImage(fps.image.get(), x, y);
    if (playingDemo) {
        Overlay& demoTime = PrepareOverlay(demoTimeOverlay);
        const uint32_t now = Platform::GetClock().GetTickCount();
        if (now - gDemoTimeTick >= static_cast<uint32_t>(1000 / (updateMultiplier > 0 ? updateMultiplier : 1.0))) {
            gDemoTimeTick = now;
            WriteOverlay(demoTime, FormatDemoTimeLeft(DemoLastUpdate(), updateCount, frameTime));
        }
        y -= demoTime.image->height;
        g.DrawImage(demoTime.image.get(), x, y);
    }
}

// ---- debug keys ----

bool AppBase::DebugKeyDown(uint32_t key)
{
    using Platform::Vk::Shift;
    const bool shift = Widgets().IsKeyDown(Shift);
    switch (key) {
    case 0x71: // F2: profiler on, or off with its report
        if (!IsProfiling()) {
            ClearUpdateBacklog(false);
            ProfileStart();
        } else {
            ProfileStop();
            MsgBox(GetProfileReport(), "Perf Results", 0);
            ClearUpdateBacklog(false);
        }
        return false;
    case 0x72: // F3: overlays
        if (shift) {
            fpsDisplayMode = fpsDisplayMode + 1 >= 2 ? 0 : fpsDisplayMode + 1;
            fpsDisplay = true;
        } else {
            fpsDisplay = !fpsDisplay;
        }
        Widgets().MarkAllDirty();
        if (fpsDisplay) {
            gDebugTimer.Start();
            gFpsFrames = 0;
            gFpsLastRate = 0;
            gFpsReset = true;
        }
        return false;
    case 0x77: // F8: video report, or switch 3-D with Shift
        if (!shift) {
            ShowVideoStats();
        } else {
            Set3DAccelerated(!Is3DAccelerated(), true);
            MsgBox(std::string("3D-Mode: ") + (Is3DAccelerated() ? "ON" : "OFF"), "Mode Switch", 0);
            lastTimerTick = Platform::GetClock().TimeGetTime();
        }
        return true;
    case 0x79: // F10
        return true;
    case 0x7A: // F11: screenshot, or the image dump with Shift
        if (shift)
            DumpProgramInfo();
        else
            TakeScreenshot();
        return true;
    default:
        return false;
    }
}

} // namespace Fw
