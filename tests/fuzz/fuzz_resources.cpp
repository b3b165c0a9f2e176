// The resource list: tokenizer and parser over "resources.xml", then every group it names loaded
// and unloaded. A small "img.png" and an in-memory "glyphs.png" are at hand for the entries to
// find. A refused list comes with its error text.
#include "FuzzSupport.h"

#include "framework/assets/ResourceManager.h"

#include "support/FontFixtures.h"

#include <set>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static TestSupport::TestImageSource images;
    static const bool ready = [] {
        images.Add("glyphs.png", 32, 12);
        const std::vector<uint8_t> png = TestSupport::PngBytes(2, 2, {0xFF0000FF, 0x80FF0000, 0, 0xFFFFFFFF});
        FuzzSupport::WriteInput("img.png", png.data(), png.size());
        return true;
    }();
    (void)ready;
    const std::string name = FuzzSupport::WriteInput("resources.xml", data, size);
    TestSupport::PopupCapture popups;
    Fw::ResourceManager rm(&images, nullptr);
    if (!rm.ParseResourcesFile(name)) {
        FuzzSupport::Check(rm.HadError() && !rm.GetErrorText().empty(), "a refused list has its error text");
        return 0;
    }
    std::set<std::string> groups;
    for (const auto* table : {&rm.Images(), &rm.Fonts()})
        for (const auto& [id, record] : *table)
            groups.insert(record->group);
    for (const std::string& group : groups) {
        rm.LoadResources(group);
        rm.UnloadResources(group);
        FuzzSupport::Check(!rm.IsGroupLoaded(group), "an unloaded group is gone");
    }
    return 0;
}
