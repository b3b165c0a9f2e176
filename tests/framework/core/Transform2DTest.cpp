#include "framework/core/Transform2D.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Fw::FloatPoint;
using Fw::Matrix3;
using Fw::Transform2D;

struct TransformCase {
    const char* what;
    std::function<void(Transform2D&)> ops;
    FloatPoint in;
    FloatPoint expected;
    bool complex;
};

TEST(Transform2D, OperationSequences)
{
    const TransformCase cases[] = {
        {"translate then rotate applies the translation first",
         [](Transform2D& t) { t.Translate(10, 0); t.RotateDeg(90); }, {0, 0}, {0, -10}, false},
        {"scale on a fresh transform stays simple", [](Transform2D& t) { t.Scale(2, 3); }, {1, 1}, {2, 3}, false},
        {"translate after a scale is applied last",
         [](Transform2D& t) { t.Scale(2, 3); t.Translate(5, 5); }, {1, 1}, {7, 8}, false},
        {"exact horizontal mirror stays simple", [](Transform2D& t) { t.Scale(-1, 1); }, {3, 4}, {-3, 4}, false},
        {"other negative x scale is complex", [](Transform2D& t) { t.Scale(-2, 1); }, {3, 4}, {-6, 4}, true},
        {"negative y scale is complex", [](Transform2D& t) { t.Scale(1, -1); }, {3, 4}, {3, -4}, true},
        {"scale after a first translation is complex",
         [](Transform2D& t) { t.Translate(1, 0); t.Scale(2, 2); }, {0, 0}, {2, 0}, true},
        {"rotation after a scale is complex",
         [](Transform2D& t) { t.Scale(2, 2); t.RotateDeg(90); }, {1, 0}, {0, -2}, true},
        {"two rotations add up", [](Transform2D& t) { t.RotateDeg(45); t.RotateDeg(45); }, {1, 0}, {0, -1}, false},
        {"translations before and after a rotation stay simple: T2 * R * T1",
         [](Transform2D& t) { t.Translate(1, 0); t.RotateDeg(90); t.Translate(0, 5); }, {0, 0}, {0, 4}, false},
        {"after complex mode operations apply to the matrix in call order",
         [](Transform2D& t) { t.Scale(-2, 1); t.Translate(1, 1); t.RotateDeg(90); }, {1, 0}, {1, 1}, true},
    };
    for (const auto& c : cases) {
        Transform2D t;
        c.ops(t);
        const FloatPoint out = t.GetMatrix().TransformPoint(c.in);
        EXPECT_NEAR(out.x, c.expected.x, 1e-5) << c.what;
        EXPECT_NEAR(out.y, c.expected.y, 1e-5) << c.what;
        EXPECT_EQ(t.IsComplex(), c.complex) << c.what;
    }
}

TEST(Matrix3, TransformPointIgnoresBottomRow)
{
    Matrix3 a;
    a.Translate(2, 3);
    Matrix3 b = a;
    b.m[2][0] = 5;
    EXPECT_EQ(a.TransformPoint({1, 1}), b.TransformPoint({1, 1}));
}

} // namespace
