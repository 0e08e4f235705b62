// A print forces the state text needs and hands the caller's state back:
// what it saves comes back, what it doesn't save stays as the print left it.
#include "text_capture.h"

#include "text/text_internal.h"

#include <GL/gl.h>

#include <array>

namespace {

std::array<GLfloat, 16> matrix(GLenum which) {
    std::array<GLfloat, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}

GLint integer(GLenum which) {
    GLint value = 0;
    glGetIntegerv(which, &value);
    return value;
}

// The scene's kind of state: a perspective camera, a turned modelview,
// lighting and depth on, wire-frame polygons.
void setSceneState() {
    glMatrixMode(GL_PROJECTION);
    glFrustum(-0.1, 0.1, -0.075, 0.075, 0.1, 100);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0, 0, -50);
    glRotatef(20, 1, 0, 0);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glPolygonMode(GL_FRONT, GL_LINE);
    glPolygonMode(GL_BACK, GL_POINT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_COLOR);
}

} // namespace

using TextGLState = TextTest;

TEST_F(TextGLState, printLeavesTheScenesStateAsItFoundIt) {
    setSceneState();
    const auto projection = matrix(GL_PROJECTION_MATRIX);
    const auto modelview = matrix(GL_MODELVIEW_MATRIX);
    textPrint(10, 10, "state");

    EXPECT_EQ(matrix(GL_PROJECTION_MATRIX), projection);
    EXPECT_EQ(matrix(GL_MODELVIEW_MATRIX), modelview);
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_COLOR);
    GLint modes[2];
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_LINE);
    EXPECT_EQ(modes[1], GL_POINT);
    EXPECT_EQ(integer(GL_MODELVIEW_STACK_DEPTH), 1);
    EXPECT_EQ(integer(GL_PROJECTION_STACK_DEPTH), 1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextGLState, printKeepsStateTheCallerAlreadyHadOnAndItsMatrixMode) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_SCISSOR_TEST);
    glEnable(GL_BLEND);
    glMatrixMode(GL_TEXTURE);
    textPrint(10, 10, "on");
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_MATRIX_MODE), GL_TEXTURE);
}

TEST_F(TextGLState, glyphsLandOnWindowPixelsWhateverTheCamera) {
    setSceneState();
    const auto quads = captureQuads([] { textPrint(100, 200, "AB"); });
    ASSERT_EQ(quads.size(), 2u);
    EXPECT_EQ(quads[0].x(), 100);
    EXPECT_EQ(quads[0].y(), 200);
    EXPECT_EQ(quads[1].x(), 112);
    // Wire-frame polygon mode would have sent lines, not filled triangles.
    EXPECT_EQ(quads[1].size(), 12);
}

TEST_F(TextGLState, scissorBoxBindingAndColourStayAsThePrintLeftThem) {
    GLuint other = 0;
    glGenTextures(1, &other);
    glBindTexture(GL_TEXTURE_2D, other);
    glGenTextures(1, &fontInfo.texture);
    textSetSize(10);
    textSetColor(0, 1, 0);
    textPrint(20, 30, "ab");
    GLint box[4];
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[0], 20);
    EXPECT_EQ(box[2], 20);
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_2D), static_cast<GLint>(fontInfo.texture));
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[0], 0);
    EXPECT_FLOAT_EQ(color[1], 1);
}

TEST_F(TextGLState, saveForcesTheTextStateAndRestorePutsItBack) {
    glEnable(GL_DEPTH_TEST);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    textGLState(textGLSave);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(integer(GL_BLEND_SRC), GL_SRC_ALPHA);
    EXPECT_EQ(integer(GL_BLEND_DST), GL_ONE_MINUS_SRC_ALPHA);
    GLint modes[2];
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(modes[1], GL_FILL);
    textGLState(3);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    textGLState(textGLRestore);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_LINE);
}
