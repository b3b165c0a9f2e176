// The demo player's dialogs: "Jump To Time" and "Marker List", built on the framework dialog and
// waited on modally. The jump time is remembered in the registry without passing the demo.
#include "framework/graphics/Font.h"
#include "framework/app/AppBase.h"
#include "framework/app/DemoDialogs.h"
#include "framework/core/StringUtils.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/Clock.h"
#include "platform/RegistryStore.h"

namespace Fw {

DemoJumpDialog::DemoJumpDialog(DialogListener* dialogListener, const std::string& text)
    : Dialog(dialogListener, nullptr, nullptr, kId, true, L"Jump To Time", StringToWString(text), L"", kOkCancel)
{
    wantsFocus = true;
}

void DemoJumpDialog::KeyChar(wchar_t c)
{
    if (c == 8) {
        if (!linesText.empty())
            linesText.pop_back();
    } else if (((c >= L'0' && c <= L'9') || c == L':') && linesText.size() < 500) {
        linesText += c;
    }
    MarkDirty();
}

std::string DemoJumpDialog::GetText() const { return WStringToString(linesText); }

DemoMarkerDialog::DemoMarkerDialog(DialogListener* dialogListener,
                                   std::vector<std::pair<std::string, int32_t>> markerEntries)
    : Dialog(dialogListener, nullptr, nullptr, kId, true, L"Marker List", L"", L"CLOSE", kFooterButton),
      entries(std::move(markerEntries))
{
    for (const auto& [text, update] : entries)
        linesText += (linesText.empty() ? L"" : L"\n") + StringToWString(text);
}

int32_t DemoMarkerDialog::EntryAt(int32_t my)
{
    // The lines start below the header, as Draw places them.
    const int32_t top = textInsets.top + frameInsets.top + TitleFont()->GetHeight() - TitleFont()->GetAscentPadding() +
                        headerGap;
    const int32_t spacing = BodyFont()->GetLineSpacing() + bodyExtraSpacing;
    if (my < top || spacing <= 0)
        return -1;
    const int32_t index = (my - top) / spacing;
    return index < static_cast<int32_t>(entries.size()) ? index : -1;
}

void DemoMarkerDialog::MouseDown(int32_t mx, int32_t my, int button, int clickCount)
{
    if (clickCount == 2) {
        if (const int32_t i = EntryAt(my); i >= 0) {
            picked = entries[size_t(i)].second;
            result = kFirstButton;
            return;
        }
    }
    Dialog::MouseDown(mx, my, button, clickCount);
}

void AppBase::ShowDemoJumpDialog()
{
    // Read and written straight in the store: the demo neither records nor replays this value.
    const std::string key = "SOFTWARE\\" + registryKey;
    Platform::RegistryStore& store = Platform::GetRegistryStore();
    std::string text;
    const auto stored = store.ReadValue(key, "DemoJumpTime");
    if (stored && stored->type == 1) {
        text.assign(stored->data.begin(), stored->data.begin() + std::min<size_t>(stored->data.size(), 1000));
        text = text.substr(0, text.find('\0'));
    }
    auto* dialog = new DemoJumpDialog(this, text);
    AddDialog(dialog);
    widgetManager->SetFocus(dialog);
    if (dialog->WaitForResult(true) == Dialog::kFirstButton) {
        const std::string typed = dialog->GetText();
        if (stored)
            store.WriteValue(key, "DemoJumpTime", 1, typed.c_str(), static_cast<uint32_t>(typed.size() + 1));
        fastForwardToUpdate = DemoJumpTarget(typed, DemoLastUpdate(), frameTime);
    }
    lastTimerTick = Platform::GetClock().TimeGetTime();
}

void AppBase::ShowDemoMarkerDialog()
{
    std::vector<std::pair<std::string, int32_t>> entries;
    if (demoData)
        for (const auto& [name, update] : demoData->markers)
            if (update > updateCount)
                entries.emplace_back(FormatDemoMarker(name, update, demoData->demoLength, frameTime), update);
    auto* dialog = new DemoMarkerDialog(this, std::move(entries));
    AddDialog(dialog);
    dialog->WaitForResult(true);
    if (dialog->picked > updateCount)
        fastForwardToUpdate = dialog->picked;
    lastTimerTick = Platform::GetClock().TimeGetTime();
}

} // namespace Fw
