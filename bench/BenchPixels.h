// Helpers shared by the drawing benchmarks: deterministic test pixels, premultiplication for the
// baselines that want it, and a plain timer for baselines measured outside Google Benchmark's loop.
#pragma once
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <vector>

namespace BenchPixels {

// The classic 15-bit LCG, seeded per benchmark program so runs repeat.
inline uint32_t Next(uint32_t& seed)
{
    seed = seed * 214013u + 2531011u;
    return (seed >> 16) & 0x7FFF;
}

// Runs of 1..16 pixels with random colours; mixed: 40% clear, 40% opaque, 20% partial alpha,
// otherwise all opaque. 0xAARRGGBB, straight alpha.
inline std::vector<uint32_t> Make(int32_t w, int32_t h, bool mixed, uint32_t& seed)
{
    std::vector<uint32_t> px(size_t(w) * size_t(h));
    for (size_t i = 0; i < px.size();) {
        const uint32_t cls = Next(seed) % 10;
        for (size_t k = std::min<size_t>(1 + Next(seed) % 16, px.size() - i); k > 0; --k, ++i) {
            const uint32_t rgb = (Next(seed) << 9 ^ Next(seed)) & 0xFFFFFF;
            const uint32_t a = !mixed ? 255 : cls < 4 ? 0 : cls < 8 ? 255 : 1 + Next(seed) % 254;
            px[i] = a << 24 | rgb;
        }
    }
    return px;
}

// Channel x alpha / 255, truncated: the premultiplied form pixman and SDL baselines take.
inline std::vector<uint32_t> Premultiplied(const std::vector<uint32_t>& px)
{
    std::vector<uint32_t> out(px.size());
    for (size_t i = 0; i < px.size(); ++i) {
        const uint32_t a = px[i] >> 24;
        auto ch = [&](int s) { return (((px[i] >> s) & 0xFF) * a / 255) << s; };
        out[i] = a << 24 | ch(16) | ch(8) | ch(0);
    }
    return out;
}

// Mean absolute difference per colour channel (alpha left out) of two 0x..RRGGBB frames of n pixels.
inline double MeanChannelDifference(const uint32_t* a, const uint32_t* b, size_t n)
{
    uint64_t sum = 0;
    for (size_t i = 0; i < n; ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int d = int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF);
            sum += uint64_t(d < 0 ? -d : d);
        }
    }
    return n ? double(sum) / double(n * 3) : 0.0;
}

// Nanoseconds per call: one warm-up call, then calls for at least minMs milliseconds.
inline double TimeNs(const std::function<void()>& fn, int minMs = 30)
{
    using Clock = std::chrono::steady_clock;
    fn(); // warm caches and lazily built data
    int64_t calls = 0;
    const auto start = Clock::now();
    auto now = start;
    do {
        fn();
        ++calls;
        now = Clock::now();
    } while (now - start < std::chrono::milliseconds(minMs));
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(now - start).count()) / double(calls);
}

// Our time over a baseline's, the two measured in alternation (rounds of about sliceMs each) so
// that load from other processes falls on both alike; the medians of the rounds are compared.
// oursNs receives our median time per call.
inline double InterleavedRatio(const std::function<void()>& ours, const std::function<void()>& base,
                               double* oursNs = nullptr, int rounds = 7, int sliceMs = 8)
{
    std::vector<double> a, b;
    for (int r = 0; r < rounds; ++r) {
        a.push_back(TimeNs(ours, sliceMs));
        b.push_back(TimeNs(base, sliceMs));
    }
    std::nth_element(a.begin(), a.begin() + rounds / 2, a.end());
    std::nth_element(b.begin(), b.begin() + rounds / 2, b.end());
    if (oursNs)
        *oursNs = a[size_t(rounds / 2)];
    return a[size_t(rounds / 2)] / b[size_t(rounds / 2)];
}

} // namespace BenchPixels
