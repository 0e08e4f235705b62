// The funnel floor and the speaker cones, as they reach the driver.
#include "gl_fixture.h"
#include "scene_feedback.h"

#include "audio/audio_features.h"
#include "scene/scene.h"
#include "shell/view_state.h"

#include <GL/gl.h>

#include <cmath>
#include <cstring>
#include <set>
#include <utility>

namespace {

constexpr float tolerance = 1e-3f;

long milli(float value) {
    return std::lround(value * 1000.0f);
}

// Points at one height, told apart by x to 1e-3 and by the exact bits of z.
std::set<std::pair<long, unsigned>> distinctPointsAt(const std::vector<ScenePoint>& points,
                                                     float height) {
    std::set<std::pair<long, unsigned>> distinct;
    for (const auto& p : points) {
        if (std::fabs(p.y - height) > tolerance) continue;
        unsigned zBits;
        std::memcpy(&zBits, &p.z, sizeof zBits);
        distinct.insert({milli(p.x), zBits});
    }
    return distinct;
}

// (radius, height) of every vertex, both to 1e-3.
std::set<std::pair<long, long>> rims(const std::vector<ScenePoint>& points) {
    std::set<std::pair<long, long>> result;
    for (const auto& p : points)
        result.insert({milli(p.radius()), milli(p.y)});
    return result;
}

bool hasLine(const std::vector<FeedbackPrimitive>& lines, ScenePoint a, ScenePoint b) {
    auto near = [](const ScenePoint& p, const ScenePoint& q) {
        return std::fabs(p.x - q.x) < tolerance && std::fabs(p.y - q.y) < tolerance && p.z == q.z;
    };
    for (const auto& line : lines) {
        if (line.kind != FeedbackPrimitive::line) continue;
        const auto& v = line.vertices;
        if ((near(v[0], a) && near(v[1], b)) || (near(v[0], b) && near(v[1], a))) return true;
    }
    return false;
}

class FunnelTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        setSceneEntryState();
        resetSceneInputs();
    }
};

TEST_F(FunnelTest, EveryFunnelCircleClosesOnItsFirstPairAtAngleZero) {
    const auto lines = captureFeedback(drawFunnel);
    const auto points = verticesOf(lines, FeedbackPrimitive::line);
    for (int height = -10; height <= 10; ++height) {
        const auto circle = distinctPointsAt(points, static_cast<float>(height));
        // A 21st pair at 360 degrees would show as a separate point just below z = 0.
        EXPECT_EQ(circle.size(), 20u) << "circle at height " << height;
        const float radius = static_cast<float>(height * height / 10.0 + 2.0);
        EXPECT_EQ(circle.count({milli(radius), 0u}), 1u) << "angle 0 at height " << height;
    }
}

TEST_F(FunnelTest, LowestBandRunsFromRadius12To10Point1AndTheWaistFrom2To2Point1) {
    const auto lines = captureFeedback(drawFunnel);
    const std::pair<float, float> heightsAndRadii[] = {{-10, 12}, {-9, 10.1f}, {0, 2}, {1, 2.1f}};
    for (const auto& [height, radius] : heightsAndRadii) {
        int seen = 0;
        for (const auto& p : verticesOf(lines, FeedbackPrimitive::line)) {
            if (std::fabs(p.y - height) > tolerance) continue;
            EXPECT_NEAR(p.radius(), radius, tolerance) << "at height " << height;
            ++seen;
        }
        EXPECT_GT(seen, 0) << "at height " << height;
    }
    EXPECT_TRUE(hasLine(lines, {12.0f, -10.0f, 0.0f}, {10.1f, -9.0f, 0.0f}));
    EXPECT_TRUE(hasLine(lines, {2.0f, 0.0f, 0.0f}, {2.1f, 1.0f, 0.0f}));
}

TEST_F(FunnelTest, FunnelIsAWireMeshAndLeavesPolygonsFilled) {
    const auto primitives = captureFeedback(drawFunnel);
    EXPECT_TRUE(verticesOf(primitives, FeedbackPrimitive::polygon).empty());
    EXPECT_FALSE(verticesOf(primitives, FeedbackPrimitive::line).empty());
    GLint modes[2];
    glGetIntegerv(GL_POLYGON_MODE, modes);
    EXPECT_EQ(modes[0], GL_FILL);
    EXPECT_EQ(modes[1], GL_FILL);
}

TEST_F(FunnelTest, SilentSpeakersStandAt10And3AboveTheWaistAndMirroredBelow) {
    holdSceneStill();
    viewState.ringMode = 2;
    const auto primitives = captureFeedback(drawScene);
    std::vector<ScenePoint> cones;
    for (const auto& p : verticesOf(primitives, FeedbackPrimitive::polygon))
        if (std::fabs(p.y) > 2.5f) cones.push_back(p);
    const std::set<std::pair<long, long>> expected = {
        {6000, 10000},  {4000, 11000},  {10000, 3000},  {8000, 4000},
        {6000, -10000}, {4000, -11000}, {10000, -3000}, {8000, -4000}};
    EXPECT_EQ(rims(cones), expected);
}

TEST_F(FunnelTest, SpeakerHeightOfExactlyZeroPutsTheInnerRimsAtMinusOne) {
    const auto primitives = captureFeedback([] { drawSpeaker(0.0f, 0.0f); });
    const std::set<std::pair<long, long>> expected = {
        {6000, 0}, {4000, -1000}, {10000, 0}, {8000, -1000}};
    EXPECT_EQ(rims(verticesOf(primitives, FeedbackPrimitive::polygon)), expected);
}

TEST_F(FunnelTest, FunnelIsWhiteWithBluishHighlightsAndSpeakersBlueWithPaleBlueOnes) {
    EXPECT_EQ(litColours(drawFunnel, ProbeLight::diffuse), (Colours{{1000, 1000, 1000, 1000}}));
    EXPECT_EQ(litColours(drawFunnel, ProbeLight::specular), (Colours{{200, 200, 1000, 1000}}));
    const auto speakers = [] {
        drawSpeaker(10.0f, 3.0f);
        drawSpeaker(-10.0f, -3.0f);
    };
    EXPECT_EQ(litColours(speakers, ProbeLight::diffuse), (Colours{{0, 0, 1000, 1000}}));
    EXPECT_EQ(litColours(speakers, ProbeLight::specular), (Colours{{500, 500, 1000, 1000}}));
}

} // namespace
