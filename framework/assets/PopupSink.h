// Where asset loaders send their error popups. The application installs a sink that shows them
// (its PopupW); tests install one that records them. With no sink installed the text goes to the
// debugger output, so a loader never blocks on a dialog that nobody can answer.
#pragma once
#include <functional>
#include <string>

namespace Fw {

using PopupSinkFn = std::function<void(const std::wstring& text)>;

// Installs sink (empty: back to the debugger output) and returns the previous one. Any thread.
PopupSinkFn SetPopupSink(PopupSinkFn sink);
// Hands text to the installed sink. Any thread; the sink is called outside the sink lock.
void PopupW(const std::wstring& text);

} // namespace Fw
