// Skin textures from "texture" children.
#include "engine/widgets/SkinTexture.h"

#include "engine/core/Texture.h"
#include "engine/widgets/WidgetServices.h"

std::unique_ptr<VTTexture> LoadSkinTextureFrom(const Platform::XmlNode& child, int32_t defaultWidth,
                                               int32_t defaultHeight)
{
    auto texture = std::make_unique<VTTexture>();
    if (VTTextureCatalogue* catalogue = GetWidgetServices().GetTextureCatalogue())
        texture->LoadFromXml(*catalogue, child, defaultWidth, defaultHeight);
    return texture;
}

std::unique_ptr<VTTexture> LoadSkinTexture(const Platform::XmlNode& element, std::string_view id,
                                           int32_t defaultWidth, int32_t defaultHeight)
{
    const Platform::XmlNode child = element.SelectSingleNode("texture[@id=$id]", {{"id", id}});
    if (!child)
        return nullptr;
    return LoadSkinTextureFrom(child, defaultWidth, defaultHeight);
}

bool TextureHasImage(const VTTexture* texture)
{
    if (!texture)
        return false;
    const int32_t i = texture->currentFrame;
    if (i < 0 || static_cast<size_t>(i) >= texture->frames.size())
        return false;
    return texture->frames[static_cast<size_t>(i)].Descriptor() != nullptr;
}
