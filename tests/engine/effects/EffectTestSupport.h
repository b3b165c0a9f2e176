// Helpers of the effect tests: a control function that records what it receives, XML parsing of
// small definitions and catalogues, and a target that records the seven effect setters.
#pragma once
#include "engine/core/XmlAccess.h"
#include "engine/effects/EffectCatalogue.h"
#include "engine/effects/EffectState.h"
#include "engine/effects/IEffect.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace EffectTest {

struct Call {
    int32_t id;
    float value;
    bool operator==(const Call&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Call& call)
{
    return out << "(" << call.id << ", " << call.value << ")";
}

inline std::vector<Call>& Calls()
{
    static std::vector<Call> calls;
    return calls;
}

// A control-form function that records (id, value).
inline int32_t RecordCall(void* argument)
{
    const auto* state = static_cast<VTEffectState*>(argument);
    Calls().push_back({state->id, state->value});
    return 1;
}

// The document element of text; fails the test when it does not parse.
inline Platform::XmlNode ParseElement(std::string_view text)
{
    Platform::XmlDocument document = CreateXmlDocument();
    EXPECT_TRUE(LoadXmlBytes(text.data(), text.size(), document)) << text;
    return document.DocumentElement(); // the node keeps the document alive
}

// Installs text as the effect catalogue; false (nothing installed) when it does not parse.
inline bool InstallCatalogue(std::string_view text)
{
    Platform::XmlDocument document = CreateXmlDocument();
    if (!LoadXmlBytes(text.data(), text.size(), document))
        return false;
    SetEffectCatalogue(std::move(document));
    return true;
}

// Records every setter as text ("alpha 0.5", "visible 1", ...).
class RecordingTarget : public VTIEffect {
public:
    void SetAlpha(float a) override { Log("alpha " + Number(a)); alpha = a; }
    void SetScale(float s) override { Log("scale " + Number(s)); scale = s; }
    void SetVisible(bool v) override { Log(std::string("visible ") + (v ? "1" : "0")); visible = v; }
    void SetScalePointX(int32_t x) override { Log("spx " + std::to_string(x)); }
    void SetScalePointY(int32_t y) override { Log("spy " + std::to_string(y)); }
    void SetOffsetX(int32_t x) override { Log("ox " + std::to_string(x)); offsetX = x; }
    void SetOffsetY(int32_t y) override { Log("oy " + std::to_string(y)); offsetY = y; }

    std::vector<std::string> log;
    float alpha = -1.0f;
    float scale = -1.0f;
    bool visible = false;
    int32_t offsetX = -12345;
    int32_t offsetY = -12345;

private:
    static std::string Number(float v)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%g", static_cast<double>(v));
        return text;
    }
    void Log(std::string line) { log.push_back(std::move(line)); }
};

} // namespace EffectTest
