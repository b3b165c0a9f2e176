// The display factory.
#include "framework/app/DisplayFactory.h"
#include "framework/app/AppBase.h"
#include "framework/app/StubDisplay.h"
#include "framework/display/DDInterface.h"

namespace Fw {

namespace {
DisplayFactory& Factory()
{
    static DisplayFactory factory;
    return factory;
}
} // namespace

DisplayFactory SetDisplayFactory(DisplayFactory factory)
{
    DisplayFactory old = std::move(Factory());
    Factory() = std::move(factory);
    return old;
}

DisplayFactory DDDisplayFactory()
{
    return [](AppBase& app) -> std::unique_ptr<AppDisplay> { return std::make_unique<DDInterface>(app); };
}

std::unique_ptr<AppDisplay> CreateDisplay(AppBase& app)
{
    if (Factory())
        if (auto display = Factory()(app))
            return display;
    return std::make_unique<StubDisplay>();
}

} // namespace Fw
