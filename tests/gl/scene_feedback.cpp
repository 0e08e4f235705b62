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

// Each vertex is x, y, z, then `colourValues` colour components, kept in `colours`.
std::vector<FeedbackPrimitive> parse(const std::vector<GLfloat>& buffer, GLint count,
                                     int colourValues = 0,
                                     std::vector<std::array<float, 4>>* colours = nullptr) {
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
            i += token == GL_PASS_THROUGH_TOKEN ? 1 : 3 + colourValues;
            continue;
        }
        for (int v = 0; v < vertexCount; ++v, i += 3 + colourValues) {
            primitive.vertices.push_back(toScene(&buffer[i]));
            if (colours)
                colours->push_back({buffer[i + 3], buffer[i + 4], buffer[i + 5], buffer[i + 6]});
        }
        primitives.push_back(primitive);
    }
    return primitives;
}

// Feedback of `type`, with its raw values and their count.
std::vector<GLfloat> runFeedback(GLenum type, const std::function<void()>& draw, GLint& count) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    std::vector<GLfloat> buffer(feedbackCapacity);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), type, buffer.data());
    glRenderMode(GL_FEEDBACK);
    enterObjectView();
    draw();
    count = glRenderMode(GL_RENDER);
    leaveObjectView(viewport);
    EXPECT_GE(count, 0) << "feedback buffer overflowed";
    return buffer;
}

void setProbeLight(ProbeLight light, const ScenePoint& towards) {
    const GLfloat none[] = {0.0f, 0.0f, 0.0f, 1.0f};
    const GLfloat white[] = {1.0f, 1.0f, 1.0f, 1.0f};
    // Set under the object view, so the direction is in scene coordinates.
    const GLfloat direction[] = {towards.x, towards.y, towards.z, 0.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, light == ProbeLight::diffuse ? white : none);
    glLightfv(GL_LIGHT0, GL_SPECULAR, light == ProbeLight::specular ? white : none);
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 180.0f);
    glNormal3f(towards.x, towards.y, towards.z);
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

void drawOpaqueElements() {
    drawFunnel();
    drawSpeaker(10.0f, 3.0f);
    drawSpeaker(-10.0f, -3.0f);
}

std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw) {
    GLint count = 0;
    const std::vector<GLfloat> buffer = runFeedback(GL_3D, draw, count);
    return parse(buffer, count);
}

Colours litColours(const std::function<void()>& draw, ProbeLight light, const ScenePoint& towards) {
    glPushAttrib(GL_LIGHTING_BIT | GL_CURRENT_BIT);
    GLint count = 0;
    const std::vector<GLfloat> buffer = runFeedback(
        GL_3D_COLOR,
        [&] {
            setProbeLight(light, towards);
            draw();
        },
        count);
    glPopAttrib();
    std::vector<std::array<float, 4>> colours;
    parse(buffer, count, 4, &colours);
    Colours thousandths;
    for (const auto& colour : colours)
        thousandths.insert({std::lround(colour[0] * 1000.0f), std::lround(colour[1] * 1000.0f),
                            std::lround(colour[2] * 1000.0f), std::lround(colour[3] * 1000.0f)});
    return thousandths;
}

std::vector<ScenePoint> verticesOf(const std::vector<FeedbackPrimitive>& primitives,
                                   FeedbackPrimitive::Kind kind) {
    std::vector<ScenePoint> vertices;
    for (const auto& primitive : primitives)
        if (primitive.kind == kind)
            vertices.insert(vertices.end(), primitive.vertices.begin(), primitive.vertices.end());
    return vertices;
}
