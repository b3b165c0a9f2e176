// Everything an application-object test runs on: the fake clock (start time chosen by the test,
// e.g. near 2^32), the fake window system, an in-memory settings store, scripted message boxes and
// user folders in a temporary folder; all installed for the object's lifetime. Also a recording
// widget-tree port that logs what the application hands to its widgets.
#pragma once
#include "framework/app/AppBase.h"
#include "framework/app/AppWidgetPort.h"
#include "framework/app/StubDisplay.h"
#include "platform/fake/FakeClock.h"
#include "platform/fake/FakeUserFolders.h"
#include "platform/fake/FakeWindowSystem.h"
#include "platform/fake/MemoryRegistryStore.h"
#include "platform/fake/ScriptedMessageBox.h"
#include "support/TempFolder.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace FwTest {

class ScopedWindowSystem {
public:
    explicit ScopedWindowSystem(Platform::WindowSystem& ws) { Platform::SetWindowSystem(&ws); }
    ~ScopedWindowSystem() { Platform::SetWindowSystem(nullptr); }
};

struct AppEnvironment {
    explicit AppEnvironment(uint32_t clockStart = 100000)
        : clock(clockStart), folders(temp.Path() + "/data", temp.Path() + "/config")
    {
    }
    TestSupport::TempFolder temp;
    Platform::FakeClock clock;
    Platform::ScopedClock scopedClock{clock};
    Platform::FakeWindowSystem ws;
    ScopedWindowSystem scopedWs{ws};
    Platform::MemoryRegistryStore registry;
    Platform::ScopedRegistryStore scopedRegistry{registry};
    Platform::ScriptedMessageBox boxes;
    Platform::ScopedMessageBoxService scopedBoxes{boxes};
    Platform::FakeUserFolders folders;
    Platform::ScopedUserFolders scopedFolders{folders};
};

// Logs widget-tree calls as "Name args"; DrawScreen answers drawAnswer.
class RecordingWidgetPort : public Fw::AppWidgetPort {
public:
    std::vector<std::string> log;
    bool drawAnswer = true;
    int updates = 0, fractionalUpdates = 0, draws = 0;
    int32_t downButtons = 0;
    std::vector<Fw::Widget*> destroyed;

    bool UpdateFrame() override { ++updates; return false; }
    bool UpdateFrameF(float) override { ++fractionalUpdates; return false; }
    std::function<void()> onDraw;
    bool DrawScreen() override
    {
        ++draws;
        if (onDraw)
            onDraw();
        return drawAnswer;
    }
    void MouseMove(int32_t x, int32_t y) override { Add("MouseMove " + Pt(x, y)); }
    void MouseDown(int32_t x, int32_t y, int32_t c) override { Add("MouseDown " + Pt(x, y) + " " + std::to_string(c)); }
    void MouseUp(int32_t x, int32_t y, int32_t c) override { Add("MouseUp " + Pt(x, y) + " " + std::to_string(c)); }
    void MouseExit(int32_t x, int32_t y) override { Add("MouseExit " + Pt(x, y)); }
    void MouseWheel(int32_t n) override { Add("MouseWheel " + std::to_string(n)); }
    void KeyDown(uint32_t k) override { keys[k & 0xFF] = true; Add("KeyDown " + std::to_string(k)); }
    void KeyUp(uint32_t k) override { keys[k & 0xFF] = false; Add("KeyUp " + std::to_string(k)); }
    void KeyChar(char16_t c) override { Add("KeyChar " + std::to_string(int(c))); }
    bool IsKeyDown(uint32_t k) const override { return k < 256 && keys[k]; }
    void ClearKeysDown() override { for (bool& k : keys) k = false; Add("ClearKeysDown"); }
    int32_t DownButtons() const override { return downButtons; }
    void GotFocus() override { Add("GotFocus"); }
    void LostFocus() override { Add("LostFocus"); }
    void ReleaseDownWidget() override { Add("ReleaseDownWidget"); }
    void MarkAllDirty() override { Add("MarkAllDirty"); }
    void SystemColorsChangedAll() override { Add("SystemColorsChangedAll"); }
    void SetScreenRects(const Fw::Rect& a, const Fw::Rect& w) override { appRect = a; windowRect = w; }
    void MapMouseCoords(int32_t&, int32_t&) const override {}
    void SetScreenImage(Fw::Image* image) override { screenImage = image; }
    void DestroyWidget(Fw::Widget* w) override { destroyed.push_back(w); }

    bool keys[256] = {};
    Fw::Rect appRect, windowRect;
    Fw::Image* screenImage = nullptr;

private:
    void Add(const std::string& s) { log.push_back(s); }
    static std::string Pt(int32_t x, int32_t y) { return std::to_string(x) + "," + std::to_string(y); }
};

// The StubDisplay the application made (CreateMainWindow creates it when a window is made).
inline Fw::StubDisplay* Stub(Fw::AppBase& app) { return dynamic_cast<Fw::StubDisplay*>(app.display.get()); }

} // namespace FwTest
