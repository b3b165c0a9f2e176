// Cost of reading archive entries: a 1 MiB entry read in 4 KiB blocks through the reader should
// cost about as much as the baseline (descrambling the same bytes from memory), since reads copy
// from the mapped archive without system calls. Opening an entry by name against a plain map lookup.
#include "framework/assets/PakArchiveFormat.h"
#include "framework/assets/PakArchiveWriter.h"
#include "framework/assets/PakInterface.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr size_t kEntryBytes = 1 << 20;
constexpr size_t kBlock = 4096;

// prefix + i + suffix (appended piecewise: GCC 12 warns falsely on the chained operator+).
std::string ImageName(const char* prefix, int i, const char* suffix)
{
    std::string name = prefix;
    name += std::to_string(i);
    name += suffix;
    return name;
}

// One archive for the whole run: "big.bin" of 1 MiB and 2000 small entries.
PakInterface& Reader()
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / "bench_archive_reader.pak").string();
    static PakInterface reader;
    static const bool opened = [] {
        std::vector<Pak::WriterEntry> entries;
        entries.push_back({"data\\big.bin", std::vector<uint8_t>(kEntryBytes, 0x5A), 0});
        for (int i = 0; i < 2000; ++i)
            entries.push_back({ImageName("data\\images\\image", i, ".png"), {1, 2, 3}, 0});
        const bool ok = Pak::WriteArchive(path, entries) && reader.OpenPakArchive(path);
        std::filesystem::remove(path); // the mapping stays valid without the file's name
        return ok;
    }();
    if (!opened)
        std::fprintf(stderr, "cannot build the benchmark archive at %s\n", path.c_str());
    return reader;
}

void BM_Baseline_DescrambleFromMemory(benchmark::State& state)
{
    const std::vector<uint8_t> stored(kEntryBytes, 0x5A ^ Pak::kScrambleKey);
    std::vector<uint8_t> out(kBlock);
    for (auto _ : state) {
        for (size_t pos = 0; pos < kEntryBytes; pos += kBlock) {
            Pak::Descramble(out.data(), stored.data() + pos, kBlock);
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEntryBytes));
}
BENCHMARK(BM_Baseline_DescrambleFromMemory);

void BM_ReadEntryInBlocks(benchmark::State& state)
{
    PakInterface& reader = Reader();
    std::vector<uint8_t> out(kBlock);
    for (auto _ : state) {
        PakFile* f = reader.FOpen("data\\big.bin", "rb");
        while (reader.FRead(out.data(), 1, kBlock, f) == kBlock)
            benchmark::DoNotOptimize(out.data());
        reader.FClose(f);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(kEntryBytes));
}
BENCHMARK(BM_ReadEntryInBlocks);

void BM_Baseline_MapLookup(benchmark::State& state)
{
    std::map<std::string, int> table;
    for (int i = 0; i < 2000; ++i)
        table[ImageName("DATA\\IMAGES\\IMAGE", i, ".PNG")] = i;
    const std::string key = "DATA\\IMAGES\\IMAGE1234.PNG";
    for (auto _ : state)
        benchmark::DoNotOptimize(table.find(key));
}
BENCHMARK(BM_Baseline_MapLookup);

void BM_OpenAndCloseEntry(benchmark::State& state)
{
    PakInterface& reader = Reader();
    for (auto _ : state) {
        PakFile* f = reader.FOpen("Data/Images/image1234.png", "rb");
        benchmark::DoNotOptimize(f);
        reader.FClose(f);
    }
}
BENCHMARK(BM_OpenAndCloseEntry);

} // namespace
