// The framework's sample scene: the application object on the display (3-D when the capability
// test passes), a backdrop of coloured panels, a sliding block and the software arrow cursor.
// Options: -frames N closes the window after N updates; -cpu K (with -frames) prints the process's
// CPU time per wall-clock second from update K to the last ("cpu_per_second ..."), which
// bench/sample_scene_cpu.cpp reads; -still N keeps the block in place and prints "still <mode>"
// after update N, when the window shows a picture that no longer changes (the window picture test
// captures it then); the framework's own options are passed on.
#include "framework/app/AppBase.h"
#include "framework/app/D3DAppRenderer.h"
#include "framework/core/CommandLine.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

namespace {

// Fills the screen: a dark ground, a row of colour panels and a frame.
class Backdrop : public Fw::Widget {
public:
    void Draw(Fw::Graphics* g) override
    {
        g->SetColor(Fw::Color(24, 32, 56));
        g->FillRect(0, 0, width, height);
        static const Fw::Color kPanels[] = {{200, 60, 60}, {60, 180, 80}, {60, 100, 210}, {230, 200, 60}};
        const int32_t panelWidth = (width - 100) / 4;
        for (int i = 0; i < 4; ++i) {
            g->SetColor(kPanels[i]);
            g->FillRect(40 + i * (panelWidth + 7), 60, panelWidth, height / 3);
        }
        g->SetColor(Fw::Color(230, 230, 230));
        g->DrawRect(20, 20, width - 41, height - 41);
    }
};

// A block sliding back and forth under the panels: shows that frames keep coming.
class Slider : public Fw::Widget {
public:
    void Update() override
    {
        Widget::Update();
        if (still_)
            return;
        const int32_t range = parentWidth_ - width - 80;
        position_ = (position_ + 3) % (2 * range);
        Move(40 + (position_ < range ? position_ : 2 * range - position_), y);
        MarkDirtyWithBackground();
    }
    void Draw(Fw::Graphics* g) override
    {
        g->SetColor(Fw::Color(250, 140, 30));
        g->FillRect(0, 0, width, height);
    }
    int32_t parentWidth_ = 800;
    bool still_ = false;

private:
    int32_t position_ = 0;
};

// A 12 x 19 arrow, white with a black edge. The display centres cursor images on the mouse
// position, so the arrow fills the lower right quarter of a 24 x 38 image and its tip is the centre.
std::unique_ptr<Fw::MemoryImage> MakeArrowCursor()
{
    static const char* const kArrow[] = {
        "X...........", "XX..........", "X0X.........", "X00X........", "X000X.......", "X0000X......",
        "X00000X.....", "X000000X....", "X0000000X...", "X00000000X..", "X000000000X.", "X000000XXXXX",
        "X000X00X....", "X00XX00X....", "X0X..X00X...", "XX...X00X...", "X.....X00X..", "......X00X..",
        ".......XX...",
    };
    auto image = std::make_unique<Fw::MemoryImage>();
    image->Create(24, 38);
    uint32_t* bits = image->GetBits();
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 12; ++x)
            bits[(y + 19) * 24 + x + 12] =
                kArrow[y][x] == 'X' ? 0xFF000000u : kArrow[y][x] == '0' ? 0xFFFFFFFFu : 0;
    image->BitsChanged();
    return image;
}

class FrameworkApp : public Fw::AppBase {
public:
    FrameworkApp()
    {
        productName = "FwSampleScene";
        registryKey = "Casual Engine\\FwSampleScene";
        title = L"FwSampleScene";
    }

    void HandleCommandLine(const std::string& text) override
    {
        for (const Fw::CommandLineOption& option : Fw::SplitCommandLineOptions(text)) {
            if (option.name == "-frames")
                frameLimit_ = std::atoi(option.value.c_str());
            else if (option.name == "-cpu")
                measureFrom_ = std::atoi(option.value.c_str());
            else if (option.name == "-still")
                stillAfter_ = std::atoi(option.value.c_str());
            else
                HandleCmdLineParam(option.name, option.value);
        }
    }

    bool Still() const { return stillAfter_ > 0; }

    void UpdateFrames() override
    {
        AppBase::UpdateFrames();
        if (measureFrom_ > 0 && updateCount == measureFrom_)
            cpuStart_ = Now();
        if (stillAfter_ > 0 && updateCount == stillAfter_) {
            std::printf("still %s\n", Is3DAccelerated() ? "3-D" : "software");
            std::fflush(stdout);
        }
        if (frameLimit_ > 0 && updateCount == frameLimit_) {
            if (measureFrom_ > 0 && measureFrom_ < frameLimit_) {
                const Times end = Now();
                const double wall = end.wall - cpuStart_.wall;
                std::printf("cpu_per_second %.4f over %.2f s, %s\n", (end.cpu - cpuStart_.cpu) / wall, wall,
                            Is3DAccelerated() ? "3-D" : "software");
                std::fflush(stdout);
            }
            ws.PostMessage(Platform::Message{mainWindow, Platform::Msg::Close, 0, 0});
        }
    }

private:
    struct Times {
        double cpu = 0, wall = 0;
    };
    static Times Now()
    {
        timespec cpu{}, wall{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        clock_gettime(CLOCK_MONOTONIC, &wall);
        return {double(cpu.tv_sec) + double(cpu.tv_nsec) * 1e-9, double(wall.tv_sec) + double(wall.tv_nsec) * 1e-9};
    }
    int frameLimit_ = 0;
    int measureFrom_ = 0;
    int stillAfter_ = 0;
    Times cpuStart_;
};

} // namespace

int main(int argc, char** argv)
{
    // The display draws through OpenGL once the 3-D capability test passes; without an OpenGL
    // context, or when the test fails, it draws in software.
    Fw::SetDisplayFactory(Fw::D3DDisplayFactory());
    auto app = std::make_unique<FrameworkApp>();
    app->SetCommandLine(argc, argv);
    app->Init();

    Backdrop backdrop;
    backdrop.Resize(0, 0, app->width, app->height);
    Slider slider;
    slider.parentWidth_ = app->width;
    slider.still_ = app->Still();
    slider.Resize(40, app->height / 3 + 100, 120, 60);
    app->widgetManager->AddWidget(&backdrop);
    app->widgetManager->AddWidget(&slider);
    auto cursor = MakeArrowCursor();
    app->SetCursorImage(0, cursor.get());
    app->EnableCustomCursors(true);

    app->Start();
    app->widgetManager->RemoveWidget(&slider);
    app->widgetManager->RemoveWidget(&backdrop);
    // Images leave the application's image set: the cursor goes before the application.
    app->SetCursorImage(0, nullptr);
    app->EnableCustomCursors(false);
    cursor.reset();
    app.reset();
    return 0;
}
