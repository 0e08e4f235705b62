#include "scene/ring_strip.h"
#include "scene/scene.h"

namespace {

const GLfloat historySpecular[] = {1.0f, 0.8f, 0.0f, 1.0f};
const GLfloat historyDiffuse[] = {0.5f, 0.2f, 0.0f, 1.0f};

void emitHistoryRing(int ring, float outerHeight, float innerHeight) {
    float angle = 0.0f;
    for (int pair = 0; pair <= ringSegments; ++pair) {
        emitRingPair(ring, angle, outerHeight, innerHeight);
        angle += ringAngleStep;
    }
}

// The history moves out one entry per ring as the rings are drawn, so each
// ring's outer rim shows the entry it has just pushed outwards.
void drawOuterHistoryRing(int ring) {
    beginRingStrip();
    loudnessHistory[ring + 1] = loudnessHistory[ring];
    emitHistoryRing(ring, loudnessHistory[ring + 1], loudnessHistory[ring - 1]);
    glEnd();
}

// The innermost ring takes in this frame's loudness offset and clears it, so a
// repaint without fresh audio shifts in 0. It keeps the previous ring's normal.
void drawInnermostHistoryRing() {
    glBegin(GL_TRIANGLE_STRIP);
    loudnessHistory[2] = loudnessHistory[1];
    loudnessHistory[1] = audioFeatures.loudnessOffset;
    audioFeatures.loudnessOffset = 0.0f;
    emitHistoryRing(1, loudnessHistory[2], loudnessHistory[1]);
    glEnd();
}

} // namespace

void drawHistoryRings() {
    glPushMatrix();
    beginTranslucency();
    setMaterials(GL_FRONT_AND_BACK, historySpecular, historyDiffuse);
    for (int ring = ringCount; ring >= 2; --ring)
        drawOuterHistoryRing(ring);
    drawInnermostHistoryRing();
    glPopMatrix();
    endTranslucency();
}
