// The matrix stacks and the calls that change them, computed as Mesa computes
// them (float products in matmul4's order, float sines of the angle), since the
// plug-in never reloads its modelview matrix and a frame's rotation is added
// to all the frames' before it.
#include "gl_layer.h"
#include "webgl_batch.h"

#include <GL/glu.h>

#include <cmath>
#include <cstring>

namespace zdgl {

Matrix identityMatrix() {
    return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Matrix multiply(const Matrix& a, const Matrix& b) {
    Matrix product;
    for (int row = 0; row < 4; ++row) {
        const float a0 = a.m[row], a1 = a.m[4 + row], a2 = a.m[8 + row], a3 = a.m[12 + row];
        for (int col = 0; col < 4; ++col) {
            const float* bc = &b.m[col * 4];
            product.m[col * 4 + row] = a0 * bc[0] + a1 * bc[1] + a2 * bc[2] + a3 * bc[3];
        }
    }
    return product;
}

void transformPoint(const Matrix& matrix, const float in[4], float out[4]) {
    const float* m = matrix.m;
    for (int row = 0; row < 4; ++row)
        out[row] = m[row] * in[0] + m[4 + row] * in[1] + m[8 + row] * in[2] + m[12 + row] * in[3];
}

Matrix& currentMatrix() {
    GLLayer& gl = layer();
    if (gl.matrixMode == GL_PROJECTION) return gl.projection[gl.projectionDepth];
    return gl.modelview[gl.modelviewDepth];
}

const Matrix& modelviewProjection() {
    static Matrix product;
    GLLayer& gl = layer();
    product = multiply(gl.projection[gl.projectionDepth], gl.modelview[gl.modelviewDepth]);
    return product;
}

// The inverse transpose of the modelview's upper 3 × 3, by cofactors.
const float* normalMatrix() {
    static float n[9];
    const float* m = layer().modelview[layer().modelviewDepth].m;
    const float a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6],
                i = m[10];
    const float cofactors[9] = {e * i - f * h, -(d * i - f * g), d * h - e * g,
                                -(b * i - c * h), a * i - c * g, -(a * h - b * g),
                                b * f - c * e, -(a * f - c * d), a * e - b * d};
    const float determinant = a * cofactors[0] + b * cofactors[1] + c * cofactors[2];
    const float scale = determinant != 0 ? 1.0f / determinant : 0.0f;
    // Row r of the inverse transpose is row r of the cofactor matrix.
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col) n[col * 3 + row] = cofactors[row * 3 + col] * scale;
    return n;
}

void multiplyCurrent(const Matrix& by) {
    Matrix& top = currentMatrix();
    top = multiply(top, by);
}

} // namespace zdgl

using namespace zdgl;

extern "C" {

void glMatrixMode(GLenum mode) {
    if (mode == GL_MODELVIEW || mode == GL_PROJECTION) layer().matrixMode = mode;
}

void glLoadIdentity(void) {
    currentMatrix() = identityMatrix();
}

void glPushMatrix(void) {
    GLLayer& gl = layer();
    if (gl.matrixMode == GL_PROJECTION) {
        if (gl.projectionDepth + 1 < 4) {
            gl.projection[gl.projectionDepth + 1] = gl.projection[gl.projectionDepth];
            ++gl.projectionDepth;
        }
    } else if (gl.modelviewDepth + 1 < 32) {
        gl.modelview[gl.modelviewDepth + 1] = gl.modelview[gl.modelviewDepth];
        ++gl.modelviewDepth;
    }
}

void glPopMatrix(void) {
    GLLayer& gl = layer();
    int& depth = gl.matrixMode == GL_PROJECTION ? gl.projectionDepth : gl.modelviewDepth;
    if (depth > 0) --depth;
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    float* m = currentMatrix().m;
    for (int row = 0; row < 4; ++row)
        m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    const float radians = static_cast<float>(angle * M_PI / 180.0);
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    Matrix r = identityMatrix();
    auto at = [&r](int row, int col) -> float& { return r.m[col * 4 + row]; };
    if (x == 0 && y == 0 && z != 0) {
        at(0, 0) = c, at(1, 1) = c;
        at(0, 1) = z < 0 ? s : -s, at(1, 0) = z < 0 ? -s : s;
    } else if (x == 0 && z == 0 && y != 0) {
        at(0, 0) = c, at(2, 2) = c;
        at(0, 2) = y < 0 ? -s : s, at(2, 0) = y < 0 ? s : -s;
    } else if (y == 0 && z == 0 && x != 0) {
        at(1, 1) = c, at(2, 2) = c;
        at(1, 2) = x < 0 ? s : -s, at(2, 1) = x < 0 ? -s : s;
    } else {
        const float length = std::sqrt(x * x + y * y + z * z);
        if (length <= 1.0e-4f) return;
        x /= length, y /= length, z /= length;
        const float k = 1.0f - c;
        at(0, 0) = k * x * x + c, at(0, 1) = k * x * y - z * s, at(0, 2) = k * z * x + y * s;
        at(1, 0) = k * x * y + z * s, at(1, 1) = k * y * y + c, at(1, 2) = k * y * z - x * s;
        at(2, 0) = k * z * x - y * s, at(2, 1) = k * y * z + x * s, at(2, 2) = k * z * z + c;
    }
    multiplyCurrent(r);
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble nearVal,
             GLdouble farVal) {
    const float l = float(left), r = float(right), b = float(bottom), t = float(top),
                n = float(nearVal), f = float(farVal);
    if (l == r || b == t || n == f) return;
    Matrix o = identityMatrix();
    o.m[0] = 2.0f / (r - l);
    o.m[12] = -(r + l) / (r - l);
    o.m[5] = 2.0f / (t - b);
    o.m[13] = -(t + b) / (t - b);
    o.m[10] = -2.0f / (f - n);
    o.m[14] = -(f + n) / (f - n);
    multiplyCurrent(o);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    GLLayer& gl = layer();
    flushBatch();
    gl.viewport[0] = x, gl.viewport[1] = y, gl.viewport[2] = width, gl.viewport[3] = height;
}

// GLU's perspective: built in double, multiplied in as floats.
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double radians = fovy / 2 * M_PI / 180;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) return;
    const double cotangent = std::cos(radians) / sine;
    Matrix p = identityMatrix();
    p.m[0] = float(cotangent / aspect);
    p.m[5] = float(cotangent);
    p.m[10] = float(-(zFar + zNear) / deltaZ);
    p.m[11] = -1;
    p.m[14] = float(-2 * zNear * zFar / deltaZ);
    p.m[15] = 0;
    multiplyCurrent(p);
}

} // extern "C"
