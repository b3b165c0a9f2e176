// The engine's font catalogue: the named fonts widget skins refer to, made from the "font"
// elements of "cfg\ui.xml" as system fonts or image fonts. Owned by the engine object (made in its
// constructor, filled in the loading step, read by widgets afterwards).
#pragma once
#include "platform/XmlDocument.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace Fw {
class Font;
class SharedImageSource;
} // namespace Fw

class VTFont {
public:
    // Image fonts load their glyph images through images (the application's shared images).
    explicit VTFont(Fw::SharedImageSource* images);
    virtual ~VTFont();
    VTFont(const VTFont&) = delete;
    VTFont& operator=(const VTFont&) = delete;

    // Makes a font for every "font" child of node: "type" "System" (exactly) a system font of "face",
    // "size", "bold", "italic", "underline"; "Image" an image font of the description "face" at
    // "scale" (absent: 1.0); other types nothing. A later font of a name replaces (and deletes) an
    // earlier one. Loading thread, before the boards exist.
    void LoadFromXml(const Platform::XmlNode& node);
    // The font of that name, or null. Not owned by the caller.
    Fw::Font* GetFont(std::string_view name) const;

private:
    Fw::SharedImageSource* images_;
    std::map<std::string, std::unique_ptr<Fw::Font>, std::less<>> fonts_;
};
