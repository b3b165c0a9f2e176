// Level objects: creation from "objects/object", binding, whole-set operations, hit tests with
// holes, anchors, and the level clock's timers.
#include "LevelTestSupport.h"

#include <gtest/gtest.h>

using namespace LevelTest;
using Strings = std::vector<std::string>;

namespace {

class LevelObjectsTest : public LevelFixture {};

TEST_F(LevelObjectsTest, ObjectsOfOneNameAllUpdateAndTheFirstIsFound)
{
    const auto doc = Parse(R"(<root><objects>
        <object class="rec" name="a" id="1" active="1"/>
        <object class="nosuch" name="b"/>
        <object name="c"/>
        <object class="rec" name="a" id="2" active="1"/>
        <object class="rec" name="idle" active="0"/>
    </objects></root>)");
    LevelObjects::LoadAll(doc.SelectSingleNode("root"));

    // Unregistered or missing classes are skipped; both "a" are created and registered.
    ASSERT_EQ(gLevelObjectList.size(), 3u);
    EXPECT_EQ(gLevelObjectMap.size(), 2u);
    EXPECT_EQ(LevelObjects::FindByName("a"), gLevelObjectList.front().get());
    EXPECT_EQ(LevelObjects::FindByName("b"), nullptr);

    CallLog().clear();
    LevelObjects::UpdateAll();
    EXPECT_EQ(CallLog(), (Strings{"a:Update", "a:Update"}));

    CallLog().clear();
    LevelObjects::DeleteAll();
    EXPECT_EQ(CallLog(), (Strings{"a:Release", "a:Release", "idle:Release"}));
    EXPECT_TRUE(gLevelObjectList.empty());
    EXPECT_TRUE(gLevelObjectMap.empty());
}

TEST_F(LevelObjectsTest, ActivateAndDeactivateReachOnlyActiveObjects)
{
    const auto doc = Parse(R"(<root><objects>
        <object class="rec" name="on" active="1"/><object class="rec" name="off"/>
    </objects></root>)");
    LevelObjects::LoadAll(doc.SelectSingleNode("root"));
    CallLog().clear();
    LevelObjects::ActivateAll();
    LevelObjects::DeactivateAll();
    LevelObjects::UnloadAll();
    EXPECT_EQ(CallLog(), (Strings{"on:SetActive(1)", "on:SetActive(0)", "on:OnLevelUnload"}));
}

TEST_F(LevelObjectsTest, BindFindsElementsAtAnyDepthByExactName)
{
    // The binding element is the first of the name in document order, two levels down here; a name
    // with quotes in it binds as well.
    const auto doc = Parse(R"(<root><objects>
        <object class="rec" name="deep" id="created" active="1"/>
        <object class="rec" name="q&quot;'x" id="q1" active="1"/>
        <object class="rec" name="lost" active="1"/>
        <group><sub><object name="deep" id="nested"/></sub></group>
    </objects><object name="lost" id="outside"/></root>)");
    const Platform::XmlNode root = doc.SelectSingleNode("root");
    LevelObjects::LoadAll(root);
    // Rename the first "deep" element so that only the nested one matches, and the "lost" one so
    // that only an element outside "objects" carries its name.
    root.SelectSingleNode("objects/object").SetAttribute("name", "gone");
    root.SelectSingleNode("objects/object[@name='lost']").SetAttribute("name", "elsewhere");
    CallLog().clear();
    LevelObjects::BindAll(root);

    EXPECT_EQ(CallLog(), (Strings{"deep:Bind:nested", "q\"'x:Bind:q1", "lost:SetInLevel(0)"}));
    EXPECT_FALSE(LevelObjects::FindByName("lost")->active);
    EXPECT_TRUE(LevelObjects::FindByName("deep")->active);
}

TEST_F(LevelObjectsTest, EmptyOrMissingSectionsLeaveEverythingEmpty)
{
    for (const char* xml : {"<root/>", "<root><objects/></root>"}) {
        const auto doc = Parse(xml);
        LevelObjects::LoadAll(doc.SelectSingleNode("root"));
        LevelObjects::BindAll(doc.SelectSingleNode("root"));
        LevelObjects::ActivateAll();
        LevelObjects::UpdateAll();
        LevelObjects::UnloadAll();
        LevelObjects::DeleteAll();
        EXPECT_TRUE(gLevelObjectList.empty() && gLevelObjectMap.empty()) << xml;
        EXPECT_TRUE(CallLog().empty()) << xml;
    }
}

TEST_F(LevelObjectsTest, SlotsAndInteractiveEntriesForgetDeletedObjects)
{
    VTLevelObject* global = nullptr;
    gLevelObjectSlots.push_back({"hero", &global});
    const auto doc = Parse(R"(<root><objects><object class="rec" name="hero"/></objects></root>)");
    LevelObjects::LoadAll(doc.SelectSingleNode("root"));
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(global, LevelObjects::FindByName("hero"));
    gInteractiveObjects["hero"] = global;

    LevelObjects::DeleteAll();
    EXPECT_EQ(global, nullptr);
    EXPECT_TRUE(gInteractiveObjects.empty());
}

// Holes that lead back to an object already under test.
enum class Ring { None, Self, Mutual };

TEST_F(LevelObjectsTest, LongNamesAreFoundBoundAndMatchedByTheNameInTheFile)
{
    // Names are keyed by their first 127 bytes; classes, slots, binding and lookups all cut a
    // longer name the same way, so nothing named at length is lost.
    const std::string longName = "obj_" + std::string(296, 'n');
    const std::string longClass = "class_" + std::string(194, 'c');
    gLevelObjectClasses.push_back({longClass, [] { return std::make_unique<RecordingObject>(); }});
    VTLevelObject* global = nullptr;
    gLevelObjectSlots.push_back({longName, &global});
    const auto doc = Parse("<root><objects><object class=\"" + longClass + "\" name=\"" + longName +
                           "\" id=\"long\" active=\"1\"/><object class=\"rec\" name=\"short\" id=\"s\"/>"
                           "</objects></root>");
    const Platform::XmlNode root = doc.SelectSingleNode("root");
    LevelObjects::LoadAll(root);
    ASSERT_EQ(gLevelObjectList.size(), 2u) << "the class named at length is found";
    VTLevelObject* object = gLevelObjectList.front().get();
    EXPECT_EQ(object->name, longName);
    EXPECT_EQ(LevelObjects::FindByName(longName), object);
    EXPECT_EQ(LevelObjects::FindByName(longName.substr(0, 127)), object);
    EXPECT_EQ(LevelObjects::FindByName(longName.substr(0, 126)), nullptr);
    EXPECT_EQ(global, object) << "the slot named at length is filled";
    CallLog().clear();
    LevelObjects::BindAll(root);
    EXPECT_EQ(CallLog(), (Strings{longName + ":Bind:long", "short:Bind:s"}));
}

struct HitCase {
    const char* what;
    bool holeActive;
    bool holeMouse;
    bool innerHole; // the hole has an active, mouse-enabled hole of its own at (15, 15)
    int x, y;
    bool expected;
    Ring ring = Ring::None; // Self: the object is also its own hole; Mutual: the hole's hole is the object
};

TEST_F(LevelObjectsTest, HitTestCutsOutActiveMouseEnabledHoles)
{
    constexpr HitCase kCases[] = {
        {"inside, away from the hole", true, true, false, 2, 2, true},
        {"in an active mouse-enabled hole", true, true, false, 12, 12, false},
        {"in a hole without mouse", true, false, false, 12, 12, true},
        {"in an inactive hole", false, true, false, 12, 12, true},
        {"in the hole's own hole", true, true, true, 15, 15, true},
        {"in the hole next to its hole", true, true, true, 12, 12, false},
        {"outside the region", true, true, false, 40, 2, false},
        {"on the region's right edge", true, true, false, 30, 2, false},
        {"the object is its own hole: it does not cut", true, true, false, 2, 2, true, Ring::Self},
        {"its own hole beside a real one", true, true, false, 12, 12, false, Ring::Self},
        {"each other's hole: the inner test ends at the outer", true, true, false, 12, 12, false, Ring::Mutual},
        {"each other's hole, outside the hole", true, true, false, 2, 2, true, Ring::Mutual},
    };
    for (const HitCase& c : kCases) {
        RecordingObject object, hole, inner;
        object.region.Add(0, 0, 30, 30);
        object.active = object.mouseEnabled = true;
        if (c.ring == Ring::Self)
            object.holes.push_back(&object);
        if (c.ring == Ring::Mutual)
            hole.holes.push_back(&object);
        hole.region.Add(10, 10, 10, 10);
        hole.active = c.holeActive;
        hole.mouseEnabled = c.holeMouse;
        inner.region.Add(14, 14, 3, 3);
        inner.active = inner.mouseEnabled = true;
        object.holes.push_back(&hole);
        if (c.innerHole)
            hole.holes.push_back(&inner);
        EXPECT_EQ(object.HitTest(c.x, c.y), c.expected) << c.what;
    }
    RecordingObject noRegion;
    EXPECT_FALSE(noRegion.HitTest(0, 0));
}

TEST_F(LevelObjectsTest, EventsReachTheObjectEffectThenEachPartEffect)
{
    RecordingEffect own("own"), first("p1"), second("p2");
    RecordingObject object;
    object.effect = &own;
    object.parts = {{&first}, {nullptr}, {&second}};
    object.FireEvent("on_add");
    EXPECT_EQ(CallLog(), (Strings{"own<-on_add", "p1<-on_add", "p2<-on_add"}));
}

TEST_F(LevelObjectsTest, FindAnchorTakesTheFirstOfTheSetName)
{
    RecordingObject object;
    object.anchors = {{"boss", "left", 1, 2}, {"Boss", "up", 3, 4}, {"boss", "right", 5, 6}};
    int32_t x = -1, y = -1;
    std::string direction = "unset";
    EXPECT_FALSE(object.FindAnchor("bos", x, y, direction));
    EXPECT_EQ(x, -1);
    EXPECT_EQ(direction, "unset");
    ASSERT_TRUE(object.FindAnchor("boss", x, y, direction));
    EXPECT_EQ(x, 1);
    EXPECT_EQ(y, 2);
    EXPECT_EQ(direction, "left");
}

TEST_F(LevelObjectsTest, TimersExpireAtTheirEndAndResetStopsThemAll)
{
    LevelTimer timer, other;
    gLevelClock = 5.0f;
    timer.Start(2.0f);
    other.Start(10.0f);
    gFrameSeconds = 1.5f;
    LevelClock::Advance();
    EXPECT_TRUE(timer.IsRunning()) << "at 6.5";
    gFrameSeconds = 0.5f;
    LevelClock::Advance();
    EXPECT_FALSE(timer.IsRunning()) << "at 7.0 exactly";
    EXPECT_TRUE(other.IsRunning());

    LevelTimer::ResetAll();
    EXPECT_EQ(gLevelClock, 0.0f);
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_FALSE(other.IsRunning());
    EXPECT_EQ(gLevelTimers.size(), 2u);
    {
        LevelTimer scoped;
        EXPECT_EQ(gLevelTimers.size(), 3u);
    }
    EXPECT_EQ(gLevelTimers.size(), 2u);
}

} // namespace
