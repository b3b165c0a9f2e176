// Definitions of the application's process-wide objects.
#include "framework/app/ProgramGlobals.h"

namespace Fw {

PerformanceTimer gDebugTimer;

} // namespace Fw
