// Program entry: the framework's application object on the display (3-D when the test passes), with a small widget tree (a
// backdrop of coloured panels and a moving block) and the software arrow cursor. Opens the window,
// runs the main loop until a close request and shuts down in order. Alt+Enter switches between
// windowed and full-screen mode.
// Options: -frames N closes the window after N updates (smoke tests); the framework's own options
// (-record, -play, -demofile, -screensaver, -changedir ...) are passed on to it.
#include "framework/app/AppBase.h"
#include "framework/core/CommandLine.h"
#include "framework/app/D3DAppRenderer.h"
#include "framework/display/DDInterface.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <cstdlib>
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
        productName = "FwApp";
        registryKey = "Casual Engine\\FwApp";
        title = L"FwApp";
    }

    void HandleCommandLine(const std::string& text) override
    {
        for (const Fw::CommandLineOption& option : Fw::SplitCommandLineOptions(text)) {
            if (option.name == "-frames")
                frameLimit_ = std::atoi(option.value.c_str());
            else
                HandleCmdLineParam(option.name, option.value);
        }
    }

    void UpdateFrames() override
    {
        AppBase::UpdateFrames();
        if (frameLimit_ > 0 && updateCount == frameLimit_)
            ws.PostMessage(Platform::Message{mainWindow, Platform::Msg::Close, 0, 0});
    }

private:
    int frameLimit_ = 0;
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
