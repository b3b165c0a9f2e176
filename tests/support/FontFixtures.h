// Helpers for font tests: UTF-16LE description files, a recorder of asset popups and a shared-image
// source that loads glyph images through the image reader (so from archives too) or takes images
// made in memory.
#pragma once
#include "framework/assets/PopupSink.h"
#include "framework/assets/SharedImageSource.h"
#include "framework/graphics/MemoryImage.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace TestSupport {

// The UTF-16LE bytes of text (no byte-order mark), one unit per character.
std::string Utf16Le(const std::wstring& text);

// The font description most font tests load: one layer "main" at 24 points over 'glyphs.png', a
// 32 x 12 strip of the glyphs A, V, B, W (8 pixels each): ascent 10, height 12, widths 8, spacing 2,
// kerning A->V -4.
std::wstring GlyphStripFont();
// Commands to append to it: a layer "shadow" copied from "main", drawn under it one pixel to the
// left, in black.
std::wstring GlyphStripShadow();

// Records every asset popup while it lives; restores the previous sink afterwards.
class PopupCapture {
public:
    PopupCapture();
    ~PopupCapture();
    PopupCapture(const PopupCapture&) = delete;
    PopupCapture& operator=(const PopupCapture&) = delete;

    std::vector<std::wstring> popups;

private:
    Fw::PopupSinkFn previous;
};

// Shared images by upper-cased path: images added in memory, else files loaded with
// ImageLib::LoadImageFile. Owns the images; outlive every font that uses it.
class TestImageSource : public Fw::SharedImageSource {
public:
    ~TestImageSource();
    Fw::SharedImageRef AcquireSharedImage(const std::string& path, const std::string& variant, bool* isNew,
                                          uint32_t alphaComposeColor) override;
    // A width x height image under path, every pixel fill (or the pixels given).
    Fw::MemoryImage* Add(const std::string& path, int width, int height, uint32_t fill = 0xFFFFFFFF);
    Fw::MemoryImage* Add(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels);

    std::vector<std::string> requested; // paths in the order asked for

private:
    std::map<std::string, Fw::SharedImage> records;
    std::vector<std::unique_ptr<Fw::MemoryImage>> images;
};

// The bytes of an 8-bit RGBA PNG of the pixels (0xAARRGGBB, rows from the top), written with libpng.
std::vector<uint8_t> PngBytes(int width, int height, const std::vector<uint32_t>& pixels);

} // namespace TestSupport
