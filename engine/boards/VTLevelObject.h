// The interface of the things of a level that the game board creates from the level's document,
// updates, activates stage by stage, hit-tests under the mouse and lets the player click. Each
// level-object class derives from VTLevelObject and fills the fields below in its Load; the
// whole-set operations and registries are in LevelObjects.h.
#pragma once
#include "engine/boards/RectRegion.h"
#include "platform/XmlDocument.h"

#include <cstdint>
#include <list>
#include <string>
#include <string_view>
#include <vector>

class LevelEffect;

// A part of a level object that may carry an effect (not owned).
struct LevelObjectPart {
    LevelEffect* effect = nullptr;
};

// A named point of a level object for the waypoint-graph set called name.
struct ObjectAnchor {
    std::string name;
    std::string direction;
    int32_t x = 0;
    int32_t y = 0;
};

class VTLevelObject {
public:
    VTLevelObject() = default;
    virtual ~VTLevelObject() = default;
    VTLevelObject(const VTLevelObject&) = delete;
    VTLevelObject& operator=(const VTLevelObject&) = delete;

    // Level hooks; every default does nothing.
    // Called with false when the object's element is not found again after the load.
    virtual void SetInLevel(bool inLevel);
    virtual void SetActive(bool active);
    virtual void OnMouseOver(int32_t x, int32_t y, bool inside);
    // The object's element, found again by name after every object has been created.
    virtual void BindElement(const Platform::XmlNode& element);
    virtual void OnLevelUnload();
    // Reads the object from its "object" element, right after creation; sets name.
    virtual void Load(const Platform::XmlNode& element);
    // Lets go of what the object holds, just before it is deleted.
    virtual void Release();
    virtual void Update();
    virtual void OnClick();
    // Whether the object claims the hover; later objects of the same pass are not asked.
    virtual bool TakeHover(bool inside);

    // Fires name at the object's effect, then at each part's effect, in list order.
    void FireEvent(std::string_view name);
    // True when the point lies in region and in no active, mouse-enabled hole (holes nest: a
    // hole's own holes cut back into it). A hole whose test is already under way further out (the
    // object itself, or a ring of holes) does not cut, so every test ends.
    bool HitTest(int32_t x, int32_t y) const;
    // The first anchor called setName; false, outputs untouched, when there is none.
    bool FindAnchor(std::string_view setName, int32_t& x, int32_t& y, std::string& direction) const;

private:
    struct HitChain;
    bool HitTestWithin(int32_t x, int32_t y, const HitChain* outer) const;

public:
    std::string name;
    bool mouseEnabled = false;
    bool active = false;
    std::list<LevelObjectPart> parts;
    LevelEffect* effect = nullptr; // not owned
    std::vector<VTLevelObject*> holes; // not owned
    std::list<ObjectAnchor> anchors;
    RectRegion region; // clickable area in board coordinates
};
