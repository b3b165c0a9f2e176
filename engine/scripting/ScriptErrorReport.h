// How script exceptions are printed: a traceback in full the first time; while the same exception
// (same type, message and frames) keeps coming, as from a callback that fails on every frame, one
// line with the repeat count at most once a second; in full again when it changes.
#pragma once
#include <cstdint>

// Prints the pending exception as above and clears it. The interpreter lock must be held; no-op
// without a pending exception.
void ReportScriptException();

// Time between two repeat lines of one exception, in milliseconds of the platform clock.
inline constexpr uint32_t kScriptExceptionRepeatReportMs = 1000;
