// Widget services for engine widget tests: a texture catalogue over images made in memory, fonts by
// name (a fixed-advance block font by default), the text and key tables, and a record of the sounds
// played. Installed for its lifetime.
#pragma once
#include "engine/core/Localization.h"
#include "engine/core/TextureCatalogue.h"
#include "engine/widgets/WidgetServices.h"
#include "framework/graphics/Font.h"
#include "support/FakeImageServices.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace TestSupport {

// Every character advances kAdvance pixels; a character other than a space is drawn as a filled
// block (kAdvance - 2) x (ascent - 1) whose top-left lies at (x + 1, baseline - ascent + 1), so
// drawn text shows where each character went. Records every DrawString into a real image
// (measuring draws into the empty null image and is not recorded).
class BlockFont : public Fw::Font {
public:
    static constexpr int32_t kAdvance = 8;
    BlockFont()
    {
        ascent = 8;
        height = 10;
    }
    int32_t StringWidth(const std::wstring& s) override { return static_cast<int32_t>(s.size()) * kAdvance; }
    int32_t CharWidthKern(wchar_t, wchar_t) override { return kAdvance; }
    void DrawString(Fw::Graphics* g, int32_t x, int32_t y, const std::wstring& text, const Fw::Color& color,
                    const Fw::Rect& clip) override;
    Fw::Font* Duplicate() override { return new BlockFont(*this); }

    struct Drawn {
        int32_t x, y;
        std::wstring text;
        Fw::Color color;
    };
    std::vector<Drawn> drawn;
};

class FakeWidgetServices : public VTWidgetServices {
public:
    FakeWidgetServices();
    ~FakeWidgetServices() override;
    FakeWidgetServices(const FakeWidgetServices&) = delete;
    FakeWidgetServices& operator=(const FakeWidgetServices&) = delete;

    // A width x height image of one colour, entered in the catalogue under name.
    void AddImage(const std::string& name, int width, int height, uint32_t fill);

    VTTextureCatalogue* GetTextureCatalogue() override { return &catalogue; }
    Fw::Font* GetFont(std::string_view name) override;
    std::wstring Localize(std::string_view key) override { return texts.GetText(key); }
    std::wstring ReadKey(std::string_view key) override { return keys.GetTextRef(key); }
    void PlaySound(std::string_view name) override
    {
        if (!name.empty())
            sounds.emplace_back(name);
    }

    FakeImageServices images;
    VTTextureCatalogue catalogue{images};
    BlockFont font;                      // the font "block"
    std::map<std::string, Fw::Font*> fonts{{"block", &font}};
    VTLocalization texts, keys;
    std::vector<std::string> sounds;

private:
    VTWidgetServices* previous_;
};

} // namespace TestSupport
