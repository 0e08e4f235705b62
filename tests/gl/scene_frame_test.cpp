// Frame composition: what a frame leaves behind in GL and in the view state,
// a hidden scene, and how the orientation moves from frame to frame.
#include "gl_fixture.h"
#include "scene_feedback.h"

#include "audio/audio_features.h"
#include "scene/scene.h"
#include "shell/view_state.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace {

using GlStateSnapshot = std::map<std::string, std::vector<double>>;

std::vector<double> floats(GLenum name, int count) {
    std::vector<GLfloat> values(16);
    glGetFloatv(name, values.data());
    return {values.begin(), values.begin() + count};
}

std::vector<double> lightParameter(GLenum name, int count) {
    GLfloat values[4] = {};
    glGetLightfv(GL_LIGHT0, name, values);
    return {values, values + count};
}

std::vector<double> material(GLenum name) {
    GLfloat values[4] = {};
    glGetMaterialfv(GL_FRONT, name, values);
    return {values, values + 4};
}

// Every piece of GL state the frame or its elements set. The current colour
// and normal are left out: they carry over to the next frame on purpose.
GlStateSnapshot snapshot() {
    GlStateSnapshot state;
    const std::pair<const char*, GLenum> capabilities[] = {{"blend", GL_BLEND},
                                                           {"colour material", GL_COLOR_MATERIAL},
                                                           {"lighting", GL_LIGHTING},
                                                           {"light 0", GL_LIGHT0},
                                                           {"depth test", GL_DEPTH_TEST},
                                                           {"cull face", GL_CULL_FACE},
                                                           {"texture 2d", GL_TEXTURE_2D},
                                                           {"normalize", GL_NORMALIZE},
                                                           {"scissor test", GL_SCISSOR_TEST}};
    for (const auto& [name, capability] : capabilities)
        state[name] = {glIsEnabled(capability) * 1.0};
    const std::pair<const char*, std::pair<GLenum, int>> values[] = {
        {"blend src", {GL_BLEND_SRC, 1}},
        {"blend dst", {GL_BLEND_DST, 1}},
        {"depth mask", {GL_DEPTH_WRITEMASK, 1}},
        {"line width", {GL_LINE_WIDTH, 1}},
        {"polygon mode", {GL_POLYGON_MODE, 2}},
        {"colour material face", {GL_COLOR_MATERIAL_FACE, 1}},
        {"colour material parameter", {GL_COLOR_MATERIAL_PARAMETER, 1}},
        {"matrix mode", {GL_MATRIX_MODE, 1}},
        {"modelview depth", {GL_MODELVIEW_STACK_DEPTH, 1}},
        {"projection depth", {GL_PROJECTION_STACK_DEPTH, 1}},
        {"attribute depth", {GL_ATTRIB_STACK_DEPTH, 1}},
        {"modelview", {GL_MODELVIEW_MATRIX, 16}},
        {"projection", {GL_PROJECTION_MATRIX, 16}},
        {"viewport", {GL_VIEWPORT, 4}},
        {"ambient light model", {GL_LIGHT_MODEL_AMBIENT, 4}}};
    for (const auto& [name, query] : values)
        state[name] = floats(query.first, query.second);
    state["light 0 position"] = lightParameter(GL_POSITION, 4);
    state["light 0 spot cutoff"] = lightParameter(GL_SPOT_CUTOFF, 1);
    state["front diffuse"] = material(GL_DIFFUSE);
    state["front specular"] = material(GL_SPECULAR);
    return state;
}

class FrameTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        setSceneEntryState();
        resetSceneInputs();
    }
};

class FrameStateTest : public FrameTest, public ::testing::WithParamInterface<int> {};

TEST_P(FrameStateTest, FrameLeavesEveryGlStateItSetsAsItFoundIt) {
    holdSceneStill();
    viewState.ringMode = GetParam();
    audioFeatures.loudnessOffset = 12.0f;
    const GlStateSnapshot before = snapshot();
    drawScene();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(before.at("modelview depth"), std::vector<double>{1});
}

INSTANTIATE_TEST_SUITE_P(EveryRingMode, FrameStateTest, ::testing::Values(1, 2, 3));

bool allBlack(const std::vector<unsigned char>& pixels) {
    for (size_t i = 0; i < pixels.size(); i += 4)
        if (pixels[i] || pixels[i + 1] || pixels[i + 2]) return false;
    return true;
}

TEST_F(FrameTest, HiddenSceneClearsToBlackAndChangesNothing) {
    drawScene();
    ASSERT_FALSE(allBlack(readPixels()));
    viewState.sceneVisible = 0;
    viewState.ringMode = 1;
    viewState.sphereGrowing = 0;
    viewState.sphereRadius = 4.0f;
    audioFeatures.loudnessOffset = 12.0f;
    const GlStateSnapshot before = snapshot();
    const float loudness[] = {loudnessHistory[1], loudnessHistory[2]};

    drawScene();
    EXPECT_TRUE(allBlack(readPixels()));
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(viewState.rotationStepX, 2.0f);
    EXPECT_EQ(viewState.sphereRadius, 4.0f);
    EXPECT_EQ(bandRingHighlight, 0);
    EXPECT_EQ(audioFeatures.loudnessOffset, 12.0f);
    EXPECT_EQ(loudnessHistory[1], loudness[0]);
    EXPECT_EQ(loudnessHistory[2], loudness[1]);
}

