// Display lists of the geometry that never changes, made with each new GL
// context: replaying them spares the per-vertex calls (and the sphere's
// trigonometry) every frame, and the vertices they hold are the very ones the
// calls would give, so every pixel stays the same.
#include "scene/scene.h"

#include <GL/gl.h>

SceneLists sceneLists;

namespace {

template <typename Emit> unsigned int compileList(Emit emit) {
    GLuint list = glGenLists(1);
    if (!list) return 0;
    glNewList(list, GL_COMPILE);
    emit();
    glEndList();
    return list;
}

} // namespace

void compileSceneLists() {
    sceneLists.funnel = compileList([] { emitFunnelGeometry(); });
    sceneLists.restingSphere = compileList([] { emitSphereGeometry(restingSphereRadius); });
}
