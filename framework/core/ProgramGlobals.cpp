// Definitions of the framework's process-wide objects, in construction order (one translation
// unit fixes it; the runtime destroys them in reverse). Constant-initialised objects (the colour
// constants) need no place here. The engine defines its own process-wide objects in its layer.
#include "framework/core/ProgramGlobals.h"
#include "framework/assets/TextLock.h"
#include "framework/core/LeakTracker.h"
#include "framework/core/MersenneTwister.h"
#include "framework/graphics/Graphics.h"

namespace Fw {

// The image a drawing context made without a destination draws into: no pixels, 0 x 0.
Image Graphics::NullImage;

} // namespace Fw

// Held around image-font text drawing.
Fw::CritSect gTextLock;

namespace Fw {

LeakTracker gLeakTracker;
// Seeded with 4357 until the application seeds it.
MersenneTwister gRandom;
PerformanceTimer gDebugTimer;
std::wstring gDialogYes = L"YES";
std::wstring gDialogNo = L"NO";
std::wstring gDialogOk = L"OK";
std::wstring gDialogCancel = L"CANCEL";

} // namespace Fw
