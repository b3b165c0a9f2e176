// Helpers of the level tests: a level-object class that records what is called on it, a fixture
// that leaves the process-wide level registries empty before and after each test, and XML parsing.
#pragma once
#include "engine/boards/EventQueue.h"
#include "engine/core/FrameSeconds.h"
#include "engine/boards/LevelClock.h"
#include "engine/effects/LevelEffect.h"
#include "engine/boards/LevelObjects.h"
#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace LevelTest {

// Every call on a RecordingObject appends "<name>:<call>" here.
inline std::vector<std::string>& CallLog()
{
    static std::vector<std::string> log;
    return log;
}

// Reads "name", "active" and "mouse" (flags) and "x", "y", "w", "h" (its region).
class RecordingObject : public VTLevelObject {
public:
    void Load(const Platform::XmlNode& element) override
    {
        XmlGetAttributeStdString(element, "name", name);
        XmlGetAttributeFlag(element, "active", active);
        XmlGetAttributeFlag(element, "mouse", mouseEnabled);
        int32_t x = 0, y = 0, w = 0, h = 0;
        XmlGetAttributeInt(element, "x", x);
        XmlGetAttributeInt(element, "y", y);
        XmlGetAttributeInt(element, "w", w);
        XmlGetAttributeInt(element, "h", h);
        region.Add(x, y, w, h);
        Log("Load");
    }
    void SetInLevel(bool inLevel) override { Log(inLevel ? "SetInLevel(1)" : "SetInLevel(0)"); }
    void SetActive(bool on) override { Log(on ? "SetActive(1)" : "SetActive(0)"); }
    void BindElement(const Platform::XmlNode& element) override { Log("Bind:" + element.Attribute("id").Text()); }
    void OnLevelUnload() override { Log("OnLevelUnload"); }
    void Release() override { Log("Release"); }
    void Update() override { Log("Update"); }
    void OnClick() override { Log("OnClick"); }

    void Log(const std::string& what) const { CallLog().push_back(name + ":" + what); }
};

class RecordingEffect : public LevelEffect {
public:
    explicit RecordingEffect(std::string name) : name_(std::move(name)) {}
    bool FireEvent(std::string_view event) override
    {
        CallLog().push_back(name_ + "<-" + std::string(event));
        return true;
    }

private:
    std::string name_;
};

inline void ResetLevelRegistries()
{
    LevelObjects::DeleteAll();
    gInteractiveObjects.clear();
    gLevelObjectClasses.clear();
    gLevelObjectSlots.clear();
    gSpareTimePoints.clear();
    LevelTimer::ResetAll();
    gFrameSeconds = 0.0f;
    CallLog().clear();
}

// Registries empty, the class "rec" registered.
class LevelFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetLevelRegistries();
        gLevelObjectClasses.push_back({"rec", [] { return std::make_unique<RecordingObject>(); }});
    }
    void TearDown() override { ResetLevelRegistries(); }
};

inline Platform::XmlDocument Parse(std::string_view xml)
{
    Platform::XmlDocument document = CreateXmlDocument();
    EXPECT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document)) << xml;
    return document;
}

// A random source that answers the scripted values in turn, then the lower end; counts its draws.
class ScriptedRandom {
public:
    explicit ScriptedRandom(std::deque<float> values = {}) : values_(std::move(values)) {}
    RandomSource Source()
    {
        return [this](float min, float) {
            ++draws;
            if (values_.empty())
                return min;
            const float value = values_.front();
            values_.pop_front();
            return value;
        };
    }
    void Push(float value) { values_.push_back(value); }
    int draws = 0;

private:
    std::deque<float> values_;
};

} // namespace LevelTest
