// The demo player's dialogs: "Jump To Time" (a time before the end to run to) and "Marker List".
#include "framework/core/AppBase.h"

namespace Fw {

void AppBase::ShowDemoJumpDialog() {}
void AppBase::ShowDemoMarkerDialog() {}

} // namespace Fw
