// Conventions every scene element shares: points on horizontal circles around
// the y axis, the two materials an element sets, and the translucent blend.
#pragma once

#include <GL/gl.h>

#include <cmath>

struct CirclePoint {
    float x;
    float z;
};

// Degrees to radians with the scene's own value of pi, sine and cosine in
// double, each coordinate rounded to float once, after the product.
inline CirclePoint circlePoint(float angle, float radius) {
    const double radians = angle * 3.14159265 / 180.0;
    return {static_cast<float>(std::cos(radians) * radius),
            static_cast<float>(std::sin(radians) * radius)};
}

// Elements set only these two materials; ambient, emission and shininess keep
// their defaults. Specular goes first.
inline void setMaterials(GLenum face, const GLfloat* specular, const GLfloat* diffuse) {
    glMaterialfv(face, GL_SPECULAR, specular);
    glMaterialfv(face, GL_DIFFUSE, diffuse);
}

// Each translucent element turns blending on for itself and off before it returns.
inline void beginTranslucency() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);
}

inline void endTranslucency() {
    glDisable(GL_BLEND);
}
