// The engine's font catalogue: system and image fonts from "cfg\ui.xml".
#include "engine/core/FontCatalogue.h"

#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"
#include "framework/assets/ImageFont.h"
#include "framework/assets/SysFont.h"

namespace {

// Room of the original's name buffers, terminator included.
constexpr size_t kNameBuffer = 128;

} // namespace

VTFont::VTFont(Fw::SharedImageSource* images) : images_(images) {}

VTFont::~VTFont() = default;

void VTFont::LoadFromXml(const Platform::XmlNode& node)
{
    XmlForEachNode(node, "font", [this](const Platform::XmlNode& element) {
        std::string name, type, face;
        XmlGetAttributeString(element, "name", name, kNameBuffer);
        XmlGetAttributeString(element, "type", type, kNameBuffer);
        std::unique_ptr<Fw::Font> font;
        if (type == "System") {
            int32_t size = 0;
            bool bold = false, italic = false, underline = false;
            XmlGetAttributeString(element, "face", face, kNameBuffer);
            XmlGetAttributeInt(element, "size", size);
            XmlGetAttributeBool(element, "bold", bold);
            XmlGetAttributeBool(element, "italic", italic);
            XmlGetAttributeBool(element, "underline", underline);
            font = std::make_unique<Fw::SysFont>(face, size, bold, italic, underline);
        } else if (type == "Image") {
            XmlGetAttributeString(element, "face", face, kNameBuffer);
            auto imageFont = std::make_unique<Fw::ImageFont>(images_, face);
            float scale = 1.0f;
            XmlGetAttributeFloat(element, "scale", scale);
            imageFont->SetScale(scale);
            imageFont->Prepare();
            font = std::move(imageFont);
        }
        if (font)
            fonts_[name] = std::move(font); // a font already under the name is deleted
        return true;
    });
}

Fw::Font* VTFont::GetFont(std::string_view name) const
{
    // A plain lookup: widgets on several threads read the catalogue, so it never grows here.
    auto it = fonts_.find(name);
    return it == fonts_.end() ? nullptr : it->second.get();
}
