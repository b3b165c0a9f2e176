// What the display asks of the application it shows: the screen settings it is made for, the
// presentation policy read at each frame, where a broken vertical sync is reported, and the
// registry of the application's images. The application object implements it.
#pragma once
#include "framework/core/Ratio.h"

#include <cstdint>

namespace Fw {

class ImageRegistry;

// The mode the application asks for. windowAspect applies when useWindowAspect is set and its
// denominator is positive.
struct DisplayRequest {
    int32_t width = 0, height = 0;
    int32_t colorDepth = 0;
    bool fillScreen = false;
    bool useWindowAspect = false;
    Ratio windowAspect;
};

class DisplayHost {
public:
    virtual ~DisplayHost() = default;
    virtual DisplayRequest GetDisplayRequest() = 0;
    // A pop-up is shown: full screen presents by copying instead of flipping.
    virtual bool IsPopupActive() = 0;
    virtual bool UsesFullScreenFlip() = 0;
    // Presentation waits for the vertical blank (unless suppressed for now).
    virtual bool WantsVSyncWait() = 0;
    virtual bool IsVSyncSuppressed() = 0;
    // Waiting for the vertical blank failed repeatedly.
    virtual void ReportVSyncBroken() = 0;
    virtual ImageRegistry* GetDisplayImageRegistry() = 0;
};

} // namespace Fw
