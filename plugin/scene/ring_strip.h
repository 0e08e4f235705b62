// The field of 19 concentric rings that all three ring displays share: ring r
// spans radius r + 2 to r + 3, is one triangle strip, and is drawn from the
// outermost ring inwards.
#pragma once

#include "scene/scene_geometry.h"

#include "audio/audio_features.h"

constexpr int ringCount = 19;
constexpr int ringSegments = 15;
constexpr float ringAngleStep = 360.0f / ringSegments;

inline float ringInnerRadius(int ring) {
    return static_cast<float>((ring - 1) + 3);
}
inline float ringOuterRadius(int ring) {
    return static_cast<float>(ring + 3);
}

// Every pair is the outer vertex first, then the inner one.
inline void emitRingPair(int ring, float angle, float outerHeight, float innerHeight) {
    const CirclePoint outer = circlePoint(angle, ringOuterRadius(ring));
    glVertex3f(outer.x, outerHeight, outer.z);
    const CirclePoint inner = circlePoint(angle, ringInnerRadius(ring));
    glVertex3f(inner.x, innerHeight, inner.z);
}

// Band k rides on radius k + 3, so neighbouring rings' raised pairs meet.
inline void emitRaisedPair(int ring, float angle) {
    emitRingPair(ring, angle, audioFeatures.bandLevels[ring], audioFeatures.bandLevels[ring - 1]);
}

inline void emitFlatPair(int ring, float angle) {
    emitRingPair(ring, angle, 0.0f, 0.0f);
}

inline void beginRingStrip() {
    glBegin(GL_TRIANGLE_STRIP);
    glNormal3f(0.0f, 1.0f, 0.0f);
}
