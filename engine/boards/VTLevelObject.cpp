// The level-object interface's own operations.
#include "engine/boards/VTLevelObject.h"

#include "engine/effects/LevelEffect.h"

void VTLevelObject::SetInLevel(bool) {}
void VTLevelObject::SetActive(bool) {}
void VTLevelObject::OnMouseOver(int32_t, int32_t, bool) {}
void VTLevelObject::BindElement(const Platform::XmlNode&) {}
void VTLevelObject::OnLevelUnload() {}
void VTLevelObject::Load(const Platform::XmlNode&) {}
void VTLevelObject::Release() {}
void VTLevelObject::Update() {}
void VTLevelObject::OnClick() {}
bool VTLevelObject::TakeHover(bool)
{
    return false;
}

void VTLevelObject::FireEvent(std::string_view eventName)
{
    if (effect)
        effect->FireEvent(eventName);
    for (const LevelObjectPart& part : parts) {
        if (part.effect)
            part.effect->FireEvent(eventName);
    }
}

bool VTLevelObject::HitTest(int32_t x, int32_t y) const
{
    if (!region.Contains(x, y))
        return false;
    for (const VTLevelObject* hole : holes) {
        if (hole && hole->active && hole->mouseEnabled && hole->HitTest(x, y))
            return false;
    }
    return true;
}

bool VTLevelObject::FindAnchor(std::string_view setName, int32_t& x, int32_t& y, std::string& direction) const
{
    for (const ObjectAnchor& anchor : anchors) {
        if (anchor.name == setName) {
            x = anchor.x;
            y = anchor.y;
            direction = anchor.direction;
            return true;
        }
    }
    return false;
}
