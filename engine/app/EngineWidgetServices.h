// The widget services of a running engine (VTWidgetServices over VTEngine): its texture catalogue,
// fonts, texts, key table and sound manager. The engine sets them in its constructor and removes
// them in its destructor.
#pragma once
#include "engine/widgets/WidgetServices.h"

class VTEngine;

class VTEngineWidgetServices final : public VTWidgetServices {
public:
    explicit VTEngineWidgetServices(VTEngine& engine) : engine_(engine) {}

    VTTextureCatalogue* GetTextureCatalogue() override;
    Fw::Font* GetFont(std::string_view name) override;
    std::wstring Localize(std::string_view key) override;
    std::wstring ReadKey(std::string_view key) override;
    void PlaySound(std::string_view name) override;

private:
    VTEngine& engine_;
};
