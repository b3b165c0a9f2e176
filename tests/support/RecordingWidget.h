// Test doubles for the widget tree: a widget that writes every hook it receives into a shared log
// ("name:Event args"), with an optional action run from its Update, and a widget host that records
// overlay and cursor calls.
#pragma once
#include "framework/graphics/Graphics.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetHost.h"

#include <functional>
#include <string>
#include <vector>

namespace FwTest {

using EventLog = std::vector<std::string>;

class RecordingWidget : public Fw::Widget {
public:
    RecordingWidget(std::string name, EventLog* log, int32_t x0 = 0, int32_t y0 = 0, int32_t w = 0,
                    int32_t h = 0)
        : name_(std::move(name)), log_(log)
    {
        x = x0;
        y = y0;
        width = w;
        height = h;
    }

    const std::string& Name() const { return name_; }

    std::function<void()> onUpdate; // runs inside Update, after it is logged
    bool hitTestResult = true;
    int drawCount = 0;
    Fw::Point lastDrawTranslation; // the context's translation at the last Draw

    void Update() override
    {
        Fw::Widget::Update();
        Log("Update");
        if (onUpdate)
            onUpdate();
    }
    void Draw(Fw::Graphics* g) override
    {
        ++drawCount;
        lastDrawTranslation = Fw::Point(int32_t(g->transX), int32_t(g->transY));
        Log("Draw");
    }
    void GotFocus() override
    {
        Fw::Widget::GotFocus();
        Log("GotFocus");
    }
    void LostFocus() override
    {
        Fw::Widget::LostFocus();
        Log("LostFocus");
    }
    void KeyDown(int key) override
    {
        Log("KeyDown " + std::to_string(key));
        Fw::Widget::KeyDown(key);
    }
    void KeyUp(int key) override { Log("KeyUp " + std::to_string(key)); }
    void KeyChar(wchar_t c) override { Log("KeyChar " + std::to_string(int(c))); }
    void MouseEnter() override { Log("MouseEnter"); }
    void MouseLeave() override { Log("MouseLeave"); }
    void MouseMove(int32_t mx, int32_t my) override { Log("MouseMove " + Pt(mx, my)); }
    void MouseDown(int32_t mx, int32_t my, int button, int clicks) override
    {
        Log("MouseDown " + Pt(mx, my) + " b" + std::to_string(button) + " c" + std::to_string(clicks));
    }
    void MouseUp(int32_t mx, int32_t my, int button, int clicks) override
    {
        Log("MouseUp " + Pt(mx, my) + " b" + std::to_string(button) + " c" + std::to_string(clicks));
    }
    void MouseUpAny(int32_t mx, int32_t my) override { Log("MouseUpAny " + Pt(mx, my)); }
    void MouseDrag(int32_t mx, int32_t my) override { Log("MouseDrag " + Pt(mx, my)); }
    void MouseWheel(int delta) override { Log("MouseWheel " + std::to_string(delta)); }
    bool HitTest(int32_t, int32_t) override { return hitTestResult; }
    void OrderChanged() override { Log("OrderChanged"); }

private:
    static std::string Pt(int32_t a, int32_t b) { return std::to_string(a) + "," + std::to_string(b); }
    void Log(const std::string& what)
    {
        if (log_ != nullptr)
            log_->push_back(name_ + ":" + what);
    }

    std::string name_;
    EventLog* log_;
};

class RecordingHost : public Fw::WidgetHost {
public:
    bool is3D = false;
    int overlayCalls = 0;
    Fw::Point overlayTranslation;
    std::vector<int> cursors;

    bool Is3DAccelerated() override { return is3D; }
    void DrawOverlay(Fw::Graphics* g) override
    {
        ++overlayCalls;
        overlayTranslation = Fw::Point(int32_t(g->transX), int32_t(g->transY));
    }
    void SetCursor(int32_t cursorNum) override { cursors.push_back(cursorNum); }
    bool UpdateAppStep(bool*) override { return false; }
    bool KillDialog(int32_t) override { return false; }
};

} // namespace FwTest
