#include "scene/scene.h"
#include "scene/scene_geometry.h"

#include "shell/view_state.h"

#include <GL/glu.h>

namespace {

constexpr int sphereSlices = 50;
constexpr int sphereStacks = 50;

const GLfloat sphereSpecular[] = {1.0f, 0.6f, 0.0f, 0.3f};
const GLfloat sphereDiffuse[] = {0.6f, 0.6f, 0.0f, 1.0f};

// A GLU quadric holds no GL objects, so one made on first use serves every
// context for the life of the library; it goes back to the heap when the
// library is unloaded, since a host may load and unload it many times.
struct SphereQuadric {
    GLUquadric* quadric = nullptr;
    ~SphereQuadric() {
        if (quadric) gluDeleteQuadric(quadric);
    }
};

SphereQuadric sphereQuadric;

GLUquadric* solidSphereQuadric() {
    if (!sphereQuadric.quadric) {
        sphereQuadric.quadric = gluNewQuadric();
        gluQuadricNormals(sphereQuadric.quadric, GLU_SMOOTH);
        gluQuadricDrawStyle(sphereQuadric.quadric, GLU_FILL);
    }
    return sphereQuadric.quadric;
}

} // namespace

void emitSphereGeometry(float radius) {
    gluSphere(solidSphereQuadric(), static_cast<double>(radius), sphereSlices, sphereStacks);
}

// A translucent yellow sphere at the origin, the solid sphere GLUT would draw.
// At rest it is the same every frame and comes from a display list.
void drawSphere() {
    glPushMatrix();
    beginTranslucency();
    setMaterials(GL_FRONT, sphereSpecular, sphereDiffuse);
    if (sceneLists.restingSphere && viewState.sphereRadius == restingSphereRadius)
        glCallList(sceneLists.restingSphere);
    else
        emitSphereGeometry(viewState.sphereRadius);
    endTranslucency();
    glPopMatrix();
}
