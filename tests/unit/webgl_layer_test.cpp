// The web page's OpenGL 1.1 layer against what Mesa computes for the same
// calls (the figures below were read back from Mesa 22.3 through feedback
// mode and glGetFloatv), and the primitives it hands to WebGL.
#include "webgl_capture.h"

#include "../../platform/webgl/gl_layer.h"

#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cmath>

namespace {

class WebglLayer : public ::testing::Test {
  protected:
    void SetUp() override {
        zdgl::resetLayer();
        capturedPrimitives().clear();
        glViewport(0, 0, 100, 100);
    }
    const zdgl::Vertex& onlyVertex() {
        EXPECT_EQ(capturedPrimitives().size(), 1u);
        return capturedPrimitives().back().vertices.front();
    }
};

void spotLitScene(float shininess) {
    const GLfloat ambient[] = {1, 1, 1, 1}, position[] = {40, 40, 0, 1}, direction[] = {-1, -1, 0};
    const GLfloat specular[] = {0, 1, 0, 1}, diffuse[] = {1, 0, 0, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 30);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 20);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    glNormal3f(0, 1, 0);
}

} // namespace

// Red is the diffuse term, green the specular one; a zero shininess gives
// Mesa's pow(n.L, n.L), which every material of the scene has.
TEST_F(WebglLayer, the_spot_light_lights_a_vertex_as_mesa_does) {
    struct Case {
        float shininess, x, y, z, red, green;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0.907108f, 0.982656f}, {0, 5, 0, 0, 0.919933f, 0.972389f},
        {0, 0, 0, 5, 0.851626f, 0.922763f}, {0, -5, 0, -5, 0.797125f, 0.886406f},
        {0, 3, 2, 1, 0.912535f, 0.983252f}, {1, 0, 0, 0, 0.907108f, 0.700001f},
        {1, -5, 0, -5, 0.797125f, 0.605774f},
    };
    for (const Case& c : cases) {
        SetUp();
        spotLitScene(c.shininess);
        glBegin(GL_LINES);
        glVertex3f(c.x, c.y, c.z);
        glVertex3f(c.x, c.y, c.z);
        glEnd();
        const zdgl::Vertex& v = onlyVertex();
        EXPECT_NEAR(v.color[0], c.red, 2e-5) << c.shininess << " at " << c.x << "," << c.y << "," << c.z;
        EXPECT_NEAR(v.color[1], c.green, 2e-5) << c.shininess << " at " << c.x << "," << c.y << "," << c.z;
        EXPECT_FLOAT_EQ(v.color[2], 0.2f);
    }
}

// The plug-in never reloads its modelview: 500 frames of rotation must round
// bit for bit as Mesa's do, or the scene drifts away from the desktop's.
TEST_F(WebglLayer, five_hundred_frames_of_rotation_round_as_mesa_rounds_them) {
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 4.0 / 3.0, 0.1f, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0, 0, -50);
    glRotatef(20, 1, 0, 0);
    for (int frame = 0; frame < 500; ++frame) {
        glRotatef(2, 1, 0, 0);
        glRotatef(2, 0, 1, 0);
        glRotatef(2, 0, 0, 1);
    }
    const float modelview[16] = {
        0x1.61731cp-1f,  -0x1.13949cp-1f, 0x1.ef183ep-2f, 0, 0x1.4cc178p-1f, 0x1.828c06p-1f,
        -0x1.6652p-4f,   0,               -0x1.45902ep-2f, 0x1.7f9a38p-2f, 0x1.bdf198p-1f, 0,
        0,               0,               -0x1.9p+5f,      1};
    const float projection[16] = {0x1.cf876cp+0f, 0, 0, 0, 0, 0x1.3504f4p+1f, 0, 0, 0, 0,
                                  -0x1.008334p+0f, -1, 0, 0, -0x1.9a029p-3f, 0};
    const zdgl::GLLayer& gl = zdgl::layer();
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(gl.modelview[0].m[i], modelview[i]) << "modelview " << i;
        EXPECT_EQ(gl.projection[0].m[i], projection[i]) << "projection " << i;
    }
}

