// VTDebugSettings: loading the debug flags, the frame graphs and the interpreter output sink.
#include "engine/core/DebugSettings.h"

#include "engine/core/DebugLog.h"
#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"
#include "framework/graphics/Graphics.h"
#include "platform/DebugOutput.h"

#include <cmath>

namespace {

VTDebugSettings gRecord;

std::mutex gHookLock;
std::string& HookLineBuffer()
{
    static std::string buffer;
    return buffer;
}

} // namespace

// Constant-initialised to the record's address, so code running during static initialisation
// finds it too (its fields are then still zero: the defaults of every flag).
VTDebugSettings* gDebugSettings = &gRecord;

VTDebugSettings::VTDebugSettings()
{
    if (this == &gRecord)
        gDebugSettings = this;
}

VTDebugSettings::~VTDebugSettings()
{
    if (gDebugSettings == this)
        gDebugSettings = nullptr;
}

void VTDebugSettings::Load(const std::string& path)
{
    if (!debugMode)
        return;
    std::optional<Platform::XmlDocument> document = OpenXmlFile(path);
    if (!document)
        return;
    Platform::XmlNode flags = document->SelectSingleNode("usersettings/debugflags");
    if (!flags)
        return;
    XmlGetAttributeFlag(flags, "ShowMouseOwner", showMouseOwner);
    XmlGetAttributeFlag(flags, "ShowFrames", showFrames);
    XmlGetAttributeFlag(flags, "ShowFramesOnlyDebug", showFramesOnlyDebug);
    XmlGetAttributeFlag(flags, "ShowFramesOnlyWithUID", showFramesOnlyWithUid);
    XmlGetAttributeFlag(flags, "SoundLog", soundLog);
    XmlGetAttributeFlag(flags, "NoSplash", noSplash);
    XmlGetAttributeStdString(flags, "DbgScene", dbgScene);
    XmlGetAttributeFlag(flags, "LogImgLoads", logImgLoads);
    XmlGetAttributeFlag(flags, "PerfomanceShow", performanceShow);
    XmlGetAttributeFlag(flags, "CheatNeedCollectAll", cheatNeedCollectAll);
    XmlGetAttributeFlag(flags, "SkipChargeOFF", skipChargeOff);
    XmlGetAttributeFlag(flags, "DbgMenu", dbgMenu);
    XmlGetAttributeFlag(flags, "ShowHiddens", showHiddens);
    XmlGetAttributeColor4(flags, "HiddensColor", hiddensColor);
}

void VTDebugSettings::AddFrameSample(int graph, float sample)
{
    if (graph != 0 && graph != 1)
        return;
    std::lock_guard lock(graphsLock_);
    std::deque<float>& samples = graphs_[static_cast<size_t>(graph)];
    samples.push_back(sample);
    if (samples.size() > kMaxFrameSamples)
        samples.pop_front();
}

std::vector<float> VTDebugSettings::FrameSamples(int graph) const
{
    if (graph != 0 && graph != 1)
        return {};
    std::lock_guard lock(graphsLock_);
    const std::deque<float>& samples = graphs_[static_cast<size_t>(graph)];
    return std::vector<float>(samples.begin(), samples.end());
}

void VTDebugSettings::DrawFrameGraphs(Fw::Graphics& g) const
{
    if (!debugMode)
        return;
    g.SetColor(Fw::Color::White);
    const float baseLines[2] = {100.0f, 250.0f};
    for (int graph = 0; graph < 2; ++graph) {
        const std::vector<float> samples = FrameSamples(graph);
        const float base = baseLines[graph];
        auto y = [&](float sample) { return static_cast<int32_t>(std::trunc(base + (1.0f - sample) * 100.0f)); };
        for (size_t i = 0; i + 1 < samples.size(); ++i)
            g.DrawLine(static_cast<int32_t>(i), y(samples[i]), static_cast<int32_t>(i + 1), y(samples[i + 1]));
    }
}

bool VTDebugSettings::ParseTracebackLine(const std::string& line, std::string& file, std::string& lineNumber,
                                         std::string& function)
{
    static constexpr std::string_view kStart = "  File \"";
    static constexpr std::string_view kLine = "\", line ";
    static constexpr std::string_view kIn = ", in ";
    if (line.compare(0, kStart.size(), kStart) != 0)
        return false;
    const size_t fileEnd = line.find(kLine, kStart.size());
    if (fileEnd == std::string::npos)
        return false;
    const size_t numberStart = fileEnd + kLine.size();
    const size_t numberEnd = line.find(kIn, numberStart);
    if (numberEnd == std::string::npos)
        return false;
    file = line.substr(kStart.size(), fileEnd - kStart.size());
    lineNumber = line.substr(numberStart, numberEnd - numberStart);
    function = line.substr(numberEnd + kIn.size());
    return true;
}

void VTDebugSettings::PythonOutputHook(const char* text)
{
    if (!text)
        return;
    std::lock_guard lock(gHookLock);
    std::string& buffer = HookLineBuffer();
    buffer += text;
    if (buffer.empty() || buffer.back() != '\n')
        return;
    std::string file, number, function;
    if (ParseTracebackLine(buffer, file, number, function))
        DebugLog("%s(%s): %s", file.c_str(), number.c_str(), function.c_str());
    else
        Platform::OutputDebugText(buffer);
    buffer.clear();
}
