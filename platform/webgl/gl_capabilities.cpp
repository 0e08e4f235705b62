// Capabilities, the few queries the plug-in makes, and the state it saves
// and restores with glPushAttrib.
#include "gl_layer.h"
#include "webgl_batch.h"

namespace zdgl {

namespace {

GLLayer* freshLayer() {
    GLLayer* gl = new GLLayer;
    for (Matrix& m : gl->modelview) m = identityMatrix();
    for (Matrix& m : gl->projection) m = identityMatrix();
    return gl;
}

GLLayer* current = freshLayer();

} // namespace

GLLayer& layer() {
    return *current;
}

void resetLayer() {
    webglReset();
    deleteAllLists();
    deleteAllTextures();
    delete current;
    current = freshLayer();
}

namespace {

bool* capability(GLenum cap) {
    GLLayer& gl = layer();
    switch (cap) {
    case GL_BLEND:
        return &gl.colorBuffer.blend;
    case GL_DEPTH_TEST:
        return &gl.depthTest;
    case GL_SCISSOR_TEST:
        return &gl.scissorTest;
    case GL_TEXTURE_2D:
        return &gl.texture2D;
    case GL_LIGHTING:
        return &gl.light.lighting;
    case GL_LIGHT0:
        return &gl.light.lights[0].enabled;
    case GL_COLOR_MATERIAL:
        return &gl.light.colorMaterial;
    default:
        return nullptr;
    }
}

void setCapability(GLenum cap, bool on) {
    bool* flag = capability(cap);
    if (!flag || *flag == on) return;
    flushBatch();
    *flag = on;
    if (cap == GL_COLOR_MATERIAL && on) applyColorMaterial();
}

} // namespace
} // namespace zdgl

using namespace zdgl;

extern "C" {

void glEnable(GLenum cap) {
    setCapability(cap, true);
}

void glDisable(GLenum cap) {
    setCapability(cap, false);
}

GLboolean glIsEnabled(GLenum cap) {
    const bool* flag = capability(cap);
    return flag && *flag ? GL_TRUE : GL_FALSE;
}

void glGetIntegerv(GLenum name, GLint* values) {
    GLLayer& gl = layer();
    switch (name) {
    case GL_VIEWPORT:
        for (int i = 0; i < 4; ++i) values[i] = gl.viewport[i];
        return;
    case GL_POLYGON_MODE:
        values[0] = GLint(gl.polygonMode[0]), values[1] = GLint(gl.polygonMode[1]);
        return;
    case GL_MATRIX_MODE:
        values[0] = GLint(gl.matrixMode);
        return;
    case GL_BLEND_SRC:
        values[0] = GLint(gl.colorBuffer.blendSource);
        return;
    case GL_BLEND_DST:
        values[0] = GLint(gl.colorBuffer.blendDestination);
        return;
    default:
        values[0] = 0;
    }
}

void glBlendFunc(GLenum source, GLenum destination) {
    ColorBufferState& state = layer().colorBuffer;
    if (state.blendSource == source && state.blendDestination == destination) return;
    flushBatch();
    state.blendSource = source;
    state.blendDestination = destination;
}

void glDepthMask(GLboolean flag) {
    if (layer().depthMask == (flag != GL_FALSE)) return;
    flushBatch();
    layer().depthMask = flag != GL_FALSE;
}

void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    flushBatch();
    GLint* box = layer().scissor;
    box[0] = x, box[1] = y, box[2] = width, box[3] = height;
}

void glPolygonMode(GLenum face, GLenum mode) {
    GLLayer& gl = layer();
    if (face != GL_BACK) gl.polygonMode[0] = mode;
    if (face != GL_FRONT) gl.polygonMode[1] = mode;
}

void glLineWidth(GLfloat width) {
    if (width > 0) layer().lineWidth = width;
}

void glClear(GLbitfield mask) {
    flushBatch();
    webglClear(mask);
}

void glPushAttrib(GLbitfield mask) {
    GLLayer& gl = layer();
    gl.savedMasks.push_back(mask);
    gl.savedLighting.push_back(gl.light);
    gl.savedColorBuffer.push_back(gl.colorBuffer);
}

void glPopAttrib(void) {
    GLLayer& gl = layer();
    if (gl.savedMasks.empty()) return;
    flushBatch();
    const GLbitfield mask = gl.savedMasks.back();
    if (mask & GL_LIGHTING_BIT) gl.light = gl.savedLighting.back();
    if (mask & GL_COLOR_BUFFER_BIT) gl.colorBuffer = gl.savedColorBuffer.back();
    gl.savedMasks.pop_back();
    gl.savedLighting.pop_back();
    gl.savedColorBuffer.pop_back();
}

void glFlush(void) {
    flushBatch();
}

void glFinish(void) {
    flushBatch();
}

} // extern "C"
