// Text pieces of widget skins shared by buttons, texts, lists and edit boxes: colours written as
// unsigned hexadecimal 0xAARRGGBB, the three text attribute slots (0 shadow, 1 stroke, 2 normal)
// read from "textattr" children, and labels that are keys of the localised texts.
#pragma once
#include "framework/graphics/Color.h"
#include "platform/XmlDocument.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace Fw {
class Font;
}

// One text attribute slot: the font it draws with (null: the pass is left out) and its colours.
struct VTTextAttr {
    Fw::Font* font = nullptr;
    Fw::Color color = Fw::Color::Black;
    Fw::Color hoverColor = Fw::Color::Black;
    Fw::Color disabledColor = Fw::Color::Black;
};

// Slot indices; drawn in this order so the normal text lies on top.
enum VTTextAttrIndex : int32_t { kTextAttrShadow = 0, kTextAttrStroke = 1, kTextAttrNormal = 2, kTextAttrCount = 3 };

// text as an unsigned hexadecimal number (an optional "0x", leading blanks allowed) taken as
// 0xAARRGGBB: six digits leave alpha 0. Reading stops at the first other character; no digits read
// as 0; a number beyond 32 bits reads as 0xFFFFFFFF.
Fw::Color ParseSkinColor(std::string_view text);

// Calls fn(index, attr) for each "textattr" child of element with "id" "normal", "stroke" and
// "shadow", in that order (indices 2, 1, 0). "color" absent leaves opaque black; "hcolor" and
// "dcolor" absent take the "color" value; "font" is looked up in the font catalogue (absent or
// unknown: null).
template <class Fn> void ReadSkinTextAttrs(const Platform::XmlNode& element, Fn&& fn);
// One slot's child (id "normal", "stroke" or "shadow"); false when element has none.
bool ReadSkinTextAttr(const Platform::XmlNode& element, std::string_view id, VTTextAttr& out);

// "label" (up to 127 bytes) looked up in the localised texts; absent (or a missing key) gives the
// empty text.
std::wstring ReadSkinLabel(const Platform::XmlNode& element);

template <class Fn> void ReadSkinTextAttrs(const Platform::XmlNode& element, Fn&& fn)
{
    constexpr std::array<std::pair<std::string_view, int32_t>, 3> kSlots{
        {{"normal", kTextAttrNormal}, {"stroke", kTextAttrStroke}, {"shadow", kTextAttrShadow}}};
    for (const auto& [id, index] : kSlots) {
        VTTextAttr attr;
        if (ReadSkinTextAttr(element, id, attr))
            fn(index, attr);
    }
}
