// One named set of waypoint graphs: the base graph from the level's document, the level graph from
// the level file, the anchor graph from the interactive level objects, and their combination (base
// first, then level, then anchors: the first point of a name wins). The game board keeps one set per
// name of gWaypointGraphSetNames, built at every level load and cleared at every unload.
#pragma once
#include "engine/boards/WaypointGraph.h"
#include "platform/XmlDocument.h"

#include <array>
#include <string>
#include <string_view>

// The names of the game board's graph sets.
inline constexpr std::array<std::string_view, 1> gWaypointGraphSetNames = {"boss"};

class WaypointGraphSet {
public:
    explicit WaypointGraphSet(std::string name) : name_(std::move(name)) {}

    // base = the last "graphs/graph" element below root whose "name" is this set's name; unchanged
    // when none is.
    void LoadBase(const Platform::XmlNode& root);
    // anchors = one point per interactive level object (in name order) with an anchor called
    // setName, named by the object's key.
    void BindAnchors(std::string_view setName);
    // level from the level element's "graphs/graph" as LoadBase does, then combined = base merged
    // with level, then with anchors.
    void LoadLevel(const Platform::XmlNode& level);
    // Loads target from graphElement when its "name" is this set's name.
    void MatchGraphElement(const Platform::XmlNode& graphElement, WaypointGraph& target) const;

    // Each clears combined, then the named graph.
    void ClearBase();
    void ClearLevel();
    void ClearAnchors();

    const std::string& Name() const { return name_; }
    const WaypointGraph& Base() const { return base_; }
    const WaypointGraph& Level() const { return level_; }
    const WaypointGraph& Combined() const { return combined_; }
    const WaypointGraph& Anchors() const { return anchors_; }

private:
    void LoadGraphs(const Platform::XmlNode& parent, WaypointGraph& target) const;

    std::string name_;
    WaypointGraph base_;
    WaypointGraph level_;
    WaypointGraph combined_;
    WaypointGraph anchors_;
};
