// GLU's quadric sphere, filled with smooth normals and facing outwards (the
// only kind the plug-in draws), emitted in GLU's own order: a fan at each
// pole and a quad strip for each stack between them, from sines and cosines
// kept as floats as GLU keeps them.
#include "gl_layer.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

struct GLUquadric {
    GLenum normals = GLU_SMOOTH;
    GLenum drawStyle = GLU_FILL;
};

namespace {

struct SphereCaches {
    std::vector<float> sliceSin, sliceCos; // around the axis, slices + 1
    std::vector<float> stackSin, stackCos; // unit, along the axis, stacks + 1
    std::vector<float> ringRadius, ringZ;  // scaled by the radius
};

SphereCaches sphereCaches(double radius, int slices, int stacks) {
    SphereCaches c;
    for (int i = 0; i < slices; ++i) {
        const float angle = float(2 * M_PI * i / slices);
        c.sliceSin.push_back(float(std::sin(double(angle))));
        c.sliceCos.push_back(float(std::cos(double(angle))));
    }
    c.sliceSin.push_back(c.sliceSin[0]);
    c.sliceCos.push_back(c.sliceCos[0]);
    for (int j = 0; j <= stacks; ++j) {
        const float angle = float(M_PI * j / stacks);
        c.stackSin.push_back(float(std::sin(double(angle))));
        c.stackCos.push_back(float(std::cos(double(angle))));
        c.ringRadius.push_back(float(radius * std::sin(double(angle))));
        c.ringZ.push_back(float(radius * std::cos(double(angle))));
    }
    c.ringRadius.front() = 0;
    c.ringRadius.back() = 0;
    return c;
}

// One vertex of ring j at slice i, with its smooth normal.
void ringVertex(const SphereCaches& c, int i, int j) {
    glNormal3f(c.sliceSin[i] * c.stackSin[j], c.sliceCos[i] * c.stackSin[j], c.stackCos[j]);
    glVertex3f(c.ringRadius[j] * c.sliceSin[i], c.ringRadius[j] * c.sliceCos[i], c.ringZ[j]);
}

void poleFan(const SphereCaches& c, int slices, int pole, int ring, float apexZ, bool downwards) {
    const size_t wrap = std::min<size_t>(size_t(pole), c.sliceSin.size() - 1);
    glNormal3f(c.sliceSin[wrap] * c.stackSin[pole], c.sliceCos[wrap] * c.stackSin[pole],
               c.stackCos[pole]);
    glBegin(GL_TRIANGLE_FAN);
    glVertex3f(0, 0, apexZ);
    for (int k = 0; k <= slices; ++k) ringVertex(c, downwards ? slices - k : k, ring);
    glEnd();
}

} // namespace

extern "C" {

GLUquadric* gluNewQuadric(void) {
    return new GLUquadric;
}

void gluDeleteQuadric(GLUquadric* quadric) {
    delete quadric;
}

void gluQuadricNormals(GLUquadric* quadric, GLenum normals) {
    if (quadric) quadric->normals = normals;
}

void gluQuadricDrawStyle(GLUquadric* quadric, GLenum style) {
    if (quadric) quadric->drawStyle = style;
}

void gluSphere(GLUquadric* quadric, GLdouble radius, GLint slices, GLint stacks) {
    if (!quadric || slices < 2 || stacks < 2 || radius < 0) return;
    slices = std::min(slices, 239);
    stacks = std::min(stacks, 239);
    const SphereCaches c = sphereCaches(radius, slices, stacks);
    // GLU's first fan takes its apex normal from slice 0, its second from
    // slice `stacks`, which is slice 0 again when slices equal stacks.
    poleFan(c, slices, 0, 1, float(radius), true);
    poleFan(c, slices, stacks, stacks - 1, float(-radius), false);
    for (int j = 1; j < stacks - 1; ++j) {
        glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= slices; ++i) {
            ringVertex(c, i, j + 1);
            ringVertex(c, i, j);
        }
        glEnd();
    }
}

} // extern "C"
