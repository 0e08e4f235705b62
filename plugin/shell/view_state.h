// The user's view settings: which layers are shown, the ring display, how the
// scene turns and how large the sphere is. Keys write it between frames; the
// frame reads it and writes back the rotation steps and the sphere radius.
// It is set when the library loads and survives every stop and start.
#pragma once

struct ViewState {
    int playlistVisible = 1;
    int sceneVisible = 1;
    int autoRotate = 1;
    // Degrees per frame, not angles.
    float rotationStepX = 2.0f;
    float rotationStepY = 2.0f;
    float rotationStepZ = 2.0f;
    float sphereRadius = 1.0f;
    // 3: history rings, 1: band rings, 2: ring sectors.
    int ringMode = 3;
    int helpVisible = 0;
    int sphereGrowing = 0;
    float sphereCounter = 0.0f;
};

extern ViewState viewState;
