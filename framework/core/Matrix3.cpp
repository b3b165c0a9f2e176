// Products and point transforms are evaluated in double and stored as float.
#include "framework/core/Matrix3.h"

#include <cmath>

namespace Fw {

void Matrix3::LoadIdentity()
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r][c] = (r == c) ? 1.0f : 0.0f;
}

Matrix3 Matrix3::Multiply(const Matrix3& o) const
{
    Matrix3 out(false);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            double sum = 0.0;
            for (int k = 0; k < 3; ++k)
                sum += double(m[r][k]) * double(o.m[k][c]);
            out.m[r][c] = float(sum);
        }
    return out;
}

FloatPoint Matrix3::TransformPoint(const FloatPoint& p) const
{
    const double x = p.x, y = p.y;
    return FloatPoint(float(m[0][0] * x + m[0][1] * y + m[0][2]), float(m[1][0] * x + m[1][1] * y + m[1][2]));
}

void Matrix3::TransformVector3(const float in[3], float out[3]) const
{
    float tmp[3];
    for (int r = 0; r < 3; ++r)
        tmp[r] = float(double(m[r][0]) * in[0] + double(m[r][1]) * in[1] + double(m[r][2]) * in[2]);
    for (int r = 0; r < 3; ++r)
        out[r] = tmp[r];
}

Matrix3& Matrix3::Translate(float tx, float ty)
{
    Matrix3 t;
    t.m[0][2] = tx;
    t.m[1][2] = ty;
    *this = t.Multiply(*this);
    return *this;
}

Matrix3& Matrix3::RotateRad(float angle)
{
    Matrix3 r;
    const float c = float(std::cos(double(angle)));
    const float s = float(std::sin(double(angle)));
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    *this = r.Multiply(*this);
    return *this;
}

Matrix3& Matrix3::Scale(float sx, float sy)
{
    Matrix3 s;
    s.m[0][0] = sx;
    s.m[1][1] = sy;
    *this = s.Multiply(*this);
    return *this;
}

bool Matrix3::operator==(const Matrix3& o) const
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            if (m[r][c] != o.m[r][c])
                return false;
    return true;
}

} // namespace Fw
