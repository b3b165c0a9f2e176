// Program entry: the framework's application object with an empty widget tree. Opens the window,
// runs the main loop until a close request and shuts down in order.
// Options: -frames N closes the window after N updates (smoke tests); the framework's own options
// (-record, -play, -demofile, -screensaver, -changedir ...) are passed on to it.
#include "framework/core/AppBase.h"
#include "framework/core/CommandLine.h"

#include <cstdlib>
#include <memory>

namespace {

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
    auto app = std::make_unique<FrameworkApp>();
    app->SetCommandLine(argc, argv);
    app->Init();
    app->Start();
    app.reset();
    return 0;
}
