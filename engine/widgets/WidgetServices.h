// What engine widgets built from skins ask of the engine: the texture catalogue their textures load
// from, fonts by name, the localised texts labels are keys of, the run-time key table texts
// substitute, and the sound manager. The engine's application object provides them while it lives
// (SetAppWidgetServices); tests install their own. Widgets call it on the thread that builds or
// updates them.
#pragma once
#include <string>
#include <string_view>

class VTTextureCatalogue;
namespace Fw {
class Font;
}

class VTWidgetServices {
public:
    virtual ~VTWidgetServices() = default;

    // The catalogue textures of skins load from; null when there is none (textures stay empty).
    virtual VTTextureCatalogue* GetTextureCatalogue() = 0;
    // The font catalogue's font of that name, or null.
    virtual Fw::Font* GetFont(std::string_view name) = 0;
    // The localised text of key, or the empty text.
    virtual std::wstring Localize(std::string_view key) = 0;
    // The key table's value of key; a missing key is added with the empty value. The table is locked
    // for the read, since scripts write it from other threads.
    virtual std::wstring ReadKey(std::string_view key) = 0;
    // Plays the named sound once; an empty or unknown name, or no sound system, plays nothing.
    virtual void PlaySound(std::string_view name) = 0;
};

// The installed services, else the application's, else services that answer null and empty.
VTWidgetServices& GetWidgetServices();
// Installs services (null goes back to the application's); returns the previously installed ones.
VTWidgetServices* SetWidgetServices(VTWidgetServices* services);
// The application's services (the engine object's), used when none are installed; null removes
// them. Returns the ones set before.
VTWidgetServices* SetAppWidgetServices(VTWidgetServices* services);
