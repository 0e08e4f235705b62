// Test support for the scene: the GL state a frame starts from, and a capture
// of what reached the driver through GL feedback, mapped back to the scene's
// own object coordinates.
#pragma once

#include <array>
#include <functional>
#include <set>
#include <vector>

struct ScenePoint {
    float x;
    float y;
    float z;
    float radius() const;
    // Degrees in [0, 360) measured from +x towards +z.
    float angle() const;
};

struct FeedbackPrimitive {
    enum Kind { point, line, polygon } kind;
    std::vector<ScenePoint> vertices;
};

// What initGLState leaves: ambient light model, depth test, lighting with light
// 0, line width 1, the 4/3 perspective and the camera 50 units out, turned 20
// degrees about x.
void setSceneEntryState();

// The view at its load values, silent audio and fresh ring state.
void resetSceneInputs();

// No rotation from the frame: automatic turning off and every step 0.
void holdSceneStill();

// The funnel and the speakers of a silent frame: the elements that write depth.
void drawOpaqueElements();

// Runs draw in feedback mode under matrices that make the feedback coordinates
// the object coordinates: z bit for bit, x and y to about 1e-4.
// Heights must stay within +-512 and x, z within +-1024. Matrices and viewport
// are put back afterwards.
std::vector<FeedbackPrimitive> captureFeedback(const std::function<void()>& draw);

std::vector<ScenePoint> verticesOf(const std::vector<FeedbackPrimitive>& primitives,
                                   FeedbackPrimitive::Kind kind);

// The two parts of an element's material a probe light shows: one white
// directional light along `towards` (scene coordinates) with only a diffuse
// or only a specular part, and no ambient light at all.
enum class ProbeLight { diffuse, specular };

// Colours as red, green, blue and alpha in thousandths.
using Colours = std::set<std::array<long, 4>>;

// Runs draw as captureFeedback does, lit by the probe light, with the current
// normal set along the light for elements that give none of their own. A
// vertex whose normal points along the light then takes exactly the diffuse
// material as its colour, and every vertex that faces the light the specular
// material (shininess 0); alpha is always the diffuse alpha. The colours of
// all vertices drawn.
Colours litColours(const std::function<void()>& draw, ProbeLight light,
                   const ScenePoint& towards = {0.0f, 1.0f, 0.0f});
