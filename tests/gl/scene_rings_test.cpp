// The three spectrum ring displays and the state they carry from frame to frame.
#include "gl_fixture.h"
#include "scene_feedback.h"

#include "audio/audio_features.h"
#include "scene/scene.h"
#include "shell/view_state.h"

#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace {

constexpr float tolerance = 1e-3f;

long centi(float value) {
    return std::lround(value * 100.0f);
}

std::vector<ScenePoint> ringVertices(void (*draw)()) {
    return verticesOf(captureFeedback(draw), FeedbackPrimitive::polygon);
}

// Angles, to 0.01 degree, of the vertices lifted above height 0. A pair at 360
// degrees sits a hair below z = 0 and so reads as 360, not 0.
std::set<long> raisedAngles(const std::vector<ScenePoint>& vertices) {
    std::set<long> angles;
    for (const auto& p : vertices)
        if (p.y > tolerance) angles.insert(centi(p.angle()));
    return angles;
}

// Radii, to 0.01, of the vertices at the given height.
std::set<long> radiiAtHeight(const std::vector<ScenePoint>& vertices, float height) {
    std::set<long> radii;
    for (const auto& p : vertices)
        if (std::fabs(p.y - height) < tolerance) radii.insert(centi(p.radius()));
    return radii;
}

std::set<long> radiiFrom(int first, int last) {
    std::set<long> radii;
    for (int r = first; r <= last; ++r)
        radii.insert(r * 100);
    return radii;
}

class RingsTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        setSceneEntryState();
        resetSceneInputs();
    }

    static void setBandLevels(float (*level)(int band)) {
        for (int band = 0; band < audioBandCount; ++band)
            audioFeatures.bandLevels[band] = level(band);
    }
};

TEST_F(RingsTest, SectorSetIsThreePairsPerRingWithTheMiddleRaisedToTheBandLevels) {
    setBandLevels([](int band) { return 1.0f + band; });
    const auto vertices = ringVertices(drawRingSectors);
    // radius -> angle -> height
    std::map<long, std::map<long, float>> grid;
    for (const auto& p : vertices)
        grid[centi(p.radius())][centi(p.angle())] = p.y;
    ASSERT_EQ(grid.size(), 20u);
    for (int band = 0; band < audioBandCount; ++band) {
        const auto& column = grid[(band + 3) * 100];
        ASSERT_EQ(column.size(), 3u) << "radius " << band + 3;
        EXPECT_NEAR(column.at(0), 0.0f, tolerance);
        EXPECT_NEAR(column.at(2400), audioFeatures.bandLevels[band], tolerance);
        EXPECT_NEAR(column.at(4800), 0.0f, tolerance);
    }
    // Two quads per ring between the three pairs, four triangles.
    EXPECT_EQ(vertices.size(), 19u * 4 * 3);
}

TEST_F(RingsTest, ModeCShowsThreeRidges120DegreesApart) {
    holdSceneStill();
    viewState.ringMode = 2;
    setBandLevels([](int) { return 0.5f; });
    std::map<long, std::set<long>> ridges; // angle -> radii
    for (const auto& p : verticesOf(captureFeedback(drawScene), FeedbackPrimitive::polygon))
        if (p.radius() > 2.9f && std::fabs(p.y - 0.5f) < tolerance)
            ridges[centi(p.angle())].insert(centi(p.radius()));
    ASSERT_EQ(ridges.size(), 3u);
    const long expectedAngles[] = {2400, 14400, 26400};
    for (long angle : expectedAngles)
        EXPECT_EQ(ridges[angle], radiiFrom(3, 22)) << angle;
}

TEST_F(RingsTest, BandHighlightVisitsPairs0To14OverFifteenFramesAndNeverPair15) {
    setBandLevels([](int) { return 2.0f; });
    for (int frame = 0; frame < 15; ++frame) {
        const auto vertices = ringVertices(drawBandRings);
        // Frame 0 raises pair 0 and the closing pair, both at exactly 0 degrees.
        EXPECT_EQ(raisedAngles(vertices), std::set<long>{frame * 2400}) << "frame " << frame;
        std::set<long> raisedRadii;
        for (const auto& p : vertices)
            if (p.y > tolerance) raisedRadii.insert(centi(p.radius()));
        EXPECT_EQ(raisedRadii, radiiFrom(3, 22)) << "frame " << frame;
    }
    EXPECT_EQ(raisedAngles(ringVertices(drawBandRings)), std::set<long>{0})
        << "the sixteenth frame starts over at pair 0";
}