// WebGL draws lines one pixel wide: a 3-pixel line becomes a quad reaching
// 1.5 pixels either side across its minor axis, as Mesa widens lines.
TEST_F(WebglLayer, wide_lines_become_quads_across_their_minor_axis) {
    struct Case {
        float x0, y0, x1, y1; // window pixels of a 100 by 100 viewport
        bool xMajor;
    };
    const Case cases[] = {{10, 10, 90, 30, true}, {10, 10, 30, 90, false}};
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 100, 0, 100, -1, 1);
    glLineWidth(3);
    for (const Case& c : cases) {
        capturedPrimitives().clear();
        glBegin(GL_LINE_STRIP);
        glVertex3f(c.x0, c.y0, 0);
        glVertex3f(c.x1, c.y1, 0);
        glEnd();
        ASSERT_EQ(capturedPrimitives().size(), 1u);
        const CapturedPrimitive& quad = capturedPrimitives().front();
        EXPECT_EQ(quad.kind, zdgl::BatchKind::triangles);
        ASSERT_EQ(quad.vertices.size(), 6u);
        const float below = (quad.vertices[0].clip[c.xMajor ? 1 : 0] + 1) * 50;
        const float above = (quad.vertices[1].clip[c.xMajor ? 1 : 0] + 1) * 50;
        EXPECT_NEAR(below, (c.xMajor ? c.y0 : c.x0) - 1.5f, 1e-4);
        EXPECT_NEAR(above, (c.xMajor ? c.y0 : c.x0) + 1.5f, 1e-4);
        EXPECT_NEAR((quad.vertices[0].clip[c.xMajor ? 0 : 1] + 1) * 50, c.xMajor ? c.x0 : c.y0, 1e-4);
    }
}

// The funnel: a quad strip in GL_LINE polygon mode is drawn as each quad's
// outline, and the text renderer can ask the mode back.
TEST_F(WebglLayer, line_polygon_mode_outlines_each_quad_and_is_reported) {
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glBegin(GL_QUAD_STRIP);
    for (int i = 0; i < 6; ++i) glVertex3f(float(i / 2) * 0.1f, float(i % 2) * 0.1f, 0);
    glEnd();
    ASSERT_EQ(capturedPrimitives().size(), 1u);
    EXPECT_EQ(capturedPrimitives()[0].kind, zdgl::BatchKind::lines);
    EXPECT_EQ(capturedPrimitives()[0].vertices.size(), 2u * 4 * 2); // two quads, four edges
    GLint mode[2] = {0, 0};
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_LINE);
    EXPECT_EQ(mode[1], GL_LINE);
}

// GLU's sphere: a fan at each pole and a quad strip for each stack between,
// whether drawn at once or from a display list, which leaves the last normal
// current for what follows, as GL does.
TEST_F(WebglLayer, a_listed_sphere_draws_as_gluSphere_and_leaves_its_last_normal) {
    GLUquadric* quadric = gluNewQuadric();
    gluSphere(quadric, 1.0, 50, 50);
    const std::vector<CapturedPrimitive> direct = capturedPrimitives();
    ASSERT_EQ(direct.size(), 2u + 48u);
    EXPECT_EQ(direct[0].vertices.size(), 3u * 50); // fans of 52 vertices: 50 triangles
    EXPECT_EQ(direct[2].vertices.size(), 3u * 100); // strips of 102 vertices: 100 triangles
    const float lastNormal[3] = {zdgl::layer().normal[0], zdgl::layer().normal[1], zdgl::layer().normal[2]};
    glNormal3f(0, 0, 1);
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    gluSphere(quadric, 1.0, 50, 50);
    glEndList();
    EXPECT_FLOAT_EQ(zdgl::layer().normal[2], 1.0f) << "compiling executes nothing";
    capturedPrimitives().clear();
    glCallList(list);
    ASSERT_EQ(capturedPrimitives().size(), direct.size());
    for (size_t p = 0; p < direct.size(); ++p)
        for (size_t v = 0; v < direct[p].vertices.size(); ++v)
            for (int k = 0; k < 4; ++k)
                ASSERT_EQ(capturedPrimitives()[p].vertices[v].clip[k], direct[p].vertices[v].clip[k]);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(zdgl::layer().normal[k], lastNormal[k]);
    gluDeleteQuadric(quadric);
}

// glPopAttrib brings back the light, the materials and the blending that
// glPushAttrib saw; colour material writes the colour into the material.
TEST_F(WebglLayer, pop_attrib_restores_lighting_and_blending) {
    spotLitScene(0);
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_LIGHTING_BIT);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);
    glColorMaterial(GL_FRONT, GL_SPECULAR);
    glEnable(GL_COLOR_MATERIAL);
    const GLfloat blue[] = {0, 0, 1, 1};
    glColor4fv(blue);
    EXPECT_EQ(zdgl::layer().light.front.specular[2], 1.0f);
    const GLfloat moved[] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, moved);
    glPopAttrib();
    const zdgl::GLLayer& gl = zdgl::layer();
    EXPECT_FALSE(gl.colorBuffer.blend);
    EXPECT_FALSE(gl.light.colorMaterial);
    EXPECT_EQ(gl.light.front.specular[1], 1.0f);
    EXPECT_EQ(gl.light.front.specular[2], 0.0f);
    EXPECT_EQ(gl.light.lights[0].position[0], 40.0f);
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    EXPECT_EQ(source, GL_ONE);
}
