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

using Indices = std::vector<unsigned short>;

// Each segment a quad, widened across the line's minor axis in window pixels.
void drawWideLines(const std::vector<Vertex>& v, const Indices& segments, float width) {
    std::vector<Vertex> corners;
    Indices triangles;
    const float half = width * 0.5f;
    for (size_t i = 0; i + 1 < segments.size(); i += 2) {
        const Vertex& a = v[segments[i]];
        const Vertex& b = v[segments[i + 1]];
        if (a.clip[3] <= 0 || b.clip[3] <= 0) continue;
        float pa[2], pb[2];
        windowPosition(a, pa);
        windowPosition(b, pb);
        const bool xMajor = std::fabs(pb[0] - pa[0]) >= std::fabs(pb[1] - pa[1]);
        const float dx = xMajor ? 0 : half, dy = xMajor ? half : 0;
        const unsigned short first = static_cast<unsigned short>(corners.size());
        corners.push_back(shifted(a, -dx, -dy));
        corners.push_back(shifted(a, dx, dy));
        corners.push_back(shifted(b, dx, dy));
        corners.push_back(shifted(b, -dx, -dy));
        for (int k : {0, 1, 2, 0, 2, 3}) triangles.push_back(static_cast<unsigned short>(first + k));
    }
    batchIndexed(BatchKind::triangles, corners, triangles);
}

void drawSegments(const std::vector<Vertex>& v, const Indices& segments) {
    const float width = layer().lineWidth;
    if (width > 1.5f) return drawWideLines(v, segments, width);
    batchIndexed(BatchKind::lines, v, segments);
}

// Polygons given as corner lists: filled as fans, or outlined in GL_LINE mode.
void drawPolygons(const std::vector<Vertex>& v, const std::vector<Indices>& polygons) {
    Indices out;
    const bool outline = layer().polygonMode[0] == GL_LINE;
    for (const Indices& corners : polygons)
        for (size_t i = 0; i < corners.size(); ++i) {
            if (outline) {
                out.push_back(corners[i]);
                out.push_back(corners[(i + 1) % corners.size()]);
            } else if (i >= 2) {
                out.insert(out.end(), {corners[0], corners[i - 1], corners[i]});
            }
        }
    if (outline)
        drawSegments(v, out);
    else
        batchIndexed(BatchKind::triangles, v, out);
}

std::vector<Indices> polygonsOf(GLenum mode, unsigned short n) {
    std::vector<Indices> polygons;
    auto add = [&polygons](std::initializer_list<int> corners) {
        Indices polygon;
        for (int c : corners) polygon.push_back(static_cast<unsigned short>(c));
        polygons.push_back(polygon);
    };
    for (int i = 0; i < n; ++i) {
        if (mode == GL_TRIANGLES && i % 3 == 0 && i + 2 < n) add({i, i + 1, i + 2});
        if (mode == GL_TRIANGLE_STRIP && i + 2 < n)
            i % 2 ? add({i, i + 2, i + 1}) : add({i, i + 1, i + 2});
        if (mode == GL_TRIANGLE_FAN && i >= 1 && i + 1 < n) add({0, i, i + 1});
        if (mode == GL_QUADS && i % 4 == 0 && i + 3 < n) add({i, i + 1, i + 2, i + 3});
        if (mode == GL_QUAD_STRIP && i % 2 == 0 && i + 3 < n) add({i, i + 1, i + 3, i + 2});
    }
    return polygons;
}

} // namespace

void assemblePrimitive(GLenum mode, const std::vector<Vertex>& v) {
    if (v.empty() || v.size() > 65535) return;
    const unsigned short n = static_cast<unsigned short>(v.size());
    if (mode == GL_LINES || mode == GL_LINE_STRIP || mode == GL_LINE_LOOP) {
        Indices segments;
        auto add = [&segments](int a, int b) {
            segments.push_back(static_cast<unsigned short>(a));
            segments.push_back(static_cast<unsigned short>(b));
        };
        const int step = mode == GL_LINES ? 2 : 1;
        for (int i = 0; i + 1 < n; i += step) add(i, i + 1);
        if (mode == GL_LINE_LOOP && n > 2) add(n - 1, 0);
        return drawSegments(v, segments);
    }
    drawPolygons(v, polygonsOf(mode, n));
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
