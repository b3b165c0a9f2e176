// The framework's process-wide objects that have no narrower home: the debug timer and the
// captions of the framework dialog's buttons. All of the framework's process-wide objects are
// defined in ProgramGlobals.cpp so that they are built in one fixed order and destroyed in reverse.
#pragma once
#include "framework/core/PerformanceTimer.h"

#include <string>

namespace Fw {

// Times the frame-rate overlay and the debug keys (starts stopped, duration 0).
extern PerformanceTimer gDebugTimer;
// Button captions of the framework dialog: "YES", "NO", "OK", "CANCEL".
extern std::wstring gDialogYes, gDialogNo, gDialogOk, gDialogCancel;

} // namespace Fw
