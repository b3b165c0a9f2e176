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

// The objects whose hit tests are under way, innermost first.
struct VTLevelObject::HitChain {
    const VTLevelObject* object;
    const HitChain* outer;

    bool Holds(const VTLevelObject* candidate) const
    {
        for (const HitChain* link = this; link; link = link->outer) {
            if (link->object == candidate)
                return true;
        }
        return false;
    }
};

bool VTLevelObject::HitTest(int32_t x, int32_t y) const
{
    return HitTestWithin(x, y, nullptr);
}

bool VTLevelObject::HitTestWithin(int32_t x, int32_t y, const HitChain* outer) const
{
    if (!region.Contains(x, y))
        return false;
    const HitChain chain{this, outer};
    for (const VTLevelObject* hole : holes) {
        // Holes come from level data: an object that is its own hole, or a ring of holes, would
        // recurse for ever. A hole already under test further out cuts nothing.
        if (!hole || !hole->active || !hole->mouseEnabled || chain.Holds(hole))
            continue;
        if (hole->HitTestWithin(x, y, &chain))
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
