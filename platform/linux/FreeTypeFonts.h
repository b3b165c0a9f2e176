// Typefaces over fontconfig and FreeType: fontconfig turns face name, weight and slant into a file
// (DejaVu Sans when that fails), FreeType renders anti-aliased grey glyphs. Metrics follow the
// Windows rules the callers were written for: the size is the em height in pixels, ascent and
// descent come from the OS/2 table's win metrics, bold and italic are simulated (emboldened,
// slanted outlines) when the family has no such face, the underline uses the face's position
// and thickness. Each face holds its own FreeType library and a lock.
#pragma once
#include "platform/SystemFonts.h"

namespace Platform {

class FreeTypeFonts final : public SystemFonts {
public:
    std::shared_ptr<SystemFontFace> Open(const SystemFontRequest& request) override;
};

} // namespace Platform
