// The sample scene's cost of a frame as the process's CPU time per wall-clock second: the program
// (examples/sample_scene.cpp) runs windowed in software and with 3-D forced (the stored "Is3D"
// choice), 500 updates measured after 200 of warm-up. Needs an X display (scripts/run-bench.sh
// runs it under Xvfb, where forced 3-D is llvmpipe). Counter: cpu_per_second (1 = one core busy).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// Runs the program with its own settings file; the CPU share it printed, or a negative value.
double RunScene(bool force3D, std::string& what)
{
    char folder[] = "/tmp/fw-scene-XXXXXX";
    if (!mkdtemp(folder))
        return -1;
    const std::string dir = folder;
    {
        std::ofstream reg(dir + "/registry.txt");
        reg << "# Per-user settings\n[SOFTWARE\\Casual Engine\\FwSampleScene]\n";
        if (force3D)
            reg << "\"Is3D\"=4:01000000\n";
    }
    const std::string cmd = "FW_REGISTRY_FILE=" + dir + "/registry.txt XDG_DATA_HOME=" + dir +
                            " XDG_CONFIG_HOME=" + dir + " '" FW_SAMPLE_SCENE "' -frames 700 -cpu 200 2>/dev/null";
    double share = -1;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, p)) {
            double v = 0, secs = 0;
            char mode[32] = {};
            if (std::sscanf(line, "cpu_per_second %lf over %lf s, %31s", &v, &secs, mode) == 3) {
                share = v;
                what = mode;
            }
        }
        pclose(p);
    }
    std::system(("rm -rf '" + dir + "'").c_str());
    return share;
}

void SampleScene(benchmark::State& state, bool force3D)
{
    if (!std::getenv("DISPLAY")) {
        state.SkipWithError("no X display (run under Xvfb)");
        for (auto _ : state) {
        }
        return;
    }
    double share = -1;
    std::string mode;
    for (auto _ : state)
        share = RunScene(force3D, mode);
    if (share < 0) {
        state.SkipWithError("the sample scene did not report");
        return;
    }
    state.counters["cpu_per_second"] = share;
    state.SetLabel(mode == "3-D" ? "drawn through 3-D" : "drawn in software");
}

void BM_SampleSceneDefault(benchmark::State& state) { SampleScene(state, false); }
void BM_SampleSceneForced3D(benchmark::State& state) { SampleScene(state, true); }
BENCHMARK(BM_SampleSceneDefault)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_SampleSceneForced3D)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
