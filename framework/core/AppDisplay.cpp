// Display result names and the display factory.
#include "framework/core/AppDisplay.h"
#include "framework/core/StubDisplay.h"

namespace Fw {

namespace {
DisplayFactory& Factory()
{
    static DisplayFactory factory;
    return factory;
}
} // namespace

const char* DisplayResultToString(int result)
{
    static const char* const kNames[] = {"RESULT_OK",          "RESULT_FAIL",           "RESULT_DD_CREATE_FAIL",
                                         "RESULT_SURFACE_FAIL", "RESULT_EXCLUSIVE_FAIL", "RESULT_DISPCHANGE_FAIL",
                                         "RESULT_INVALID_COLORDEPTH"};
    return (result >= 0 && result <= 6) ? kNames[result] : "RESULT_UNKNOWN";
}

DisplayFactory SetDisplayFactory(DisplayFactory factory)
{
    DisplayFactory old = std::move(Factory());
    Factory() = std::move(factory);
    return old;
}

std::unique_ptr<AppDisplay> CreateDisplay(AppBase& app)
{
    if (Factory())
        if (auto display = Factory()(app))
            return display;
    return std::make_unique<StubDisplay>();
}

} // namespace Fw
