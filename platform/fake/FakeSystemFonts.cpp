// Box-glyph test typefaces.
#include "platform/fake/FakeSystemFonts.h"

#include <algorithm>

namespace Platform {

namespace {

class FakeFace final : public SystemFontFace {
public:
    explicit FakeFace(const SystemFontRequest& r) : request(r) {}

    int32_t Ascent() override { return request.pixelHeight * 3 / 4; }
    int32_t Height() override { return request.pixelHeight; }
    int32_t Advance() const { return request.pixelHeight / 2 + (request.bold ? 1 : 0); }
    int32_t TextWidth(std::wstring_view text) override { return int32_t(text.size()) * Advance(); }

    void RenderCoverage(std::wstring_view text, int32_t x, int32_t y, uint8_t* cover, int32_t width,
                        int32_t height) override
    {
        auto plot = [&](int32_t px, int32_t py, uint8_t value) {
            if (px >= 0 && py >= 0 && px < width && py < height) {
                uint8_t& c = cover[size_t(py) * size_t(width) + size_t(px)];
                c = std::max(c, value);
            }
        };
        const int32_t baseline = y + Ascent();
        for (size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L' ')
                continue;
            const int32_t cell = x + int32_t(i) * Advance();
            for (int32_t row = baseline - request.pixelHeight / 2; row < baseline; ++row)
                for (int32_t col = 1; col < Advance() - 1; ++col)
                    plot(cell + col, row, col == Advance() - 2 ? 128 : 255);
        }
        if (request.underline)
            for (int32_t px = x; px < x + TextWidth(text); ++px)
                plot(px, baseline + 1, 255);
    }

private:
    SystemFontRequest request;
};

} // namespace

std::shared_ptr<SystemFontFace> FakeSystemFonts::Open(const SystemFontRequest& request)
{
    std::lock_guard lock(mutex);
    requests.push_back(request);
    return std::make_shared<FakeFace>(request);
}

std::vector<SystemFontRequest> FakeSystemFonts::Requests()
{
    std::lock_guard lock(mutex);
    return requests;
}

} // namespace Platform
