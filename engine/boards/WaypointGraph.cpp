// Waypoint graphs: reading, copying and merging.
#include "engine/boards/WaypointGraph.h"

#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"

#include <algorithm>

namespace {

constexpr size_t kTextBuffer = 128;

// The child element name of element, made empty when it is missing.
Platform::XmlNode ChildOrNew(const Platform::XmlNode& element, std::string_view name)
{
    Platform::XmlNode child = element.SelectSingleNode(name);
    return child ? child : XmlInsertNewElement(element, name);
}

} // namespace

void WaypointGraph::Clear()
{
    points_.clear();
    edges_.clear();
    derived_ = false;
}

bool WaypointGraph::Load(const Platform::XmlNode& graphElement)
{
    Clear();
    const Platform::XmlNode points = ChildOrNew(graphElement, "points");
    XmlForEachNode(points, "point", [this](const Platform::XmlNode& node) {
        ReadPoint(node);
        return true;
    });
    const Platform::XmlNode edges = ChildOrNew(graphElement, "edges");
    return XmlForEachNode(edges, "edge", [this](const Platform::XmlNode& node) {
        ReadEdge(node);
        return true;
    });
}

void WaypointGraph::ReadPoint(const Platform::XmlNode& node)
{
    WaypointPoint point;
    XmlGetAttributeString(node, "name", point.name, kTextBuffer);
    XmlGetAttributeString(node, "direction", point.direction, kTextBuffer);
    XmlGetAttributeInt(node, "x", point.x);
    XmlGetAttributeInt(node, "y", point.y);
    const std::string key = point.name;
    points_.emplace(key, std::move(point));
}

void WaypointGraph::ReadEdge(const Platform::XmlNode& node)
{
    WaypointEdge edge;
    XmlGetAttributeString(node, "p1", edge.p1, kTextBuffer);
    XmlGetAttributeString(node, "p2", edge.p2, kTextBuffer);
    edges_.push_back(std::move(edge));
}

void WaypointGraph::CopyFrom(const WaypointGraph& other)
{
    points_ = other.points_;
    edges_ = other.edges_;
    derived_ = true;
}

void WaypointGraph::Merge(const WaypointGraph& other)
{
    if (!derived_ || &other == this)
        return;
    for (const auto& [name, point] : other.points_)
        points_.emplace(name, point);
    for (const WaypointEdge& edge : other.edges_) {
        const bool known = std::any_of(edges_.begin(), edges_.end(),
                                       [&edge](const WaypointEdge& mine) { return mine.SameAs(edge); });
        if (!known)
            edges_.push_back(edge);
    }
}

void WaypointGraph::AddPoint(int32_t x, int32_t y, const std::string& name, const std::string& direction)
{
    if (!derived_)
        return;
    points_[name] = WaypointPoint{x, y, name, direction};
}
