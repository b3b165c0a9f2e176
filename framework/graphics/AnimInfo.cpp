// Animation timing: frame map of ping-pong animations and per-frame delays.
#include "framework/graphics/AnimInfo.h"

#include <algorithm>
#include <numeric>

namespace Fw {

void AnimInfo::Compute(int32_t frames, int32_t beginDelay, int32_t endDelay)
{
    numFrames = std::max(frames, 1);
    frameDelay = std::max(frameDelay, 1);

    if (animType == PingPong && numFrames >= 2) {
        // 0, 1, ..., n-1, n-2, ..., 1: each end cell shows once per cycle.
        frameMap.clear();
        for (int32_t i = 0; i < numFrames; ++i)
            frameMap.push_back(i);
        for (int32_t i = numFrames - 2; i >= 1; --i)
            frameMap.push_back(i);
    }
    if (!frameMap.empty())
        numFrames = int32_t(frameMap.size());

    auto setDelay = [this](size_t index, int32_t delay) {
        if (perFrameDelay.size() <= index)
            perFrameDelay.resize(index + 1, 0);
        perFrameDelay[index] = delay;
    };
    if (beginDelay > 0)
        setDelay(0, beginDelay);
    if (endDelay > 0)
        setDelay(size_t(numFrames - 1), endDelay);

    if (!perFrameDelay.empty()) {
        perFrameDelay.resize(size_t(numFrames), 0);
        for (int32_t& d : perFrameDelay)
            if (d < 1)
                d = frameDelay;
        totalAnimTime = std::accumulate(perFrameDelay.begin(), perFrameDelay.end(), 0);
    } else {
        totalAnimTime = numFrames * frameDelay;
    }
}

} // namespace Fw
