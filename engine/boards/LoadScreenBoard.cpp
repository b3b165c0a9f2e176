#include "engine/boards/LoadScreenBoard.h"

#include "engine/boards/BoardHost.h"
#include "framework/app/AppBase.h"
#include "engine/core/Texture.h"
#include "engine/widgets/SkinTexture.h"

VTBoard_LoadScreen::VTBoard_LoadScreen(VTBoardHost& host, const Platform::XmlNode& node)
    : VTDialog(nullptr, &host.GetHostApp()), host_(host)
{
    const Fw::Rect area = ApplicationArea();
    Resize(0, 0, area.width, area.height);
    if (node)
        LoadNestedDialog(node, L"load_screen");
}

VTBoard_LoadScreen::~VTBoard_LoadScreen() = default;

void VTBoard_LoadScreen::AddChild(const std::string& name, VTCandyWidget* child)
{
    if (child && TextureHasImage(child->GetMainTexture()))
        pictures_[name] = child;
    VTCandyWidget::AddChild(name, child);
}

VTCandyWidget* VTBoard_LoadScreen::FindPicture(std::string_view name) const
{
    const auto found = pictures_.find(name);
    return found == pictures_.end() ? nullptr : found->second;
}

void VTBoard_LoadScreen::SelectPicture(std::string_view name)
{
    if (!host_.IsMainThread()) {
        // The widgets are the main thread's; the board lives as long as the engine's steps run.
        host_.OnMainThread([this, picture = std::string(name)] { SelectPicture(picture); });
        return;
    }
    selected_ = std::string(name);
    VTCandyWidget* selected = FindPicture(name);
    if (!selected)
        return;
    selected->Show();
    for (const auto& [pictureName, picture] : pictures_)
        if (pictureName != name)
            picture->Hide();
}
