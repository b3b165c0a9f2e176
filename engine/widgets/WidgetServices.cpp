// The slots of the widget services, and the services used while there are none.
#include "engine/widgets/WidgetServices.h"

#include <atomic>

namespace {

// No engine: no catalogue, no fonts, empty texts, no sound.
class NoWidgetServices final : public VTWidgetServices {
public:
    VTTextureCatalogue* GetTextureCatalogue() override { return nullptr; }
    Fw::Font* GetFont(std::string_view) override { return nullptr; }
    std::wstring Localize(std::string_view) override { return {}; }
    std::wstring ReadKey(std::string_view) override { return {}; }
    void PlaySound(std::string_view) override {}
};

NoWidgetServices gNoServices;
std::atomic<VTWidgetServices*> gInstalled{nullptr};
std::atomic<VTWidgetServices*> gApp{nullptr};

} // namespace

VTWidgetServices& GetWidgetServices()
{
    if (VTWidgetServices* installed = gInstalled.load())
        return *installed;
    if (VTWidgetServices* app = gApp.load())
        return *app;
    return gNoServices;
}

VTWidgetServices* SetWidgetServices(VTWidgetServices* services) { return gInstalled.exchange(services); }

VTWidgetServices* SetAppWidgetServices(VTWidgetServices* services) { return gApp.exchange(services); }
