// The application's framework dialogs: creating, showing, finding and killing them by id, turning
// their button events into the application's own, and bracketing system pop-ups.
#include "framework/app/AppBase.h"
#include "framework/widgets/Dialog.h"
#include "framework/widgets/WidgetManager.h"

#include <algorithm>

namespace Fw {

Dialog* AppBase::NewDialog(int32_t id, bool isModal, const std::wstring& header, const std::wstring& lines,
                           const std::wstring& footer, int32_t buttonSet)
{
    return new Dialog(this, nullptr, nullptr, id, isModal, header, lines, footer, buttonSet);
}

Dialog* AppBase::DoDialog(int32_t id, bool isModal, const std::wstring& header, const std::wstring& lines,
                          const std::wstring& footer, int32_t buttonSet)
{
    KillDialog(id);
    Dialog* dialog = NewDialog(id, isModal, header, lines, footer, buttonSet);
    AddDialog(id, dialog);
    return dialog;
}

void AppBase::AddDialog(Dialog* dialog) { AddDialog(dialog->id, dialog); }

void AppBase::AddDialog(int32_t id, Dialog* dialog)
{
    KillDialog(id);
    if (dialog->width == 0) {
        const int32_t w = width / 2;
        dialog->Resize((width - w) / 2, height / 5, w, dialog->GetPreferredHeight(w));
    }
    dialogMap[id] = dialog;
    dialogList.push_back(dialog);
    widgetManager->AddWidget(dialog);
    if (dialog->IsModal()) {
        widgetManager->PushModalLayer(dialog);
        ModalDialogOpened();
    }
}

Dialog* AppBase::GetDialog(int32_t id)
{
    auto it = dialogMap.find(id);
    return it == dialogMap.end() ? nullptr : it->second;
}

bool AppBase::KillDialog(Dialog* dialog) { return KillDialog(dialog->id); }

bool AppBase::KillDialog(int32_t id) { return KillDialog(id, true, true); }

bool AppBase::KillDialog(int32_t id, bool removeWidget, bool deleteWidget)
{
    auto it = dialogMap.find(id);
    if (it == dialogMap.end())
        return false;
    Dialog* dialog = it->second;
    dialogList.remove(dialog);
    dialogMap.erase(it);
    if (removeWidget || deleteWidget)
        widgetManager->RemoveWidget(dialog);
    if (dialog->IsModal()) {
        ModalDialogClosed();
        widgetManager->PopModalLayer(dialog);
    }
    if (deleteWidget)
        DeleteWidgetLater(dialog);
    return true;
}

void AppBase::DeleteAllDialogs()
{
    // Dialogs still open at the end belong to the application: they go before the widget tree.
    std::list<Dialog*> open;
    open.swap(dialogList);
    dialogMap.clear();
    for (Dialog* dialog : open) {
        if (widgetManager)
            widgetManager->RemoveWidget(dialog);
        delete dialog;
    }
    // Widgets handed over for deletion (killed dialogs among them) that the loop never reached.
    std::list<DeleteLater> pending;
    pending.swap(deleteLaterList_);
    for (const DeleteLater& entry : pending)
        if (entry.widget)
            Widgets().DestroyWidget(entry.widget);
}

void AppBase::DialogButtonDown(int32_t dialogId, int32_t buttonId)
{
    if (buttonId == Dialog::kFirstButton)
        ButtonDownById(dialogId + 2000);
    else if (buttonId == Dialog::kSecondButton)
        ButtonDownById(dialogId + 3000);
}

void AppBase::DialogButtonClicked(int32_t dialogId, int32_t buttonId)
{
    if (buttonId == Dialog::kFirstButton)
        ButtonClicked(dialogId + 2000);
    else if (buttonId == Dialog::kSecondButton)
        ButtonClicked(dialogId + 3000);
}

void AppBase::BeginPopup()
{
    // In full screen the pop-up needs the desktop's surface; input meanwhile belongs to it.
    if (!displayWindowed && display)
        popupActive = true;
}

void AppBase::EndPopup()
{
    if (!displayWindowed)
        popupActive = false;
    ClearUpdateBacklog(false);
    ClearKeysDown();
    if (Widgets().DownButtons() != 0) {
        Widgets().ReleaseDownWidget();
        ws.ReleaseCapture();
    }
}

} // namespace Fw
