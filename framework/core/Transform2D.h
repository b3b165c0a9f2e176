// Cheap builder of a 2-D transform: translations, one rotation and one scale are kept in fields
// (simple mode: T(trans2) * X * T(trans1), X the scale or the rotation) and turned into a matrix on
// demand; anything the fields cannot hold switches to complex mode, where only the matrix changes.
#pragma once
#include "framework/core/Matrix3.h"

namespace Fw {

class Transform2D {
public:
    Transform2D() : matrix(false) { Reset(); }

    void Reset();
    void Translate(float tx, float ty);
    void RotateRad(float angle);
    void RotateDeg(float angle);
    void Scale(float sx, float sy);
    const Matrix3& GetMatrix();

    bool IsComplex() const { return complex; }

private:
    void CalcMatrix();
    void MakeComplex();

    Matrix3 matrix;
    bool dirty = true;
    bool complex = false;
    bool haveRotation = false;
    bool haveScale = false;
    float transX1 = 0, transY1 = 0;
    float transX2 = 0, transY2 = 0;
    float scaleX = 1, scaleY = 1;
    float rotation = 0;
};

} // namespace Fw
