// Test typefaces: every request opens a face of fixed box glyphs, so system-font code can be tested
// pixel by pixel without installed fonts. Metrics for pixel height p: ascent p * 3 / 4, height p;
// each character advances p / 2 (one more when bold). A glyph covers the columns [1, advance - 1)
// of its cell, full (255) except its last covered column (128), from row ascent - p / 2 down to the
// baseline; a space covers nothing. Underline: a full row one pixel below the baseline. Records the
// requests.
#pragma once
#include "platform/ServiceSlot.h"
#include "platform/SystemFonts.h"

#include <mutex>
#include <vector>

namespace Platform {

class FakeSystemFonts final : public SystemFonts {
public:
    std::shared_ptr<SystemFontFace> Open(const SystemFontRequest& request) override;

    std::vector<SystemFontRequest> Requests();

private:
    std::mutex mutex;
    std::vector<SystemFontRequest> requests;
};

using ScopedSystemFonts = ScopedService<SystemFonts, &SetSystemFonts>;

} // namespace Platform
