#include "scene/scene.h"
#include "scene/scene_geometry.h"

#include "audio/audio_features.h"

namespace {

const GLfloat ribbonDiffuse[] = {1.0f, 1.0f, 0.0f, 1.0f};

// Point i sits at the fraction i / n of its full offset and of the end height,
// so the ribbon narrows to the y axis at the origin. The mirrored ribbon is
// turned half way round the y axis.
void emitRibbonVertex(const WavePoint& point, int i, int n, float step, bool mirrored) {
    const float x = point.x / n * i;
    const float z = point.z / n * i;
    const float y = i * step;
    if (mirrored)
        glVertex3f(-x, y, -z);
    else
        glVertex3f(x, y, z);
}

} // namespace

void drawWaveRibbon(float topHeight, float bottomHeight, int pointCount, const WavePoint* points,
                    unsigned char mirrored) {
    const int n = pointCount - 1;
    const float upperStep = topHeight / n;
    beginTranslucency();
    glMaterialfv(GL_FRONT, GL_DIFFUSE, ribbonDiffuse);
    glPushMatrix();
    glBegin(GL_LINE_STRIP);
    for (int i = n; i >= 1; --i)
        emitRibbonVertex(points[i], i, n, upperStep, mirrored != 0);
    glVertex3f(0.0f, 0.0f, 0.0f);
    const float lowerStep = bottomHeight / n;
    for (int i = 1; i <= n; ++i)
        emitRibbonVertex(points[i], i, n, lowerStep, mirrored != 0);
    glEnd();
    glPopMatrix();
    endTranslucency();
}
