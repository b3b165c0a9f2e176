// Button sets of the style bits and the choice of the process's message-box service.
#include "platform/MessageBox.h"

#include "platform/sdl/SdlMessageBox.h"

#include "platform/ServiceSlot.h"

namespace Platform {
namespace {
ServiceSlot<MessageBoxService> gInstalled;

SdlMessageBox& RealService()
{
    static SdlMessageBox service;
    return service;
}
} // namespace

int MessageBoxButtons(uint32_t style, int out[3])
{
    switch (style & 0xF) {
    case kMbOkCancel: out[0] = kIdOk, out[1] = kIdCancel; return 2;
    case kMbAbortRetryIgnore: out[0] = kIdAbort, out[1] = kIdRetry, out[2] = kIdIgnore; return 3;
    case kMbYesNoCancel: out[0] = kIdYes, out[1] = kIdNo, out[2] = kIdCancel; return 3;
    case kMbYesNo: out[0] = kIdYes, out[1] = kIdNo; return 2;
    case kMbRetryCancel: out[0] = kIdRetry, out[1] = kIdCancel; return 2;
    default: out[0] = kIdOk; return 1;
    }
}

int MessageBoxDefaultAnswer(uint32_t style)
{
    int buttons[3];
    const int count = MessageBoxButtons(style, buttons);
    int index = 0;
    if (style & kMbDefButton3)
        index = 2;
    else if (style & kMbDefButton2)
        index = 1;
    return buttons[index < count ? index : 0];
}

MessageBoxService& GetMessageBoxService()
{
    return gInstalled.Get(RealService());
}

MessageBoxService* SetMessageBoxService(MessageBoxService* service)
{
    return gInstalled.Exchange(service, &RealService());
}

} // namespace Platform
