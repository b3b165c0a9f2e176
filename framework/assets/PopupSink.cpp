// The asset loaders' popup sink.
#include "framework/assets/PopupSink.h"

#include "framework/core/StringUtils.h"
#include "platform/DebugOutput.h"

#include <mutex>

namespace Fw {

namespace {

std::mutex& SinkMutex()
{
    static std::mutex m;
    return m;
}

PopupSinkFn& Sink()
{
    static PopupSinkFn sink;
    return sink;
}

} // namespace

PopupSinkFn SetPopupSink(PopupSinkFn sink)
{
    std::lock_guard lock(SinkMutex());
    PopupSinkFn previous = std::move(Sink());
    Sink() = std::move(sink);
    return previous;
}

void PopupW(const std::wstring& text)
{
    PopupSinkFn sink;
    {
        std::lock_guard lock(SinkMutex());
        sink = Sink();
    }
    if (sink)
        sink(text);
    else
        Platform::OutputDebugText(WStringToString(text) + "\n");
}

} // namespace Fw
