// What the fuzz targets share: the libFuzzer entry point's signature, a scratch folder (the current
// directory for the process's lifetime) to hand bytes to readers that open files by name, and a
// check that stops the run with a message when a property of a reader does not hold.
// Each target is one file tests/fuzz/fuzz_<reader>.cpp defining LLVMFuzzerTestOneInput; its seeds
// are tests/fuzz/corpus/<reader>/ (tests/fuzz/MakeSeeds.cpp writes them).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace FuzzSupport {

// Writes the bytes to name inside the process's scratch folder (made on first use, removed at
// exit, and the current directory from then on) and returns name.
std::string WriteInput(const std::string& name, const uint8_t* data, size_t size);

// Aborts with what when condition is false: libFuzzer and the replay driver report it as a crash.
void Check(bool condition, const char* what);

} // namespace FuzzSupport
