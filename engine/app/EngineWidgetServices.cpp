// The widget services of a running engine.
#include "engine/app/EngineWidgetServices.h"

#include "engine/app/Engine.h"
#include "engine/core/Localization.h"
#include "engine/core/SoundManager.h"

VTTextureCatalogue* VTEngineWidgetServices::GetTextureCatalogue() { return &engine_.GetTextureCatalogue(); }

Fw::Font* VTEngineWidgetServices::GetFont(std::string_view name) { return engine_.GetFont(name); }

std::wstring VTEngineWidgetServices::Localize(std::string_view key) { return engine_.GetTextTable().GetText(key); }

std::wstring VTEngineWidgetServices::ReadKey(std::string_view key) { return engine_.GetKeyTable().GetTextRef(key); }

void VTEngineWidgetServices::PlaySound(std::string_view name)
{
    if (!name.empty())
        engine_.GetSoundManager().PlaySound(name);
}
