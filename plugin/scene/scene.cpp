#include "scene/scene.h"

#include "audio/audio_features.h"
#include "shell/view_state.h"

#include <GL/gl.h>

namespace {

constexpr int ringModeBands = 1;
constexpr int ringModeSectors = 2;
constexpr int ringModeHistory = 3;

constexpr float sectorTurn = 120.0f;

// The modelview matrix is the scene's orientation: each frame multiplies it by
// the steps and never reloads it. Without automatic rotation a step is used once.
void turnScene() {
    glRotatef(viewState.rotationStepX, 1.0f, 0.0f, 0.0f);
    glRotatef(viewState.rotationStepY, 0.0f, 1.0f, 0.0f);
    glRotatef(viewState.rotationStepZ, 0.0f, 0.0f, 1.0f);
    if (!viewState.autoRotate) {
        viewState.rotationStepX = 0.0f;
        viewState.rotationStepY = 0.0f;
        viewState.rotationStepZ = 0.0f;
    }
}

void drawSpeakers() {
    const float innerHeight = static_cast<float>(audioFeatures.bassLevel) + 10.0f;
    const float outerHeight = static_cast<float>(audioFeatures.loudness) + 3.0f;
    drawSpeaker(innerHeight, outerHeight);
    drawSpeaker(-innerHeight, -outerHeight);
}

// Three sector sets 120 degrees apart; the scene's matrix is unchanged afterwards.
void drawSectorTriple() {
    glPushMatrix();
    drawRingSectors();
    glRotatef(sectorTurn, 0.0f, 1.0f, 0.0f);
    drawRingSectors();
    glRotatef(sectorTurn, 0.0f, 1.0f, 0.0f);
    drawRingSectors();
    glPopMatrix();
}

// Translucent elements: depth-tested against the opaque ones, hiding nothing.
void drawTranslucentElements() {
    glDepthMask(GL_FALSE);
    if (viewState.ringMode == ringModeHistory)
        drawHistoryRings();
    else if (viewState.ringMode == ringModeBands)
        drawBandRings();
    glLineWidth(3.0f);
    drawWaveRibbon(12.0f, -12.0f, audioWavePointCount, audioFeatures.wavePoints, 0);
    drawWaveRibbon(10.0f, -10.0f, audioWavePointCount, audioFeatures.wavePoints, 1);
    glLineWidth(1.0f);
    if (!viewState.sphereGrowing) viewState.sphereRadius = restingSphereRadius;
    drawSphere();
    glDepthMask(GL_TRUE);
}

} // namespace

void setupSpotLight() {
    const GLfloat position[] = {40.0f, 40.0f, 0.0f, 1.0f};
    const GLfloat direction[] = {-1.0f, -1.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glLightfv(GL_LIGHT0, GL_SPOT_DIRECTION, direction);
    glLightf(GL_LIGHT0, GL_SPOT_CUTOFF, 30.0f);
    glLightf(GL_LIGHT0, GL_SPOT_EXPONENT, 20.0f);
}

void drawScene() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!viewState.sceneVisible) return;
    turnScene();
    // The elements leave blend function, colour material selection, materials
    // and light behind; the overlays and the host get back the state they left.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_LIGHTING_BIT);
    setupSpotLight();
    drawFunnel();
    drawSpeakers();
    if (viewState.ringMode == ringModeSectors) drawSectorTriple();
    drawTranslucentElements();
    glPopAttrib();
}
