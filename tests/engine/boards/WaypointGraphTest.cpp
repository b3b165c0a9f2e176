// Waypoint graphs: reading, merging and building the "boss" set from a document, a level and the
// anchors of interactive level objects.
#include "engine/boards/WaypointGraphSet.h"

#include "LevelTestSupport.h"

#include <gtest/gtest.h>

using namespace LevelTest;

namespace {

class WaypointGraphTest : public LevelFixture {};

std::string Describe(const WaypointGraph& graph)
{
    std::string text;
    for (const auto& [name, p] : graph.Points())
        text += name + "(" + std::to_string(p.x) + "," + std::to_string(p.y) + "," + p.direction + ") ";
    for (const WaypointEdge& e : graph.Edges())
        text += e.p1 + "-" + e.p2 + " ";
    return text;
}

TEST_F(WaypointGraphTest, BuildingASet)
{
    struct Case {
        const char* what;
        const char* root;  // inside <root>
        const char* level; // inside <level>
        const char* combined;
    };
    const Case kCases[] = {
        {"an edge equals its reverse across base and level",
         R"(<graph name="boss"><points><point name="a"/><point name="b"/></points>
            <edges><edge p1="a" p2="b"/></edges></graph>)",
         R"(<graph name="boss"><edges><edge p1="b" p2="a"/><edge p1="b" p2="c"/></edges></graph>)",
         "a(0,0,) b(0,0,) a-b b-c "},
        {"the base point wins over a level point of its name",
         R"(<graph name="boss"><points><point name="a" x="1" y="2" direction="up"/></points></graph>)",
         R"(<graph name="boss"><points><point name="a" x="9" y="9"/><point name="z" x="5" y="-6"/></points></graph>)",
         "a(1,2,up) z(5,-6,) "},
        {"the first point of a name wins within a graph; duplicate edges merge once",
         "",
         R"(<graph name="boss"><points><point name="a" x="1"/><point name="a" x="2"/></points>
            <edges><edge p1="a" p2="b"/><edge p1="a" p2="b"/></edges></graph>)",
         "a(1,0,) a-b "},
        {"the last boss graph is the base; other names are ignored",
         R"(<graph name="boss"><points><point name="first"/></points></graph>
            <graph name="other"><points><point name="other"/></points></graph>
            <graph name="boss"><points><point name="last"/></points></graph>)",
         "",
         "last(0,0,) "},
    };
    for (const Case& c : kCases) {
        const auto rootDoc = Parse(std::string("<root><graphs>") + c.root + "</graphs></root>");
        const auto levelDoc = Parse(std::string("<level><graphs>") + c.level + "</graphs></level>");
        WaypointGraphSet set("boss");
        set.LoadBase(rootDoc.SelectSingleNode("root"));
        set.BindAnchors("boss");
        set.LoadLevel(levelDoc.SelectSingleNode("level"));
        EXPECT_EQ(Describe(set.Combined()), c.combined) << c.what;

        set.ClearBase();
        set.ClearLevel();
        set.ClearAnchors();
        EXPECT_EQ(Describe(set.Combined()) + Describe(set.Base()) + Describe(set.Level()), "") << c.what;
        EXPECT_FALSE(set.Combined().IsDerived() || set.Anchors().IsDerived()) << c.what;
    }
}

TEST_F(WaypointGraphTest, DuplicateEdgesStayInTheGraphTheyWereReadInto)
{
    const auto doc = Parse(R"(<graph><edges><edge p1="a" p2="b"/><edge p1="a" p2="b"/></edges></graph>)");
    WaypointGraph graph;
    EXPECT_TRUE(graph.Load(doc.SelectSingleNode("graph")));
    EXPECT_EQ(Describe(graph), "a-b a-b ");
}

TEST_F(WaypointGraphTest, MissingPointsAndEdgesAreCreatedInTheDocument)
{
    const auto doc = Parse(R"(<graph name="boss"/>)");
    const Platform::XmlNode element = doc.SelectSingleNode("graph");
    WaypointGraph graph;
    graph.Load(element);
    EXPECT_TRUE(graph.Points().empty());
    EXPECT_TRUE(element.SelectSingleNode("points"));
    EXPECT_TRUE(element.SelectSingleNode("edges"));
}

TEST_F(WaypointGraphTest, OnlyDerivedGraphsTakeMergesAndPoints)
{
    const auto doc = Parse(R"(<graph><points><point name="a"/></points></graph>)");
    WaypointGraph read, other;
    read.Load(doc.SelectSingleNode("graph"));
    other.CopyFrom(read);
    other.AddPoint(3, 4, "b", "down");
    other.AddPoint(5, 6, "b", "up"); // replaces
    EXPECT_EQ(Describe(other), "a(0,0,) b(5,6,up) ");

    read.Merge(other);
    read.AddPoint(1, 1, "c", "");
    EXPECT_EQ(Describe(read), "a(0,0,) ");
}

TEST_F(WaypointGraphTest, AnchorsComeFromInteractiveObjectsBelowLevelPoints)
{
    RecordingObject gate, door, plain;
    gate.anchors = {{"boss", "left", 10, 20}};
    door.anchors = {{"other", "up", 1, 1}};
    gInteractiveObjects = {{"gate", &gate}, {"door", &door}, {"lvl", &plain}};
    plain.anchors = {{"boss", "right", 7, 7}};

    const auto root = Parse("<root/>");
    const auto level = Parse(R"(<level><graphs><graph name="boss"><points>
        <point name="lvl" x="1" y="1"/></points></graph></graphs></level>)");
    WaypointGraphSet set("boss");
    set.LoadBase(root.SelectSingleNode("root"));
    set.BindAnchors("boss");
    set.LoadLevel(level.SelectSingleNode("level"));
    EXPECT_EQ(Describe(set.Anchors()), "gate(10,20,left) lvl(7,7,right) ");
    EXPECT_EQ(Describe(set.Combined()), "gate(10,20,left) lvl(1,1,) ");
    gInteractiveObjects.clear();
}

} // namespace
