// A waypoint graph: named points with integer coordinates and a direction text, and undirected
// edges joining two points by name. Graphs read from a "graph" element are plain; a graph made by
// copying or by adding points is derived, and only a derived graph takes merges and added points.
#pragma once
#include "platform/XmlDocument.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct WaypointPoint {
    int32_t x = 0;
    int32_t y = 0;
    std::string name;
    std::string direction;
};

// p1 and p2 keep the order read; an edge a-b equals an edge b-a.
struct WaypointEdge {
    std::string p1;
    std::string p2;

    bool SameAs(const WaypointEdge& other) const
    {
        return (p1 == other.p1 && p2 == other.p2) || (p1 == other.p2 && p2 == other.p1);
    }
};

class WaypointGraph {
public:
    // Empties points and edges; the graph is no longer derived.
    void Clear();
    // Clears, then reads the "point" elements of the element's "points" and the "edge" elements of
    // its "edges", in document order; a missing "points" or "edges" is created empty in the
    // document. The first point of a name wins; edges are kept as read, duplicates included.
    bool Load(const Platform::XmlNode& graphElement);
    // This graph becomes a derived copy of other.
    void CopyFrom(const WaypointGraph& other);
    // Derived graphs only: adds other's points whose names are free, then other's edges that this
    // graph does not hold in either direction. Existing points never change.
    void Merge(const WaypointGraph& other);
    // Derived graphs only: points[name] = the point, replacing one of the same name.
    void AddPoint(int32_t x, int32_t y, const std::string& name, const std::string& direction);

    const std::map<std::string, WaypointPoint>& Points() const { return points_; }
    const std::vector<WaypointEdge>& Edges() const { return edges_; }
    bool IsDerived() const { return derived_; }
    // Only for building a derived graph from scratch (the anchor graph).
    void MarkDerived() { derived_ = true; }

private:
    void ReadPoint(const Platform::XmlNode& node);
    void ReadEdge(const Platform::XmlNode& node);

    std::map<std::string, WaypointPoint> points_; // in byte-wise name order
    std::vector<WaypointEdge> edges_;
    bool derived_ = false;
};