TEST_F(RingsTest, AtHighlightZeroEachRingRisesAsAWallBetweenPair15AndTheClosingPair) {
    setBandLevels([](int) { return 2.0f; });
    int walls = 0;
    for (const auto& triangle : captureFeedback(drawBandRings)) {
        bool flatAt360 = false, raisedAt0 = false;
        for (const auto& p : triangle.vertices) {
            flatAt360 |= p.z < 0.0f && p.z > -tolerance && std::fabs(p.y) < tolerance;
            raisedAt0 |= p.z == 0.0f && p.x > 0.0f && p.y > tolerance;
        }
        walls += flatAt360 && raisedAt0;
    }
    // Two triangles per ring make the wall.
    EXPECT_EQ(walls, 19 * 2);
}

TEST_F(RingsTest, SilenceFlattensTheHistoryRingsAtMinus8AfterTwentyFrames) {
    std::vector<ScenePoint> vertices;
    for (int frame = 1; frame <= 20; ++frame) {
        audioFeatures.loudnessOffset = -8.0f;
        vertices = ringVertices(drawHistoryRings);
        if (frame == 19) {
            EXPECT_EQ(radiiAtHeight(vertices, 0.0f), std::set<long>{2200}) << "not flat yet";
        }
    }
    EXPECT_EQ(radiiAtHeight(vertices, -8.0f), radiiFrom(3, 22));
    for (const auto& p : vertices)
        EXPECT_NEAR(p.y, -8.0f, tolerance);
}

TEST_F(RingsTest, OneLoudFrameTravelsOutOneRingPerFrameAndLeavesAfterTwenty) {
    for (int frame = 1; frame <= 21; ++frame) {
        audioFeatures.loudnessOffset = frame == 1 ? 100.0f : -8.0f;
        const auto vertices = ringVertices(drawHistoryRings);
        const std::set<long> expected =
            frame <= 20 ? std::set<long>{(2 + frame) * 100} : std::set<long>{};
        EXPECT_EQ(radiiAtHeight(vertices, 100.0f), expected) << "frame " << frame;
    }
}

TEST_F(RingsTest, FirstHistoryFrameRaisesOnlyTheInnermostRimAndClearsTheOffset) {
    audioFeatures.loudnessOffset = 37.0f;
    const auto vertices = ringVertices(drawHistoryRings);
    EXPECT_EQ(radiiAtHeight(vertices, 37.0f), std::set<long>{300});
    EXPECT_EQ(radiiAtHeight(vertices, 0.0f), radiiFrom(4, 22));
    EXPECT_EQ(audioFeatures.loudnessOffset, 0.0f);
    // A repaint without fresh audio shifts the cleared offset in.
    const auto repaint = ringVertices(drawHistoryRings);
    EXPECT_EQ(radiiAtHeight(repaint, 37.0f), std::set<long>{400});
    auto flat = radiiFrom(3, 22);
    flat.erase(400);
    EXPECT_EQ(radiiAtHeight(repaint, 0.0f), flat);
}

// Mode b's colour stands in for its specular material, so its highlighted
// pair shows in the highlights; the diffuse material stays its own.
TEST_F(RingsTest, EachRingDisplayIsDrawnInItsOwnMaterials) {
    EXPECT_EQ(litColours(drawBandRings, ProbeLight::diffuse), (Colours{{800, 0, 100, 1000}}));
    resetRingState();
    EXPECT_EQ(litColours(drawBandRings, ProbeLight::specular),
              (Colours{{800, 0, 1000, 1000}, {800, 0, 800, 1000}}));
    EXPECT_EQ(litColours(drawRingSectors, ProbeLight::diffuse), (Colours{{200, 800, 0, 1000}}));
    EXPECT_EQ(litColours(drawRingSectors, ProbeLight::specular), (Colours{{200, 1000, 0, 1000}}));
    EXPECT_EQ(litColours(drawHistoryRings, ProbeLight::diffuse), (Colours{{500, 200, 0, 1000}}));
    EXPECT_EQ(litColours(drawHistoryRings, ProbeLight::specular), (Colours{{1000, 800, 0, 1000}}));
}

} // namespace
