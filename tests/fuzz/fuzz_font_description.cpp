// The font description parser (a UTF-16LE "*.txt" description) with a 32 x 12 glyph image at hand
// as "glyphs.png", then the font built from it measured: a refused description shows its popup,
// and a loaded font measures every string without faults.
#include "FuzzSupport.h"

#include "framework/assets/ImageFont.h"

#include "support/FontFixtures.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TestSupport::TestImageSource images; // outlives every font made from it
    static const bool added = (images.Add("glyphs.png", 32, 12), true);
    (void)added;
    const std::string name = FuzzSupport::WriteInput("font.txt", data, size);
    TestSupport::PopupCapture popups;
    Fw::ImageFont font(&images, name);
    if (!font.IsLoaded()) {
        FuzzSupport::Check(!popups.popups.empty(), "a refused description shows a popup");
        return 0;
    }
    const std::wstring samples[] = {L"AVBW", L"AV AV", L"", std::wstring(1, wchar_t(0xFFFF))};
    for (const std::wstring& s : samples)
        font.StringWidth(s);
    font.GetAscent();
    font.GetHeight();
    return 0;
}
