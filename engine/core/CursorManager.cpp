// The cursor manager: the cursor table of "cfg\ui.xml", mode selection through the application's
// cursor numbers, and drawing the current cursor image.
#include "engine/core/CursorManager.h"

#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

namespace {

// Room of the original's name buffers, terminator included.
constexpr size_t kNameBuffer = 128;

} // namespace

VTCursorManager::VTCursorManager(VTCursorHost& host, VTTextureCatalogue* catalogue)
    : host_(host), catalogue_(catalogue)
{
}

VTCursorManager::~VTCursorManager()
{
    Reset();
}

bool VTCursorManager::LoadFromXml(const Platform::XmlNode& node)
{
    if (catalogue_)
        XmlForEachNode(node, "cursors",
                       [this](const Platform::XmlNode& element) { return ReadCursorNode(element); });
    return true;
}

bool VTCursorManager::ReadCursorNode(const Platform::XmlNode& element)
{
    std::string mode, image;
    if (!catalogue_ || !XmlGetAttributeString(element, "mode", mode, kNameBuffer) ||
        !XmlGetAttributeString(element, "image", image, kNameBuffer))
        return true;
    VTImageRef handle = catalogue_->GetImage(image, false);
    if (!handle.Descriptor())
        return true;
    auto [it, added] = cursors_.try_emplace(mode);
    if (added) {
        VTCursorRecord& record = it->second;
        record.image = std::move(handle);
        record.image.Load();
        XmlGetAttributeInt(element, "hot_spot_x", record.hotSpotX);
        XmlGetAttributeInt(element, "hot_spot_y", record.hotSpotY);
    }
    return true;
}

void VTCursorManager::Apply(int32_t cursorNumber, bool custom)
{
    host_.SetCustomCursorsEnabled(custom);
    host_.SelectCursorNumber(cursorNumber);
    // The manager draws the custom image itself; the framework draws none for that slot.
    host_.SetCursorSlotImage(VTCursorHost::kCustomCursor, nullptr);
}

void VTCursorManager::SetCursor(std::string_view mode)
{
    if (mode == "none") {
        current_ = nullptr;
        Apply(VTCursorHost::kHiddenCursor, false);
        return;
    }
    auto it = cursors_.find(mode);
    if (it == cursors_.end()) {
        current_ = nullptr;
        Apply(VTCursorHost::kStandardCursor, false);
        return;
    }
    if (!it->second.image.Descriptor())
        return;
    current_ = &it->second;
    Apply(VTCursorHost::kCustomCursor, true);
}

void VTCursorManager::Draw(Fw::Graphics& g)
{
    VTCursorRecord* cursor = current_.load(); // one read: a script may swap it meanwhile
    if (!drawingEnabled_ || !cursor || !cursor->image.Descriptor())
        return;
    int32_t x = 0, y = 0;
    host_.GetLastMousePosition(x, y);
    g.DrawImage(cursor->image.GetImage(), x - cursor->hotSpotX, y - cursor->hotSpotY);
}

void VTCursorManager::Reset()
{
    current_ = nullptr;
    Apply(VTCursorHost::kStandardCursor, false);
    for (auto& [mode, record] : cursors_)
        record.image.Release();
}
