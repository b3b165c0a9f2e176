// Animation of the cells of a strip or sheet image: frame timing and the cell shown at each step.
#pragma once
#include <cstdint>
#include <vector>

namespace Fw {

struct AnimInfo {
    static constexpr int32_t PingPong = 2;

    int32_t animType = 0;                // 2 = ping-pong
    int32_t frameDelay = 1;              // milliseconds per frame
    int32_t numFrames = 1;
    std::vector<int32_t> perFrameDelay;  // per-step delays (ms); empty = frameDelay for all
    std::vector<int32_t> frameMap;       // cell shown at each animation step; empty = identity
    int32_t totalAnimTime = 0;           // ms of one cycle

    // Fills frameMap (ping-pong), perFrameDelay and totalAnimTime for numFrames cells; delays
    // of 0 or less are not applied.
    void Compute(int32_t numFrames, int32_t beginDelay, int32_t endDelay);
};

} // namespace Fw
