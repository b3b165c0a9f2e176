// Building a waypoint graph set from a level.
#include "engine/boards/WaypointGraphSet.h"

#include "engine/boards/LevelObjects.h"
#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"

namespace {

constexpr size_t kTextBuffer = 128;

} // namespace

void WaypointGraphSet::MatchGraphElement(const Platform::XmlNode& graphElement, WaypointGraph& target) const
{
    std::string name;
    XmlGetAttributeString(graphElement, "name", name, kTextBuffer);
    if (name == name_)
        target.Load(graphElement);
}

void WaypointGraphSet::LoadGraphs(const Platform::XmlNode& parent, WaypointGraph& target) const
{
    XmlForEachNode(parent, "graphs/graph", [&](const Platform::XmlNode& element) {
        MatchGraphElement(element, target);
        return true;
    });
}

void WaypointGraphSet::LoadBase(const Platform::XmlNode& root)
{
    LoadGraphs(root, base_);
}

void WaypointGraphSet::BindAnchors(std::string_view setName)
{
    anchors_.MarkDerived();
    for (const auto& [key, object] : gInteractiveObjects) {
        int32_t x = 0, y = 0;
        std::string direction;
        if (object && object->FindAnchor(setName, x, y, direction))
            anchors_.AddPoint(x, y, key, direction);
    }
}

void WaypointGraphSet::LoadLevel(const Platform::XmlNode& level)
{
    LoadGraphs(level, level_);
    combined_.CopyFrom(base_);
    combined_.Merge(level_);
    combined_.Merge(anchors_);
}

void WaypointGraphSet::ClearBase()
{
    combined_.Clear();
    base_.Clear();
}

void WaypointGraphSet::ClearLevel()
{
    combined_.Clear();
    level_.Clear();
}

void WaypointGraphSet::ClearAnchors()
{
    combined_.Clear();
    anchors_.Clear();
}
