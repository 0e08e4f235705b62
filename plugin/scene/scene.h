// The three-dimensional part of every frame. drawScene clears the buffers and,
// unless the scene is hidden, turns the persistent modelview matrix by the
// rotation steps of viewState, places the spot light and draws the funnel and
// speakers, the rings of the current mode, the waveform ribbons and the sphere.
// It expects the GL state that initGLState leaves and restores it.
#pragma once

struct WavePoint;

void drawScene();
void setupSpotLight();

void drawFunnel();
void drawSpeaker(float innerHeight, float outerHeight);

// Ring displays: history (mode a, ringMode 3), bands (b, 1), sectors (c, 2).
void drawHistoryRings();
void drawBandRings();
void drawRingSectors();

// Geometry that is the same every frame, compiled once per GL context by
// compileSceneLists (its state stays outside the lists); 0 where a list could
// not be made, and the element is then drawn vertex by vertex.
struct SceneLists {
    unsigned int funnel = 0;
    unsigned int restingSphere = 0;
};
extern SceneLists sceneLists;
constexpr float restingSphereRadius = 1.0f;
void compileSceneLists();
void emitFunnelGeometry();
void emitSphereGeometry(float radius);

void drawWaveRibbon(float topHeight, float bottomHeight, int pointCount, const WavePoint* points,
                    unsigned char mirrored);
void drawSphere();

// Ring state kept from frame to frame.
constexpr int ringHistoryLength = 20;
extern int bandRingHighlight;
// loudnessHistory[k] is H[k] for k = 1..20; entry 0 is unused (H[0] is
// audioFeatures.loudnessOffset).
extern float loudnessHistory[ringHistoryLength + 1];
void resetRingState();
