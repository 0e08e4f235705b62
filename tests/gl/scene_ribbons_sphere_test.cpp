// The waveform ribbons and the sphere, as they reach the driver and the screen.
#include "gl_fixture.h"
#include "scene_feedback.h"

#include "audio/audio_features.h"
#include "scene/scene.h"
#include "shell/view_state.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

constexpr float tolerance = 1e-3f;

void expectAt(const ScenePoint& p, float x, float y, float z) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
    EXPECT_NEAR(p.z, z, tolerance);
}

// The vertices of one line strip, rebuilt from its segments, which must join.
std::vector<ScenePoint> lineStrip(const std::vector<FeedbackPrimitive>& primitives) {
    std::vector<ScenePoint> strip;
    for (const auto& line : primitives) {
        if (line.kind != FeedbackPrimitive::line) continue;
        if (strip.empty()) {
            strip.push_back(line.vertices[0]);
        } else {
            EXPECT_EQ(line.vertices[0].z, strip.back().z) << "segment " << strip.size();
            EXPECT_NEAR(line.vertices[0].x, strip.back().x, tolerance);
        }
        strip.push_back(line.vertices[1]);
    }
    return strip;
}

class RibbonsSphereTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        setSceneEntryState();
        resetSceneInputs();
        for (int i = 0; i < audioWavePointCount; ++i)
            points[i] = {0.25f * (i % 17), 4.25f - 0.5f * (i % 9)};
    }

    std::vector<ScenePoint> ribbon(float top, float bottom, unsigned char mirrored) {
        return lineStrip(captureFeedback(
            [&] { drawWaveRibbon(top, bottom, audioWavePointCount, points, mirrored); }));
    }

    // The sphere alone over black as the frame draws it, without writing depth,
    // over the depth that `drawBefore` leaves.
    std::vector<unsigned char> sphereAloneOver(const std::function<void()>& drawBefore) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawBefore();
        glClear(GL_COLOR_BUFFER_BIT);
        glDepthMask(GL_FALSE);
        glPushAttrib(GL_LIGHTING_BIT);
        setupSpotLight();
        drawSphere();
        glPopAttrib();
        glDepthMask(GL_TRUE);
        return readPixels();
    }

    WavePoint points[audioWavePointCount];
};

TEST_F(RibbonsSphereTest, RibbonIsOneLineOf99VerticesThroughTheOrigin) {
    const auto strip = ribbon(12.0f, -12.0f, 0);
    ASSERT_EQ(strip.size(), 99u);
    expectAt(strip[49], 0.0f, 0.0f, 0.0f);
    for (size_t i = 1; i < strip.size(); ++i)
        EXPECT_LT(strip[i].y, strip[i - 1].y);
}

TEST_F(RibbonsSphereTest, RibbonEndsAtTheLastPointsFullOffsetAtBothHeights) {
    const auto strip = ribbon(12.0f, -12.0f, 0);
    ASSERT_EQ(strip.size(), 99u);
    expectAt(strip.front(), points[49].x, 12.0f, points[49].z);
    expectAt(strip.back(), points[49].x, -12.0f, points[49].z);
    for (const auto& p : strip) {
        EXPECT_GE(p.x, 0.0f);
        EXPECT_GE(p.z, 0.0f);
    }
}

TEST_F(RibbonsSphereTest, MirroredRibbonEndsOppositeBetween10AndMinus10) {
    const auto strip = ribbon(10.0f, -10.0f, 1);
    ASSERT_EQ(strip.size(), 99u);
    expectAt(strip.front(), -points[49].x, 10.0f, -points[49].z);
    expectAt(strip.back(), -points[49].x, -10.0f, -points[49].z);
    expectAt(strip[49], 0.0f, 0.0f, 0.0f);
    for (const auto& p : strip) {
        EXPECT_LE(p.x, 0.0f);
        EXPECT_LE(p.z, 0.0f);
    }
}

TEST_F(RibbonsSphereTest, FlatWaveformCollapsesBothRibbonsOntoTheAxis) {
    std::fill(std::begin(points), std::end(points), WavePoint{0.0f, 0.0f});
    const auto upper = ribbon(12.0f, -12.0f, 0);
    const auto lower = ribbon(10.0f, -10.0f, 1);
    for (const auto* strip : {&upper, &lower})
        for (const auto& p : *strip) {
            EXPECT_NEAR(p.x, 0.0f, tolerance);
            EXPECT_EQ(p.z, 0.0f);
        }
    EXPECT_NEAR(upper.front().y, 12.0f, tolerance);
    EXPECT_NEAR(upper.back().y, -12.0f, tolerance);
    EXPECT_NEAR(lower.front().y, 10.0f, tolerance);
    EXPECT_NEAR(lower.back().y, -10.0f, tolerance);
}

// Polygons whose every vertex lies at the given distance from the origin.
int polygonsOnSphere(const std::vector<FeedbackPrimitive>& primitives, float radius) {
    int count = 0;
    for (const auto& polygon : primitives) {
        if (polygon.kind != FeedbackPrimitive::polygon) continue;
        bool onSphere = true;
        for (const auto& p : polygon.vertices)
            onSphere &= std::fabs(std::hypot(p.x, p.y, p.z) - radius) < 2 * tolerance;
        count += onSphere;
    }
    return count;
}

