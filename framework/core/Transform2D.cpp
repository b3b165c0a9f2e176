#include "framework/core/Transform2D.h"

namespace Fw {

void Transform2D::Reset()
{
    dirty = true;
    complex = haveRotation = haveScale = false;
    transX1 = transY1 = transX2 = transY2 = 0.0f;
    scaleX = scaleY = 1.0f;
    rotation = 0.0f;
}

void Transform2D::Translate(float tx, float ty)
{
    if (complex) {
        matrix.Translate(tx, ty);
        return;
    }
    dirty = true;
    if (!haveRotation && !haveScale) {
        transX1 += tx;
        transY1 += ty;
    } else {
        transX2 += tx;
        transY2 += ty;
    }
}

void Transform2D::RotateRad(float angle)
{
    if (complex) {
        matrix.RotateRad(angle);
    } else if (!haveScale) {
        rotation += angle;
        dirty = true;
        haveRotation = true;
    } else {
        MakeComplex();
        matrix.RotateRad(angle);
    }
}

void Transform2D::RotateDeg(float angle)
{
    // Single-precision pi, as the rest of the engine uses.
    RotateRad(angle * 3.1415927f / 180.0f);
}

void Transform2D::Scale(float sx, float sy)
{
    if (complex) {
        matrix.Scale(sx, sy);
        return;
    }
    // Only a scale of an untranslated, unrotated transform folds into the fields; of negative
    // factors only the exact horizontal mirror does.
    const bool foldable = !haveRotation && transX1 == 0.0f && transY1 == 0.0f &&
                          (sx >= 0.0f || scaleX * sx == -1.0f) && sy >= 0.0f;
    if (foldable) {
        scaleX *= sx;
        scaleY *= sy;
        dirty = true;
        haveScale = true;
    } else {
        MakeComplex();
        matrix.Scale(sx, sy);
    }
}

const Matrix3& Transform2D::GetMatrix()
{
    CalcMatrix();
    return matrix;
}

void Transform2D::MakeComplex()
{
    if (complex)
        return;
    CalcMatrix();
    complex = true;
}

void Transform2D::CalcMatrix()
{
    if (!dirty || complex)
        return;
    dirty = false;
    matrix.LoadIdentity();
    matrix.m[0][2] = transX1;
    matrix.m[1][2] = transY1;
    matrix.m[2][2] = 1.0f;
    if (haveScale) {
        matrix.m[0][0] = scaleX;
        matrix.m[1][1] = scaleY;
    } else if (haveRotation) {
        matrix.RotateRad(rotation);
    }
    if (!(transX2 == 0.0f && transY2 == 0.0f))
        matrix.Translate(transX2, transY2);
}

} // namespace Fw
