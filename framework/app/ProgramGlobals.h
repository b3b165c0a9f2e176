// The application's process-wide objects that have no narrower home: the debug timer. The
// captions of the framework dialog's buttons live with the dialog (DialogCaptions.h); each lower
// folder defines its own process-wide objects beside their classes.
#pragma once
#include "framework/core/PerformanceTimer.h"
#include "framework/widgets/DialogCaptions.h"

namespace Fw {

// Times the frame-rate overlay and the debug keys (starts stopped, duration 0).
extern PerformanceTimer gDebugTimer;

} // namespace Fw
