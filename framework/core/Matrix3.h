// 3x3 float matrix for affine 2-D transforms. Row-major; points are column vectors and map to
// (m00*x + m01*y + m02, m10*x + m11*y + m12): the bottom row never takes part in a point.
// Translate/RotateRad/Scale multiply from the left, so the operation called last applies last.
#pragma once
#include "framework/core/Point.h"

namespace Fw {

class Matrix3 {
public:
    float m[3][3];

    Matrix3() { LoadIdentity(); }
    // Leaves the elements undefined unless identity is true (for matrices about to be overwritten).
    explicit Matrix3(bool identity)
    {
        if (identity)
            LoadIdentity();
    }

    void LoadIdentity();
    Matrix3 Multiply(const Matrix3& other) const; // this * other
    FloatPoint TransformPoint(const FloatPoint& p) const;
    void TransformVector3(const float in[3], float out[3]) const; // full product M * v
    Matrix3& Translate(float tx, float ty);
    Matrix3& RotateRad(float angle); // R(a) = [[cos a, sin a, 0], [-sin a, cos a, 0], [0, 0, 1]]
    Matrix3& Scale(float sx, float sy);

    bool operator==(const Matrix3& o) const;
};

} // namespace Fw
