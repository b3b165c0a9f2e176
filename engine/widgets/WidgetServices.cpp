// The engine object's widget services and the slot that replaces them.
#include "engine/widgets/WidgetServices.h"

#include "engine/core/Engine.h"
#include "engine/core/Localization.h"
#include "engine/core/SoundManager.h"

#include <atomic>

namespace {

class EngineWidgetServices : public VTWidgetServices {
public:
    VTTextureCatalogue* GetTextureCatalogue() override
    {
        VTEngine* engine = VTEngine::GetInstance();
        return engine ? &engine->GetTextureCatalogue() : nullptr;
    }
    Fw::Font* GetFont(std::string_view name) override
    {
        VTEngine* engine = VTEngine::GetInstance();
        return engine ? engine->GetFont(name) : nullptr;
    }
    std::wstring Localize(std::string_view key) override
    {
        VTEngine* engine = VTEngine::GetInstance();
        return engine ? engine->GetTextTable().GetText(key) : std::wstring();
    }
    std::wstring ReadKey(std::string_view key) override
    {
        VTEngine* engine = VTEngine::GetInstance();
        return engine ? engine->GetKeyTable().GetTextRef(key) : std::wstring();
    }
    void PlaySound(std::string_view name) override
    {
        if (name.empty())
            return;
        if (VTEngine* engine = VTEngine::GetInstance())
            engine->GetSoundManager().PlaySound(name);
    }
};

EngineWidgetServices gEngineServices;
std::atomic<VTWidgetServices*> gInstalled{nullptr};

} // namespace

VTWidgetServices& GetWidgetServices()
{
    VTWidgetServices* installed = gInstalled.load();
    return installed ? *installed : gEngineServices;
}

VTWidgetServices* SetWidgetServices(VTWidgetServices* services) { return gInstalled.exchange(services); }
