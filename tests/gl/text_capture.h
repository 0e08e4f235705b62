// Sees what a print sent to OpenGL: the quads that reached the driver,
// captured with OpenGL's feedback mode in window coordinates, and the glyph
// each quad shows, read back from its texture coordinates.
#pragma once

#include "gl_fixture.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

struct CapturedVertex {
    float x;
    float y;
    float color[4];
    float s;
    float t;
};

// Corners in screen terms; an italic quad is a parallelogram.
struct CapturedQuad {
    CapturedVertex bottomLeft;
    CapturedVertex bottomRight;
    CapturedVertex topRight;
    CapturedVertex topLeft;

    // Window coordinates come back from the driver within a rounding error
    // of the integers the renderer sent.
    int x() const { return static_cast<int>(std::lround(bottomLeft.x)); }
    int y() const { return static_cast<int>(std::lround(bottomLeft.y)); }
    int size() const { return static_cast<int>(std::lround(bottomRight.x - bottomLeft.x)); }
    // The character whose cell of the 16 by 16 font the quad samples.
    int code() const;
};

// Runs draw in feedback mode; quads come back in drawing order.
std::vector<CapturedQuad> captureQuads(const std::function<void()>& draw);

// A run of quads drawn one cell apart on one line in one colour: what one
// print of one line looks like.
struct CapturedLine {
    int x;
    int y;
    int size;
    float color[3];
    std::string text;
};

std::vector<CapturedLine> groupLines(const std::vector<CapturedQuad>& quads);

// Writes RGBA pixels, rows top-down, as a PNG; false when it cannot.
bool writePng(const std::string& path, const std::vector<unsigned char>& rgba, int width,
              int height);

// A GL test with the 16 by 16 glyph table built and the text style at its
// load values; the font texture itself is loaded only where pixels matter.
class TextTest : public GlTest {
  protected:
    void SetUp() override;
};
