// Widget services for tests and the block font.
#include "support/FakeWidgetServices.h"

#include "framework/graphics/Graphics.h"

namespace TestSupport {

void BlockFont::DrawString(Fw::Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Fw::Color& color,
                           const Fw::Rect& /*clip*/)
{
    // Measuring draws into the 0 x 0 null image: that is no drawing.
    if (!g || !g->destImage || g->destImage->GetWidth() == 0)
        return;
    drawn.push_back({x, y, text, color});
    g->PushState();
    g->SetColor(color);
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] != L' ')
            g->FillRect(x + static_cast<int32_t>(i) * kAdvance + 1, y - ascent + 1, kAdvance - 2, ascent - 1);
    g->PopState();
}

FakeWidgetServices::FakeWidgetServices() : previous_(SetWidgetServices(this)) {}

FakeWidgetServices::~FakeWidgetServices() { SetWidgetServices(previous_); }

void FakeWidgetServices::AddImage(const std::string& name, int width, int height, uint32_t fill)
{
    images.Add(name, width, height, fill);
    catalogue.GetImage(name, true);
}

Fw::Font* FakeWidgetServices::GetFont(std::string_view name)
{
    auto it = fonts.find(std::string(name));
    return it == fonts.end() ? nullptr : it->second;
}

} // namespace TestSupport
