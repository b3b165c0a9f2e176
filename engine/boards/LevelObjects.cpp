// Level-object registries and whole-set operations.
#include "engine/boards/LevelObjects.h"

#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"

#include <unordered_map>

std::list<std::unique_ptr<VTLevelObject>> gLevelObjectList;
std::map<std::string, VTLevelObject*, std::less<>> gLevelObjectMap;
std::map<std::string, VTLevelObject*, std::less<>> gInteractiveObjects;
std::vector<LevelObjectClass> gLevelObjectClasses;
std::vector<LevelObjectSlot> gLevelObjectSlots;

namespace {

// "class" and "name" are read through 128-byte buffers: at most 127 bytes each. Every name held
// elsewhere (class and slot names, the objects' own names, names looked up) is cut the same way
// before it is compared with one read from a file, so each object is found by the name its file
// gives it, however long.
constexpr size_t kNameBuffer = 128;

std::string_view NameKey(std::string_view name)
{
    return XmlCutToBuffer(name, kNameBuffer);
}

const LevelObjectClass* FindClass(std::string_view name)
{
    for (const LevelObjectClass& entry : gLevelObjectClasses) {
        if (NameKey(entry.name) == name && entry.create)
            return &entry;
    }
    return nullptr;
}

// Calls what on every object that is active when it is reached.
template <class Action>
void ForEachActive(Action what)
{
    for (const std::unique_ptr<VTLevelObject>& object : gLevelObjectList) {
        if (object->active)
            what(*object);
    }
}

} // namespace

namespace LevelObjects {

void LoadAll(const Platform::XmlNode& root)
{
    XmlForEachNode(root, "objects/object", [](const Platform::XmlNode& element) {
        std::string className, name;
        XmlGetAttributeString(element, "class", className, kNameBuffer);
        XmlGetAttributeString(element, "name", name, kNameBuffer);
        const LevelObjectClass* type = FindClass(className);
        if (!type)
            return true;
        std::unique_ptr<VTLevelObject> object = type->create();
        if (!object)
            return true;
        for (const LevelObjectSlot& slot : gLevelObjectSlots) {
            if (NameKey(slot.name) == name) {
                if (slot.global)
                    *slot.global = object.get();
                break;
            }
        }
        object->Load(element);
        gLevelObjectMap.emplace(name, object.get());
        gLevelObjectList.push_back(std::move(object));
        return true;
    });
}

void BindAll(const Platform::XmlNode& root)
{
    // Names are compared here rather than pasted into a query, so any name is safe; the first
    // element of a name in document order is the one found.
    std::unordered_map<std::string, Platform::XmlNode> elements;
    XmlForEachNode(root, "objects//object", [&elements](const Platform::XmlNode& element) {
        std::string name;
        if (XmlGetAttributeString(element, "name", name, kNameBuffer))
            elements.emplace(std::move(name), element);
        return true;
    });
    for (const std::unique_ptr<VTLevelObject>& object : gLevelObjectList) {
        const auto found = elements.find(std::string(NameKey(object->name)));
        if (found != elements.end()) {
            object->BindElement(found->second);
        } else {
            object->SetInLevel(false);
            object->active = false;
        }
    }
}

void ActivateAll()
{
    ForEachActive([](VTLevelObject& object) { object.SetActive(true); });
}

void DeactivateAll()
{
    ForEachActive([](VTLevelObject& object) { object.SetActive(false); });
}

void UpdateAll()
{
    ForEachActive([](VTLevelObject& object) { object.Update(); });
}

void UnloadAll()
{
    ForEachActive([](VTLevelObject& object) { object.OnLevelUnload(); });
}

void DeleteAll()
{
    for (const std::unique_ptr<VTLevelObject>& object : gLevelObjectList) {
        object->Release();
        for (auto it = gInteractiveObjects.begin(); it != gInteractiveObjects.end();) {
            it = it->second == object.get() ? gInteractiveObjects.erase(it) : std::next(it);
        }
        for (const LevelObjectSlot& slot : gLevelObjectSlots) {
            if (slot.global && *slot.global == object.get())
                *slot.global = nullptr;
        }
    }
    gLevelObjectMap.clear();
    gLevelObjectList.clear();
}

VTLevelObject* FindByName(std::string_view name)
{
    const auto found = gLevelObjectMap.find(NameKey(name));
    return found != gLevelObjectMap.end() ? found->second : nullptr;
}

} // namespace LevelObjects
