// The GL layer of the web page (platform/webgl) built natively, its WebGL
// side replaced by a record of the primitives it would draw.
#pragma once

#include "../../platform/webgl/webgl_batch.h"

#include <vector>

struct CapturedPrimitive {
    zdgl::BatchKind kind;
    std::vector<zdgl::Vertex> vertices; // in drawing order: 3 a triangle, 2 a line
};

std::vector<CapturedPrimitive>& capturedPrimitives();
