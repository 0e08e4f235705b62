#include "scene/ring_strip.h"
#include "scene/scene.h"

namespace {

constexpr int sectorPairs = 3;
constexpr int sectorRidgePair = 1;

const GLfloat sectorSpecular[] = {0.2f, 1.0f, 0.0f, 1.0f};
const GLfloat sectorDiffuse[] = {0.2f, 0.8f, 0.0f, 1.0f};

} // namespace

// One 48-degree sector of every ring, its middle edge raised into a ridge.
void drawRingSectors() {
    glPushMatrix();
    setMaterials(GL_FRONT, sectorSpecular, sectorDiffuse);
    for (int ring = ringCount; ring >= 1; --ring) {
        float angle = 0.0f;
        beginRingStrip();
        for (int pair = 0; pair < sectorPairs; ++pair) {
            if (pair == sectorRidgePair)
                emitRaisedPair(ring, angle);
            else
                emitFlatPair(ring, angle);
            angle += ringAngleStep;
        }
        glEnd();
    }
    glPopMatrix();
}
