// Replays inputs through a fuzz target without libFuzzer, so the ordinary test build runs every
// target over its seed corpus: each argument is a file, or a folder whose files are all replayed.
// Exit status 0 when every input ran; a target that finds a fault aborts (or a sanitizer stops it).
#include "FuzzSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

// Targets that set something up once define it, as libFuzzer expects.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

bool Replay(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A copy sized exactly, so a read one past the input's end is caught as with libFuzzer.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size()]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    int count = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        // Absolute now: the targets change the current directory.
        const fs::path arg = fs::absolute(argv[i]);
        std::vector<fs::path> files;
        if (fs::is_directory(arg)) {
            for (const fs::directory_entry& e : fs::directory_iterator(arg))
                if (e.is_regular_file())
                    files.push_back(e.path());
            std::sort(files.begin(), files.end());
        } else {
            files.push_back(arg);
        }
        for (const fs::path& f : files) {
            ok = Replay(f) && ok;
            ++count;
        }
    }
    std::printf("replayed %d inputs\n", count);
    return ok && count > 0 ? 0 : 1;
}
