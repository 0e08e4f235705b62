#include "text_internal.h"

SavedGLState savedGLState;

namespace {

// Notes whether cap is on and turns it to wanted.
GLboolean forceCapability(GLenum cap, bool wanted) {
    const GLboolean was = glIsEnabled(cap);
    if (wanted && !was) glEnable(cap);
    if (!wanted && was) glDisable(cap);
    return was;
}

void textSaveAndForce() {
    SavedGLState& saved = savedGLState;
    glGetIntegerv(GL_POLYGON_MODE, saved.polygonMode);
    if (saved.polygonMode[0] != GL_FILL) glPolygonMode(GL_FRONT, GL_FILL);
    if (saved.polygonMode[1] != GL_FILL) glPolygonMode(GL_BACK, GL_FILL);
    saved.texture2D = forceCapability(GL_TEXTURE_2D, true);
    saved.depthTest = forceCapability(GL_DEPTH_TEST, false);
    saved.lighting = forceCapability(GL_LIGHTING, false);
    saved.scissorTest = forceCapability(GL_SCISSOR_TEST, true);
    glGetIntegerv(GL_MATRIX_MODE, &saved.matrixMode);
    saved.blend = glIsEnabled(GL_BLEND);
    glGetIntegerv(GL_BLEND_SRC, &saved.blendSource);
    glGetIntegerv(GL_BLEND_DST, &saved.blendDestination);
    if (!saved.blend) glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void textRestore() {
    const SavedGLState& saved = savedGLState;
    if (saved.polygonMode[0] != GL_FILL) glPolygonMode(GL_FRONT, saved.polygonMode[0]);
    if (saved.polygonMode[1] != GL_FILL) glPolygonMode(GL_BACK, saved.polygonMode[1]);
    if (saved.lighting) glEnable(GL_LIGHTING);
    if (!saved.blend) glDisable(GL_BLEND);
    glBlendFunc(saved.blendSource, saved.blendDestination);
    if (saved.depthTest) glEnable(GL_DEPTH_TEST);
    if (!saved.texture2D) glDisable(GL_TEXTURE_2D);
    if (!saved.scissorTest) glDisable(GL_SCISSOR_TEST);
    glMatrixMode(saved.matrixMode);
}

} // namespace

void textGLState(int mode) {
    if (mode == textGLSave) textSaveAndForce();
    if (mode == textGLRestore) textRestore();
}
