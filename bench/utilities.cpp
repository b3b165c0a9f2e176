// Cost of the profiler marks that sit in every frame: while profiling is off a begin/end pair
// should cost about as much as the baseline (an opaque empty call); while on, one record append.
// Also the bit buffer's write and read of small fields, against a plain byte append as baseline.
#include "framework/core/Buffer.h"
#include "framework/core/Profiler.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

__attribute__((noinline)) void EmptyCall(const char* name)
{
    benchmark::DoNotOptimize(name);
}

void BM_Baseline_EmptyCallPair(benchmark::State& state)
{
    for (auto _ : state) {
        EmptyCall("Section");
        EmptyCall("Section");
    }
}
BENCHMARK(BM_Baseline_EmptyCallPair);

void BM_ProfileBeginEnd_Off(benchmark::State& state)
{
    Fw::ProfileStop();
    for (auto _ : state) {
        Fw::ProfileBegin("Section");
        Fw::ProfileEnd("Section");
    }
}
BENCHMARK(BM_ProfileBeginEnd_Off);

void BM_ProfileBeginEnd_On(benchmark::State& state)
{
    Fw::ProfileStart();
    Fw::ProfileBegin("Frame"); // keep one section open so records are only appended, not folded
    for (auto _ : state) {
        Fw::ProfileBegin("Section");
        Fw::ProfileEnd("Section");
    }
    Fw::ProfileEnd("Frame");
    Fw::ProfileStop();
}
BENCHMARK(BM_ProfileBeginEnd_On)->Iterations(200000);

void BM_Baseline_ByteAppend(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<uint8_t> bytes;
        for (int i = 0; i < 1024; ++i)
            bytes.push_back(uint8_t(i));
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_Baseline_ByteAppend);

void BM_BufferWriteReadFields(benchmark::State& state)
{
    for (auto _ : state) {
        Fw::Buffer b;
        for (int i = 0; i < 1024; ++i)
            b.WriteNumBits(i, 5);
        int32_t sum = 0;
        for (int i = 0; i < 1024; ++i)
            sum += b.ReadNumBits(5, false);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_BufferWriteReadFields);

} // namespace
