#include "graphics/Transform.h"

namespace Velm {

Transform::Transform() { Reset(); }

void Transform::Reset() {
    matrix.LoadIdentity();
    dirty = true;
    complex = false;
    hasRotation = false;
    hasScale = false;
    preX = preY = 0;
    postX = postY = 0;
    scaleX = scaleY = 1.0f;
    rotation = 0;
}

void Transform::Translate(float tx, float ty) {
    if (complex) {
        matrix.Translate(tx, ty);
        return;
    }
    dirty = true;
    if (hasRotation || hasScale) {
        postX += tx;
        postY += ty;
    } else {
        preX += tx;
        preY += ty;
    }
}

void Transform::Rotate(float angle) {
    if (complex) {
        matrix.Rotate(angle);
        return;
    }
    if (hasScale) {
        complex = true;
        UpdateMatrix();
        matrix.Rotate(angle);
        return;
    }
    rotation += angle;
    hasRotation = true;
    dirty = true;
}

void Transform::Scale(float sx, float sy) {
    if (complex) {
        matrix.Scale(sx, sy);
        return;
    }
    const bool staysSimple = !hasRotation && preX == 0 && preY == 0 && (sx >= 0 || sx * scaleX == -1.0f) && sy >= 0;
    if (staysSimple) {
        scaleX *= sx;
        scaleY *= sy;
        hasScale = true;
        dirty = true;
        return;
    }
    complex = true;
    UpdateMatrix();
    matrix.Scale(sx, sy);
}

void Transform::UpdateMatrix() {
    if (!dirty) return;
    matrix.LoadIdentity();
    matrix.m[0][2] = preX;
    matrix.m[1][2] = preY;
    dirty = false;
    if (hasScale) {
        matrix.m[0][0] = scaleX;
        matrix.m[1][1] = scaleY;
    } else if (hasRotation) {
        matrix.Rotate(rotation);
    }
    if (postX != 0 || postY != 0) matrix.Translate(postX, postY);
}

const Matrix3& Transform::GetMatrix() {
    UpdateMatrix();
    return matrix;
}

}  // namespace Velm
