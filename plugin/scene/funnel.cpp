#include "scene/scene.h"
#include "scene/scene_geometry.h"

namespace {

constexpr int funnelLowestLevel = -10;
constexpr int funnelHighestLevel = 9;
constexpr int funnelSegments = 20;
constexpr float funnelAngleStep = 360.0f / funnelSegments;
// Snapping back just short of a full turn puts the last pair exactly on the first.
constexpr float funnelAngleWrap = 359.0f;

const GLfloat funnelSpecular[] = {0.2f, 0.2f, 1.0f, 0.8f};
const GLfloat funnelDiffuse[] = {1.0f, 1.0f, 1.0f, 1.0f};

// Parabolic profile: 2 at the waist, 12 at both ends.
float funnelRadius(int level) {
    return static_cast<float>(level * level / 10.0 + 2.0);
}

void drawFunnelBand(int level) {
    const float lowerRadius = funnelRadius(level);
    const float upperRadius = funnelRadius(level + 1);
    const float lowerHeight = static_cast<float>(level);
    const float upperHeight = static_cast<float>(level + 1);
    float angle = 0.0f;
    glBegin(GL_QUAD_STRIP);
    for (int pair = 0; pair <= funnelSegments; ++pair) {
        const CirclePoint upper = circlePoint(angle, upperRadius);
        glVertex3f(upper.x, upperHeight, upper.z);
        const CirclePoint lower = circlePoint(angle, lowerRadius);
        glVertex3f(lower.x, lowerHeight, lower.z);
        angle += funnelAngleStep;
        if (angle >= funnelAngleWrap) angle = 0.0f;
    }
    glEnd();
}

} // namespace

void emitFunnelGeometry() {
    for (int level = funnelLowestLevel; level <= funnelHighestLevel; ++level)
        drawFunnelBand(level);
}

void drawFunnel() {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glPushMatrix();
    setMaterials(GL_FRONT, funnelSpecular, funnelDiffuse);
    if (sceneLists.funnel)
        glCallList(sceneLists.funnel);
    else
        emitFunnelGeometry();
    glPopMatrix();
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}
