// The texture catalogue: reading "cfg\ui.xml" with its file existence test, and lookups by name.
#include "engine/core/TextureCatalogue.h"

#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"
#include "framework/core/PakFile.h"

namespace {

// Room of the original's name buffers (MAX_PATH), terminator included.
constexpr size_t kNameBuffer = 260;

bool FileOpens(const std::string& name)
{
    PakFile* file = PakFOpen(name.c_str(), "r");
    if (!file)
        return false;
    PakFClose(file);
    return true;
}

} // namespace

VTTextureCatalogue::VTTextureCatalogue(VTImageServices& services)
    : services_(services), ownerThread_(std::this_thread::get_id())
{
}

VTTextureCatalogue::~VTTextureCatalogue() = default;

void VTTextureCatalogue::LoadFromXml(const Platform::XmlNode& node)
{
    XmlForEachNode(node, "texture", [this](const Platform::XmlNode& element) {
        std::string id, file;
        XmlGetAttributeString(element, "id", id, kNameBuffer);
        XmlGetAttributeString(element, "file", file, kNameBuffer);
        bool found = FileOpens(file);
        // Artwork shipped as JPEG keeps its ".png" name in the skin files.
        if (!found && file.size() > 4 && file.compare(file.size() - 4, 4, ".png") == 0) {
            file.replace(file.size() - 4, 4, ".jpg");
            found = FileOpens(file);
        }
        if (found) {
            std::lock_guard lock(mutex_);
            entries_.try_emplace(id, file, &services_, ownerThread_);
        }
        return true;
    });
}

VTImageRef VTTextureCatalogue::GetImage(std::string_view name, bool create)
{
    std::lock_guard lock(mutex_);
    auto it = entries_.find(name);
    if (it == entries_.end()) {
        if (!create)
            return VTImageRef();
        it = entries_.try_emplace(std::string(name), std::string(name), &services_, ownerThread_).first;
    }
    return VTImageRef(&it->second);
}

size_t VTTextureCatalogue::Size() const
{
    std::lock_guard lock(mutex_);
    return entries_.size();
}
