#include "scene/ring_strip.h"
#include "scene/scene.h"

namespace {

const GLfloat bandSpecular[] = {0.8f, 0.0f, 0.8f, 1.0f};
const GLfloat bandDiffuse[] = {0.8f, 0.0f, 0.1f, 1.0f};
const GLfloat baseColour[] = {0.8f, 0.0f, 1.0f, 0.4f};
const GLfloat highlightColour[] = {0.8f, 0.0f, 0.8f, 1.0f};

void emitHighlightedPair(int ring, float angle) {
    glColor4fv(highlightColour);
    emitRaisedPair(ring, angle);
    glColor4fv(baseColour);
}

// 16 pairs from 0 to 360 degrees and a closing pair back at 0. The highlight
// index stops at 14, so the pair at 360 degrees always stays flat; at index 0 the
// closing pair rises with pair 0, leaving a wall between it and pair 15.
void drawBandRing(int ring) {
    float angle = 0.0f;
    beginRingStrip();
    for (int pair = 0; pair <= ringSegments; ++pair) {
        if (pair == bandRingHighlight)
            emitHighlightedPair(ring, angle);
        else
            emitFlatPair(ring, angle);
        angle += ringAngleStep;
    }
    if (bandRingHighlight == 0)
        emitHighlightedPair(ring, 0.0f);
    else
        emitFlatPair(ring, 0.0f);
    glEnd();
    glColor4fv(baseColour);
}

} // namespace

void drawBandRings() {
    glPushMatrix();
    beginTranslucency();
    setMaterials(GL_FRONT, bandSpecular, bandDiffuse);
    // The second selection replaces the first: the colour drives the specular.
    glColorMaterial(GL_FRONT, GL_DIFFUSE);
    glColorMaterial(GL_FRONT, GL_SPECULAR);
    glEnable(GL_COLOR_MATERIAL);
    glColor4fv(baseColour);
    for (int ring = ringCount; ring >= 1; --ring)
        drawBandRing(ring);
    bandRingHighlight = (bandRingHighlight + 1) % ringSegments;
    glPopMatrix();
    glDisable(GL_COLOR_MATERIAL);
    endTranslucency();
}
