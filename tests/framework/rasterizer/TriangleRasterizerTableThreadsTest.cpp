// The filler table's publication: one thread fills it while another polls and draws through it;
// the poller sees no entry or the whole table, never a part of it.
#include "framework/rasterizer/TriangleRasterizerTable.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>

namespace {

TEST(TriangleRasterizerTableThreads, APollerSeesNoneOrTheWholeTable)
{
    std::array<Fw::TriangleFiller, 128> seen{};
    std::thread poller([&] {
        while (!Fw::TriangleRasterizerAt(127))
            std::this_thread::yield();
        for (int32_t i = 0; i < 128; ++i)
            seen[size_t(i)] = Fw::TriangleRasterizerAt(i);
    });
    std::thread second([] { Fw::InitTriangleRasterizers(); }); // a racing second caller changes nothing
    Fw::InitTriangleRasterizers();
    poller.join();
    second.join();
    for (int32_t i = 0; i < 128; ++i) {
        EXPECT_NE(seen[size_t(i)], nullptr) << "entry " << i;
        EXPECT_EQ(seen[size_t(i)], Fw::TriangleRasterizerAt(i)) << "entry " << i;
    }
}

} // namespace
