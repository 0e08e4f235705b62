// glBegin to glEnd: each vertex is transformed and lit as it is given, with
// the current normal, colour and material, so materials and normals set
// between vertices act as GL says. glEnd turns the primitive into triangles
// or lines: outlines where the polygon mode is GL_LINE, and quads, widened
// across the line's minor axis as Mesa widens them, for lines wider than a
// pixel, since WebGL draws lines one pixel wide only.
#include "gl_layer.h"
#include "webgl_batch.h"

#include <cmath>
#include <cstring>

namespace zdgl {
namespace {

void emitVertex(float x, float y, float z, float w) {
    GLLayer& gl = layer();
    const float object[4] = {x, y, z, w};
    Vertex vertex;
    transformPoint(gl.primitiveTransform, object, vertex.clip);
    if (gl.light.lighting) {
        float eye[4];
        transformPoint(gl.modelview[gl.modelviewDepth], object, eye);
        const float* n = gl.primitiveNormals;
        const float normal[3] = {
            n[0] * gl.normal[0] + n[3] * gl.normal[1] + n[6] * gl.normal[2],
            n[1] * gl.normal[0] + n[4] * gl.normal[1] + n[7] * gl.normal[2],
            n[2] * gl.normal[0] + n[5] * gl.normal[1] + n[8] * gl.normal[2]};
        lightVertex(eye, normal, vertex.color);
    } else {
        for (int i = 0; i < 4; ++i) vertex.color[i] = std::fmin(std::fmax(gl.color[i], 0.0f), 1.0f);
    }
    std::memcpy(vertex.texCoord, gl.texCoord, sizeof vertex.texCoord);
    gl.vertices.push_back(vertex);
}

// Window position of a vertex, for widening lines.
void windowPosition(const Vertex& v, float out[2]) {
    const GLint* viewport = layer().viewport;
    out[0] = (v.clip[0] / v.clip[3] * 0.5f + 0.5f) * viewport[2];
    out[1] = (v.clip[1] / v.clip[3] * 0.5f + 0.5f) * viewport[3];
}

Vertex shifted(const Vertex& v, float dx, float dy) {
    const GLint* viewport = layer().viewport;
    Vertex out = v;
    out.clip[0] += dx * 2.0f / viewport[2] * v.clip[3];
    out.clip[1] += dy * 2.0f / viewport[3] * v.clip[3];
    return out;
}

void wideSegment(const Vertex& a, const Vertex& b, float width) {
    if (a.clip[3] <= 0 || b.clip[3] <= 0) return;
    float pa[2], pb[2];
    windowPosition(a, pa);
    windowPosition(b, pb);
    const float half = width * 0.5f;
    const bool xMajor = std::fabs(pb[0] - pa[0]) >= std::fabs(pb[1] - pa[1]);
    const float dx = xMajor ? 0 : half, dy = xMajor ? half : 0;
    const Vertex quad[6] = {shifted(a, -dx, -dy), shifted(a, dx, dy), shifted(b, dx, dy),
                            shifted(a, -dx, -dy), shifted(b, dx, dy), shifted(b, -dx, -dy)};
    batchVertices(BatchKind::triangles, quad, 6);
}

void segment(const Vertex& a, const Vertex& b) {
    const float width = layer().lineWidth;
    if (width > 1.5f) return wideSegment(a, b, width);
    const Vertex line[2] = {a, b};
    batchVertices(BatchKind::lines, line, 2);
}

void polygon(const Vertex* const* corners, int count) {
    if (layer().polygonMode[0] == GL_LINE) {
        for (int i = 0; i < count; ++i) segment(*corners[i], *corners[(i + 1) % count]);
        return;
    }
    for (int i = 1; i + 1 < count; ++i) {
        const Vertex triangle[3] = {*corners[0], *corners[i], *corners[i + 1]};
        batchVertices(BatchKind::triangles, triangle, 3);
    }
}

void assembleLines(GLenum mode, const std::vector<Vertex>& v) {
    const size_t n = v.size();
    if (mode == GL_LINES) {
        for (size_t i = 0; i + 1 < n; i += 2) segment(v[i], v[i + 1]);
        return;
    }
    for (size_t i = 0; i + 1 < n; ++i) segment(v[i], v[i + 1]);
    if (mode == GL_LINE_LOOP && n > 2) segment(v[n - 1], v[0]);
}

} // namespace

void assemblePrimitive(GLenum mode, const std::vector<Vertex>& v) {
    const size_t n = v.size();
    switch (mode) {
    case GL_LINES:
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
        return assembleLines(mode, v);
    case GL_TRIANGLES:
        for (size_t i = 0; i + 2 < n; i += 3) {
            const Vertex* corners[3] = {&v[i], &v[i + 1], &v[i + 2]};
            polygon(corners, 3);
        }
        return;
    case GL_TRIANGLE_STRIP:
        for (size_t i = 0; i + 2 < n; ++i) {
            const bool odd = i % 2 != 0;
            const Vertex* corners[3] = {&v[i], &v[odd ? i + 2 : i + 1], &v[odd ? i + 1 : i + 2]};
            polygon(corners, 3);
        }
        return;
    case GL_TRIANGLE_FAN:
        for (size_t i = 1; i + 1 < n; ++i) {
            const Vertex* corners[3] = {&v[0], &v[i], &v[i + 1]};
            polygon(corners, 3);
        }
        return;
    case GL_QUADS:
        for (size_t i = 0; i + 3 < n; i += 4) {
            const Vertex* corners[4] = {&v[i], &v[i + 1], &v[i + 2], &v[i + 3]};
            polygon(corners, 4);
        }
        return;
    case GL_QUAD_STRIP:
        for (size_t i = 0; i + 3 < n; i += 2) {
            const Vertex* corners[4] = {&v[i], &v[i + 1], &v[i + 3], &v[i + 2]};
            polygon(corners, 4);
        }
        return;
    default:
        return;
    }
}

} // namespace zdgl

using namespace zdgl;

extern "C" {

void glBegin(GLenum mode) {
    if (compilingList()) return recordBegin(mode);
    GLLayer& gl = layer();
    gl.primitive = mode;
    gl.vertices.clear();
    gl.primitiveTransform = modelviewProjection();
    std::memcpy(gl.primitiveNormals, normalMatrix(), sizeof gl.primitiveNormals);
}

void glEnd(void) {
    if (compilingList()) return recordEnd();
    GLLayer& gl = layer();
    if (!gl.primitive) return;
    assemblePrimitive(gl.primitive, gl.vertices);
    gl.primitive = 0;
    gl.vertices.clear();
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (compilingList()) return recordVertex(x, y, z);
    if (layer().primitive) emitVertex(x, y, z, 1);
}

void glVertex2i(GLint x, GLint y) {
    glVertex3f(float(x), float(y), 0);
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    if (compilingList()) return recordNormal(x, y, z);
    GLLayer& gl = layer();
    gl.normal[0] = x, gl.normal[1] = y, gl.normal[2] = z;
}

void glColor4fv(const GLfloat* color) {
    if (compilingList()) return recordColor(color);
    std::memcpy(layer().color, color, 4 * sizeof(float));
    applyColorMaterial();
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    if (compilingList()) return recordTexCoord(s, t);
    layer().texCoord[0] = s, layer().texCoord[1] = t;
}

} // extern "C"