TEST_F(RibbonsSphereTest, SphereTakesItsRadiusFromTheViewState) {
    viewState.sphereRadius = 2.5f;
    const auto primitives = captureFeedback(drawSphere);
    int polygons = 0;
    float top = 0.0f;
    for (const auto& p : verticesOf(primitives, FeedbackPrimitive::polygon)) {
        EXPECT_NEAR(std::hypot(p.x, p.y, p.z), 2.5f, 2 * tolerance);
        top = std::max(top, p.y);
        ++polygons;
    }
    EXPECT_GT(polygons, 50 * 50);
    EXPECT_NEAR(top, 2.5f, tolerance);
}

TEST_F(RibbonsSphereTest, GrowingSphereKeepsItsRadiusAndFallsBackTo1WhenReleased) {
    holdSceneStill();
    viewState.sphereGrowing = 1;
    viewState.sphereRadius = 7.5f;
    EXPECT_GT(polygonsOnSphere(captureFeedback(drawScene), 7.5f), 50 * 50);
    EXPECT_EQ(viewState.sphereRadius, 7.5f);

    viewState.sphereGrowing = 0;
    const auto released = captureFeedback(drawScene);
    EXPECT_EQ(viewState.sphereRadius, 1.0f);
    EXPECT_EQ(polygonsOnSphere(released, 7.5f), 0);
    EXPECT_GT(polygonsOnSphere(released, 1.0f), 50 * 50);
}

// Yellow pixels, the sphere's and the ribbons' colour, within 8 pixels of the centre.
int yellowNearCentre(const std::vector<unsigned char>& pixels, int width, int height) {
    int count = 0;
    for (int y = height / 2 - 8; y <= height / 2 + 8; ++y)
        for (int x = width / 2 - 8; x <= width / 2 + 8; ++x) {
            const unsigned char* p = &pixels[(static_cast<size_t>(y) * width + x) * 4];
            count += p[0] > 200 && p[1] > 200 && p[2] < 160;
        }
    return count;
}

TEST_F(RibbonsSphereTest, SpheresYellowShowsAtTheFrameCentre) {
    holdSceneStill();
    // Loud enough to lift the upper speaker's near rim off the centre of the view.
    audioFeatures.bassLevel = 30;
    audioFeatures.loudness = 20;
    drawScene();
    const int withSphere = yellowNearCentre(readPixels(), width(), height());
    viewState.sphereGrowing = 1;
    viewState.sphereRadius = 0.01f;
    drawScene();
    const int withoutSphere = yellowNearCentre(readPixels(), width(), height());
    // What stays yellow without the sphere is the ribbons' thin line on the axis.
    EXPECT_GT(withSphere, 60);
    EXPECT_GT(withSphere, 3 * withoutSphere);
}

// The sphere's pole, whose normal points along the light, shows its diffuse
// material exactly; its far side takes no highlight.
TEST_F(RibbonsSphereTest, RibbonsAreYellowAndTheSphereYellowWithOrangeHighlights) {
    const auto ribbons = [this] {
        drawWaveRibbon(12.0f, -12.0f, audioWavePointCount, points, 0);
        drawWaveRibbon(10.0f, -10.0f, audioWavePointCount, points, 1);
    };
    EXPECT_EQ(litColours(ribbons, ProbeLight::diffuse), (Colours{{1000, 1000, 0, 1000}}));
    const Colours sphere = litColours(drawSphere, ProbeLight::diffuse, {0.0f, 0.0f, 1.0f});
    EXPECT_EQ(sphere.count({600, 600, 0, 1000}), 1u);
    for (const auto& colour : sphere) {
        EXPECT_EQ(colour[0], colour[1]);
        EXPECT_LE(colour[0], 600);
        EXPECT_EQ(colour[2], 0);
    }
    EXPECT_EQ(litColours(drawSphere, ProbeLight::specular, {0.0f, 0.0f, 1.0f}),
              (Colours{{0, 0, 0, 1000}, {1000, 600, 0, 1000}}));
}

// The sphere adds its colour to what lies behind it and lets through the
// complement of its colour (blend factors source alpha, 1 here, and one minus
// the source colour), layer over layer; the opaque elements in front of it
// hide it, and the flat history rings drawn before it, which write no depth,
// hide none of it.
TEST_F(RibbonsSphereTest, InflatedSphereBlendsOverWhatLiesBehindItAndHidesBehindOpaqueElements) {
    holdSceneStill();
    viewState.ringMode = 3;
    viewState.sphereGrowing = 1;
    viewState.sphereRadius = 0.0f;
    drawScene(); // leaves the current normal that the next frames start from
    drawScene();
    const std::vector<unsigned char> behind = readPixels();
    viewState.sphereRadius = 8.0f;
    drawScene();
    const std::vector<unsigned char> frame = readPixels();
    const std::vector<unsigned char> sphere = sphereAloneOver(drawOpaqueElements);
    const std::vector<unsigned char> unhidden = sphereAloneOver([] {});

    int seenThrough = 0, hidden = 0, wrong = 0;
    for (size_t at = 0; at < frame.size(); at += 4) {
        bool through = false, covered = false;
        for (size_t c = at; c < at + 3; ++c) {
            const int source = sphere[c], destination = behind[c];
            const int expected = source + (destination * (255 - source) + 127) / 255;
            wrong += std::abs(frame[c] - expected) > 2;
            through |= source > 0 && destination > 0;
            covered |= unhidden[c] > 0 && source == 0;
        }
        seenThrough += through;
        hidden += covered;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(seenThrough, 5000);
    EXPECT_GT(hidden, 1000);
}

} // namespace
