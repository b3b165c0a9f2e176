// Display result names.
#include "framework/display/AppDisplay.h"

namespace Fw {

const char* DisplayResultToString(int result)
{
    static const char* const kNames[] = {"RESULT_OK",          "RESULT_FAIL",           "RESULT_DD_CREATE_FAIL",
                                         "RESULT_SURFACE_FAIL", "RESULT_EXCLUSIVE_FAIL", "RESULT_DISPCHANGE_FAIL",
                                         "RESULT_INVALID_COLORDEPTH"};
    return (result >= 0 && result <= 6) ? kNames[result] : "RESULT_UNKNOWN";
}

} // namespace Fw
