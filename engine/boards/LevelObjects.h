// The level objects of the running level: process-wide registries and the whole-set operations the
// game board calls (load, bind, activate, update, unload, delete). Objects are created by class
// name through the class registry, which is empty in this engine until a game registers a class.
// Used from the thread that runs the game board, one at a time; no lock.
#pragma once
#include "engine/boards/VTLevelObject.h"
#include "platform/XmlDocument.h"

#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Every level object, in creation order; owns them.
extern std::list<std::unique_ptr<VTLevelObject>> gLevelObjectList;
// The first object created under each name. Names are keys by their first 127 bytes (cut at a
// character boundary), the part of a name that the level file's reader keeps; every lookup below
// compares names that way.
extern std::map<std::string, VTLevelObject*, std::less<>> gLevelObjectMap;
// Objects the hover pass and the waypoint anchors walk, in name order. Filled by level-object
// classes; nothing in the engine itself inserts into it.
extern std::map<std::string, VTLevelObject*, std::less<>> gInteractiveObjects;

// A class that "objects/object" elements can name in their "class" attribute.
struct LevelObjectClass {
    std::string name;
    std::function<std::unique_ptr<VTLevelObject>()> create;
};
// The class registry: the first entry of a name wins.
extern std::vector<LevelObjectClass> gLevelObjectClasses;

// An object created under name is also stored in *global.
struct LevelObjectSlot {
    std::string name;
    VTLevelObject** global = nullptr;
};
extern std::vector<LevelObjectSlot> gLevelObjectSlots;

namespace LevelObjects {

// Creates, loads and registers an object for each "objects/object" element below root, in document
// order. An element whose "class" names no registered class is skipped.
void LoadAll(const Platform::XmlNode& root);
// Gives every object the first "object" element at any depth below root's "objects" whose "name"
// has the object's name as key (BindElement); an object without one gets SetInLevel(false) and is
// made inactive.
void BindAll(const Platform::XmlNode& root);
// SetActive(true) on every active object (objects not active are left alone).
void ActivateAll();
// SetActive(false) on every active object.
void DeactivateAll();
// Update on every active object.
void UpdateAll();
// OnLevelUnload on every active object.
void UnloadAll();
// Release, then delete, every object; empties gLevelObjectList and gLevelObjectMap and forgets the
// deleted objects wherever gInteractiveObjects or a slot still points at them.
void DeleteAll();
// The first object created under name's key, or null.
VTLevelObject* FindByName(std::string_view name);

} // namespace LevelObjects
