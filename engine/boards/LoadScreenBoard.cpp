#include "engine/boards/LoadScreenBoard.h"

#include "engine/core/Engine.h"
#include "engine/core/Texture.h"
#include "engine/widgets/SkinTexture.h"

VTBoard_LoadScreen::VTBoard_LoadScreen(VTEngine& engine, const Platform::XmlNode& node) : VTDialog(nullptr, &engine)
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
    VTEngine* engine = VTEngine::GetInstance();
    if (engine && !engine->IsMainThread()) {
        // The widgets are the main thread's; the board lives as long as the engine's steps run.
        engine->OnMainThread([this, picture = std::string(name)] { SelectPicture(picture); });
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