TEST_F(FrameTest, WithoutAutoRotationConsecutiveFramesAreIdentical) {
    viewState.autoRotate = 0;
    viewState.ringMode = 2;
    for (int band = 0; band < audioBandCount; ++band)
        audioFeatures.bandLevels[band] = band * 0.5f;
    drawScene(); // uses up the steps left from the load values
    EXPECT_EQ(viewState.rotationStepY, 0.0f);
    drawScene();
    const auto first = readPixels();
    drawScene();
    EXPECT_TRUE(first == readPixels());
}

using Matrix = std::vector<double>;

Matrix modelview() {
    return floats(GL_MODELVIEW_MATRIX, 16);
}

// Column-major m times a rotation of degrees about x, worked out here in double.
Matrix timesRotationAboutX(const Matrix& m, double degrees) {
    const double c = std::cos(degrees * M_PI / 180.0);
    const double s = std::sin(degrees * M_PI / 180.0);
    Matrix product = m;
    for (int row = 0; row < 4; ++row) {
        product[4 + row] = m[4 + row] * c + m[8 + row] * s;
        product[8 + row] = -m[4 + row] * s + m[8 + row] * c;
    }
    return product;
}

TEST_F(FrameTest, OneArrowStepTurnsTheSceneByExactly2DegreesOnce) {
    viewState.autoRotate = 0;
    drawScene();
    const Matrix before = modelview();
    viewState.rotationStepX = 2.0f; // what VK_LEFT sets

    drawScene();
    const Matrix turned = modelview();
    const Matrix expected = timesRotationAboutX(before, 2.0);
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(turned[i], expected[i], 1e-5) << "element " << i;
    EXPECT_EQ(viewState.rotationStepX, 0.0f);

    drawScene();
    EXPECT_EQ(modelview(), turned);
}

TEST_F(FrameTest, AutoRotationTurnsAboutTheScenesOwnAxesEveryFrame) {
    const Matrix start = modelview();
    drawScene();
    drawScene();
    // Two frames of 2 degrees about x, y and z each, applied on the right.
    glPushMatrix();
    glLoadMatrixd(start.data());
    for (int frame = 0; frame < 2; ++frame) {
        glRotated(2.0, 1, 0, 0);
        glRotated(2.0, 0, 1, 0);
        glRotated(2.0, 0, 0, 1);
    }
    const Matrix expected = modelview();
    glPopMatrix();
    const Matrix turned = modelview();
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(turned[i], expected[i], 1e-4) << "element " << i;
}

TEST_F(FrameTest, OnlyTheSelectedRingDisplayAdvancesItsState) {
    holdSceneStill();
    audioFeatures.loudnessOffset = 12.0f;
    viewState.ringMode = 2;
    drawScene();
    EXPECT_EQ(bandRingHighlight, 0);
    EXPECT_EQ(audioFeatures.loudnessOffset, 12.0f);
    viewState.ringMode = 1;
    drawScene();
    EXPECT_EQ(bandRingHighlight, 1);
    EXPECT_EQ(audioFeatures.loudnessOffset, 12.0f);
    viewState.ringMode = 3;
    drawScene();
    EXPECT_EQ(bandRingHighlight, 1);
    EXPECT_EQ(loudnessHistory[1], 12.0f);
    EXPECT_EQ(audioFeatures.loudnessOffset, 0.0f);
}

// The translucent elements are depth-tested but write no depth: after a frame
// the depth buffer holds the opaque funnel and speakers alone, though here the
// history rings, the ribbons and an inflated sphere cover much of the view.
TEST_F(FrameTest, TranslucentElementsLeaveTheDepthBufferToTheOpaqueOnes) {
    holdSceneStill();
    viewState.ringMode = 3;
    for (int k = 1; k <= ringHistoryLength; ++k)
        loudnessHistory[k] = static_cast<float>(k % 4);
    for (int i = 0; i < audioWavePointCount; ++i)
        audioFeatures.wavePoints[i] = {2.0f + 0.04f * i, 3.0f};
    viewState.sphereGrowing = 1;
    viewState.sphereRadius = 6.0f;
    drawScene();
    const std::vector<float> depth = readDepth();
    const std::vector<unsigned char> pixels = readPixels();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawOpaqueElements();
    const std::vector<float> opaque = readDepth();

    int changedDepth = 0, coveredByTranslucentOnly = 0;
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x) {
            const unsigned char* p = &pixels[(static_cast<size_t>(y) * width() + x) * 4];
            const size_t bottomUp = static_cast<size_t>(height() - 1 - y) * width() + x;
            changedDepth += depth[bottomUp] != opaque[bottomUp];
            coveredByTranslucentOnly += opaque[bottomUp] == 1.0f && (p[0] || p[1] || p[2]);
        }
    EXPECT_EQ(changedDepth, 0);
    EXPECT_GT(coveredByTranslucentOnly, 20000);
}

} // namespace
