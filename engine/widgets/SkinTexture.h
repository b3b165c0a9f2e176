// Textures of widget skins: the "texture" child with a given "id", loaded from the engine's texture
// catalogue with the widget's size as default size, and the test whether a texture has an image.
#pragma once
#include "platform/XmlDocument.h"

#include <cstdint>
#include <memory>
#include <string_view>

class VTTexture;

// The texture of element's child "texture[@id=id]", or null when there is no such child. Without a
// texture catalogue the texture is made empty (it draws nothing).
std::unique_ptr<VTTexture> LoadSkinTexture(const Platform::XmlNode& element, std::string_view id,
                                           int32_t defaultWidth, int32_t defaultHeight);
// A texture made from child itself.
std::unique_ptr<VTTexture> LoadSkinTextureFrom(const Platform::XmlNode& child, int32_t defaultWidth,
                                               int32_t defaultHeight);
// The texture exists and its current frame names an image.
bool TextureHasImage(const VTTexture* texture);
