// The process-wide record of developer switches (debug mode, cheats, survey edition and the flags
// of "cfg\usersettings.xml"), the frame-time graphs drawn in debug mode, and the sink that turns
// the interpreter's traceback lines into "file(line): function" lines on the debugger output.
#pragma once
#include <array>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace Fw {
class Graphics;
}

class VTDebugSettings {
public:
    // Samples each frame graph keeps: one per pixel column of an 800-pixel strip.
    static constexpr size_t kMaxFrameSamples = 800;

    // Defaults; publishes gDebugSettings when it is the process's record.
    VTDebugSettings();
    ~VTDebugSettings();
    VTDebugSettings(const VTDebugSettings&) = delete;
    VTDebugSettings& operator=(const VTDebugSettings&) = delete;

    // Debug mode only: reads the "usersettings/debugflags" element of path; an absent file,
    // element or attribute keeps the defaults. (The interpreter's error output is routed to
    // PythonOutputHook by the scripting host.)
    void Load(const std::string& path = "cfg\\usersettings.xml");

    // Appends to graph 0 or 1 (other indices are ignored), keeping the newest kMaxFrameSamples.
    void AddFrameSample(int graph, float sample);
    // A copy of one graph's samples, oldest first.
    std::vector<float> FrameSamples(int graph) const;
    // Debug mode only: both graphs in white, graph 0 on base line 100 and graph 1 on base line 250;
    // a sample of 1.0 lies on the base line, 0.0 100 pixels below it, x is the sample index.
    void DrawFrameGraphs(Fw::Graphics& g) const;

    // The interpreter's output sink: collects text until a line feed, then writes the line to the
    // debugger output, traceback lines as "file(line): function\n". Any thread.
    static void PythonOutputHook(const char* text);
    // Splits "  File \"<file>\", line <n>, in <function...>" into its parts; false for other lines.
    static bool ParseTracebackLine(const std::string& line, std::string& file, std::string& lineNumber,
                                   std::string& function);

    bool debugMode = false;
    bool cheats = false;
    bool surveyEdition = false;
    bool showMouseOwner = false;        // "ShowMouseOwner"
    bool showFrames = false;            // "ShowFrames"
    bool showFramesOnlyDebug = false;   // "ShowFramesOnlyDebug"
    bool showFramesOnlyWithUid = false; // "ShowFramesOnlyWithUID"
    bool soundLog = false;              // "SoundLog"
    bool noSplash = false;              // "NoSplash"
    bool logImgLoads = false;           // "LogImgLoads"
    bool performanceShow = false;       // "PerfomanceShow" (the file's spelling)
    bool cheatNeedCollectAll = false;   // "CheatNeedCollectAll"
    bool skipChargeOff = false;         // "SkipChargeOFF"
    std::string dbgScene;               // "DbgScene"
    bool dbgMenu = false;               // "DbgMenu"
    bool showHiddens = false;           // "ShowHiddens"
    std::array<float, 4> hiddensColor = {1.0f, 0.0f, 0.0f, 0.5f}; // "HiddensColor"

private:
    // Scripts feed the graphs under the script lock while the main thread draws them.
    mutable std::mutex graphsLock_;
    std::array<std::deque<float>, 2> graphs_;
};

// The process's record; written while the engine is constructed, read everywhere afterwards.
// Null only after the record has been destroyed at process end.
extern VTDebugSettings* gDebugSettings;
