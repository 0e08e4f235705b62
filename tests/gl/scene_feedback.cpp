#include "scene_feedback.h"

#include <gtest/gtest.h>

#include "audio/audio_features.h"
#include "scene/scene.h"
#include "shell/view_state.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstddef>

namespace {

constexpr float planeHalfWidth = 1024.0f;
constexpr float depthHalfRange = 512.0f;
constexpr std::size_t feedbackCapacity = 4 << 20;

// Window x, the one coordinate that feedback hands back bit for bit, carries
// the scene's z; window y (flipped for the window's framebuffer) carries x and
// the depth carries the height, both to about 1e-4.
const GLfloat sceneToWindow[16] = {0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0, 1};

void enterObjectView() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-planeHalfWidth, planeHalfWidth, -planeHalfWidth, planeHalfWidth, -depthHalfRange,
            depthHalfRange);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadMatrixf(sceneToWindow);
    // Centred on the window origin, so the viewport maps by a power of two alone.
    const int side = static_cast<int>(2 * planeHalfWidth);
    glViewport(-side / 2, -side / 2, side, side);
}

void leaveObjectView(const GLint* viewport) {
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

ScenePoint toScene(const GLfloat* window) {
    const float height = (0.5f - window[2]) * 2.0f * depthHalfRange;
    return {window[1], height, window[0]};
}

std::vector<FeedbackPrimitive> parse(const std::vector<GLfloat>& buffer, GLint count) {
    std::vector<FeedbackPrimitive> primitives;
    for (GLint i = 0; i < count;) {
        const auto token = static_cast<GLenum>(buffer[i++]);
        FeedbackPrimitive primitive{};
        int vertexCount = 0;
        if (token == GL_POINT_TOKEN) {
            primitive.kind = FeedbackPrimitive::point;
            vertexCount = 1;
        } else if (token == GL_LINE_TOKEN || token == GL_LINE_RESET_TOKEN) {
            primitive.kind = FeedbackPrimitive::line;
            vertexCount = 2;
        } else if (token == GL_POLYGON_TOKEN) {
            primitive.kind = FeedbackPrimitive::polygon;
            vertexCount = static_cast<int>(buffer[i++]);
        } else {
            // Pass-through and bitmap tokens carry no geometry.
            i += token == GL_PASS_THROUGH_TOKEN ? 1 : 3;
            continue;
        }
        for (int v = 0; v < vertexCount; ++v, i += 3)
            primitive.vertices.push_back(toScene(&buffer[i]));
        primitives.push_back(primitive);
    }
    return primitives;
}

} // namespace

float ScenePoint::radius() const {
    return std::hypot(x, z);
}

float ScenePoint::angle() const {
    const double degrees = std::atan2(z, x) * 180.0 / M_PI;
    return static_cast<float>(degrees < 0 ? degrees + 360.0 : degrees);
}

void setSceneEntryState() {
    const GLfloat ambient[] = {1.0f, 1.0f, 1.0f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glEnable(GL_DEPTH_TEST);
    glLineWidth(1.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glMatrixMode(GL_PROJECTION);
    gluPerspective(45.0, 4.0 / 3.0, 0.1f, 100.0);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.0f, 0.0f, -50.0f);
    glRotatef(20.0f, 1.0f, 0.0f, 0.0f);
}

void resetSceneInputs() {
    viewState = ViewState{};
    audioFeatures = AudioFeatures{};
    resetRingState();
}

void holdSceneStill() {
    viewState.autoRotate = 0;
    viewState.rotationStepX = 0.0f;
    viewState.rotationStepY = 0.0f;
    viewState.rotationStepZ = 0.0f;
}

std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<GLfloat> buffer(feedbackCapacity);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    enterObjectView();
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    leaveObjectView(viewport);
    EXPECT_GE(count, 0) << "feedback buffer overflowed";
    return parse(buffer, count);
}

std::vector<ScenePoint> verticesOf(const std::vector<FeedbackPrimitive>& primitives,
                                   FeedbackPrimitive::Kind kind) {
    std::vector<ScenePoint> vertices;
    for (const auto& primitive : primitives)
        if (primitive.kind == kind)
            vertices.insert(vertices.end(), primitive.vertices.begin(), primitive.vertices.end());
    return vertices;
}
