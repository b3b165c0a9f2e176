// The application's 3-D renderer: the OpenGL driver and the application host, owned together
// with the renderer that uses them.
#include "framework/app/D3DAppRenderer.h"

#include "framework/app/AppBase.h"
#include "framework/display/D3DInterface.h"
#include "framework/display/DDInterface.h"
#include "platform/gl/GlDevice3D.h"

#include <algorithm>

namespace Fw {

namespace {

class AppHost final : public D3DHost {
public:
    explicit AppHost(AppBase& app) : app_(app) {}
    bool PlayingDemo() override { return app_.playingDemo; }
    std::string DemoSyncString(const std::string& value) override { return app_.DemoSyncString(value); }
    void DemoSyncBool(bool& value) override { app_.DemoSyncBool(value); }
    bool IsMinimized() override { return app_.minimized; }
    void WriteRuntimeError(const std::string& text) override { app_.RegistryWriteString("Test3D\\RuntimeError", text); }
    D3DTestSettings GetTestSettings() override
    {
        // A stored "Is3D" of true is the user's own choice of 3-D.
        bool stored = false;
        const bool requested = app_.RegistryReadBoolean("Is3D", stored) && stored;
        return {app_.autoEnable3D, app_.test3D, uint32_t(std::max(app_.minVidMemory3D, 0)),
                uint32_t(std::max(app_.recVidMemory3D, 0)), requested};
    }

private:
    AppBase& app_;
};

// Driver and host are members of a base, so they exist before the renderer that refers to them.
struct Parts {
    Parts(AppBase& app, std::unique_ptr<Platform::Driver3D> d) : driver(std::move(d)), host(app) {}
    std::unique_ptr<Platform::Driver3D> driver;
    AppHost host;
};

class AppRenderer final : private Parts, public D3DInterface {
public:
    AppRenderer(AppBase& app, std::unique_ptr<Platform::Driver3D> d)
        : Parts(app, std::move(d)), D3DInterface(*Parts::driver, Parts::host)
    {
    }
};

} // namespace

std::unique_ptr<DisplayRenderer> CreateD3DRenderer(AppBase& app)
{
    // The context is chosen when the capability test runs: the window's own when it can take
    // one, else the headless one; without either the test fails and the display draws in 2-D.
    return CreateD3DRenderer(app, std::make_unique<Platform::GlDriver3D>());
}

std::unique_ptr<DisplayRenderer> CreateD3DRenderer(AppBase& app, std::unique_ptr<Platform::Driver3D> driver)
{
    if (!driver)
        return nullptr;
    return std::make_unique<AppRenderer>(app, std::move(driver));
}

} // namespace Fw

namespace Fw {

DisplayFactory D3DDisplayFactory()
{
    return [](AppBase& app) -> std::unique_ptr<AppDisplay> {
        auto display = std::make_unique<DDInterface>(app);
        display->SetRenderer(CreateD3DRenderer(app));
        return display;
    };
}

} // namespace Fw
