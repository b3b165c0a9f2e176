// The demo file reader: header, markers and stream read for playback, then the stream walked to
// its end as playback walks it (records prepared as their update comes, a payload read each). A
// refused file comes with the message the player sees.
#include "FuzzSupport.h"

#include "framework/core/Demo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string name = FuzzSupport::WriteInput("input.dmo", data, size);
    int32_t updateCount = 0;
    Fw::Demo demo(updateCount);
    uint32_t seed = 0;
    std::string error;
    if (!demo.ReadFile(name, "1.0", seed, error)) {
        FuzzSupport::Check(!error.empty(), "a refused demo has its message");
        return 0;
    }
    // Every step either moves the clock or consumes stream bits, so the walk ends; the bound only
    // turns a fault into a clear failure.
    const int64_t limit = int64_t(size) * 8 * 16 + 64;
    for (int64_t step = 0; demo.BytesLeft() > 0; ++step) {
        FuzzSupport::Check(step < limit, "playback reaches the end of the stream");
        if (demo.Prepare(false)) {
            demo.ReadBits(8);
            demo.needsCommand = true;
        } else {
            ++updateCount;
        }
    }
    return 0;
}
