#include "text_capture.h"

#include "text/text.h"

#include <GL/gl.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int floatsPerVertex = 11; // GL_3D_COLOR_TEXTURE: x y z, r g b a, s t r q

CapturedVertex readVertex(const GLfloat* at) {
    return {at[0], at[1], {at[3], at[4], at[5], at[6]}, at[7], at[8]};
}

bool sameVertex(const CapturedVertex& a, const CapturedVertex& b) {
    return a.x == b.x && a.y == b.y && a.s == b.s && a.t == b.t;
}

// The font cell a polygon samples, from the middle of its texture coordinates.
std::pair<int, int> cellOf(const std::vector<CapturedVertex>& polygon) {
    double s = 0;
    double t = 0;
    for (const CapturedVertex& v : polygon) {
        s += v.s;
        t += v.t;
    }
    s /= static_cast<double>(polygon.size());
    t /= static_cast<double>(polygon.size());
    return {static_cast<int>(std::floor(s / fontInfo.cellWidth + 1e-4)),
            static_cast<int>(std::floor(t / fontInfo.cellHeight + 1e-4))};
}

// Two polygons in a row come from one quad when they sample the same font
// cell and share a vertex (the quad's cut). Neighbouring glyphs share corner
// positions, and cells share borders, but never both at once.
bool sameQuad(const std::vector<CapturedVertex>& group,
              const std::vector<CapturedVertex>& polygon) {
    if (group.empty() || cellOf(group) != cellOf(polygon)) return false;
    return std::any_of(polygon.begin(), polygon.end(), [&](const CapturedVertex& v) {
        return std::any_of(group.begin(), group.end(),
                           [&](const CapturedVertex& g) { return sameVertex(g, v); });
    });
}

// The corners of the polygons one quad came back as (Mesa splits a quad into
// two triangles; clipping cuts them further): the extremes of its vertices.
CapturedQuad joinPolygons(const std::vector<CapturedVertex>& vertices) {
    auto pick = [&](bool top, bool right) {
        CapturedVertex best = vertices.front();
        for (const CapturedVertex& v : vertices) {
            const bool higher = top ? v.y > best.y : v.y < best.y;
            const bool further = right ? v.x > best.x : v.x < best.x;
            if (higher || (v.y == best.y && further)) best = v;
        }
        return best;
    };
    return {pick(false, false), pick(false, true), pick(true, true), pick(true, false)};
}

std::vector<std::vector<CapturedVertex>> readPolygons(const std::vector<GLfloat>& buffer,
                                                      int count) {
    std::vector<std::vector<CapturedVertex>> polygons;
    for (int at = 0; at < count;) {
        const GLenum token = static_cast<GLenum>(buffer[at++]);
        if (token == GL_PASS_THROUGH_TOKEN) {
            ++at;
        } else if (token == GL_POLYGON_TOKEN) {
            const int vertices = static_cast<int>(buffer[at++]);
            std::vector<CapturedVertex> polygon;
            for (int v = 0; v < vertices; ++v, at += floatsPerVertex)
                polygon.push_back(readVertex(&buffer[at]));
            polygons.push_back(polygon);
        } else {
            const int vertices = token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN ? 2 : 1;
            at += vertices * floatsPerVertex;
        }
    }
    return polygons;
}

} // namespace

int CapturedQuad::code() const {
    const int column = static_cast<int>(std::lround(bottomLeft.s * 16));
    const int row = 15 - static_cast<int>(std::lround(bottomLeft.t * 16));
    return row * 16 + column;
}

std::vector<CapturedQuad> captureQuads(const std::function<void()>& draw) {
    std::vector<GLfloat> buffer(1 << 21);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    const int count = glRenderMode(GL_RENDER);
    std::vector<CapturedQuad> quads;
    std::vector<CapturedVertex> group;
    for (const std::vector<CapturedVertex>& polygon : readPolygons(buffer, std::max(count, 0))) {
        if (!sameQuad(group, polygon) && !group.empty()) {
            quads.push_back(joinPolygons(group));
            group.clear();
        }
        group.insert(group.end(), polygon.begin(), polygon.end());
    }
    if (!group.empty()) quads.push_back(joinPolygons(group));
    return quads;
}

std::vector<CapturedLine> groupLines(const std::vector<CapturedQuad>& quads) {
    std::vector<CapturedLine> lines;
    for (const CapturedQuad& quad : quads) {
        const float* color = quad.topLeft.color;
        CapturedLine* last = lines.empty() ? nullptr : &lines.back();
        const bool continues =
            last && last->y == quad.y() && last->size == quad.size() &&
            last->x + last->size * static_cast<int>(last->text.size()) == quad.x() &&
            std::equal(color, color + 3, last->color);
        if (!continues)
            lines.push_back({quad.x(), quad.y(), quad.size(), {color[0], color[1], color[2]}, ""});
        lines.back().text += static_cast<char>(quad.code());
    }
    return lines;
}

bool writePng(const std::string& path, const std::vector<unsigned char>& rgba, int width,
              int height) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int row = 0; row < height; ++row)
            png_write_row(png, rgba.data() + static_cast<size_t>(row) * width * 4);
        png_write_end(png, nullptr);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}

void TextTest::SetUp() {
    GlTest::SetUp();
    fontInfo.rows = 16;
    fontInfo.columns = 16;
    textBuildGlyphTable();
    textResetState();
}
