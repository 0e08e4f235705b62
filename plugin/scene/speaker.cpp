#include "scene/scene.h"
#include "scene/scene_geometry.h"

namespace {

constexpr int speakerSegments = 20;
constexpr float speakerAngleStep = 360.0f / speakerSegments;

const GLfloat speakerSpecular[] = {0.5f, 0.5f, 1.0f, 1.0f};
const GLfloat speakerDiffuse[] = {0.0f, 0.0f, 1.0f, 1.0f};

// One flat cone as a strip of outer-rim, inner-rim pairs. The inner rim sits one
// unit further from the waist, so a cone above it opens downwards and one below
// it upwards; a height of exactly 0 counts as below. The angle is not wrapped:
// the last pair lies at 360 degrees.
void emitCone(float innerRimRadius, float outerRimRadius, float height) {
    const float innerRimHeight = height > 0.0f ? height + 1.0f : height - 1.0f;
    float angle = 0.0f;
    for (int pair = 0; pair <= speakerSegments; ++pair) {
        const CirclePoint outer = circlePoint(angle, outerRimRadius);
        glVertex3f(outer.x, height, outer.z);
        const CirclePoint inner = circlePoint(angle, innerRimRadius);
        glVertex3f(inner.x, innerRimHeight, inner.z);
        angle += speakerAngleStep;
    }
}

} // namespace

void drawSpeaker(float innerHeight, float outerHeight) {
    glPushMatrix();
    glBegin(GL_QUAD_STRIP);
    setMaterials(GL_FRONT, speakerSpecular, speakerDiffuse);
    emitCone(4.0f, 6.0f, innerHeight);
    glEnd();
    glBegin(GL_QUAD_STRIP);
    emitCone(8.0f, 10.0f, outerHeight);
    glEnd();
    glPopMatrix();
}
