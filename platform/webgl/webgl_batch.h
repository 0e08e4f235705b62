// The WebGL side of the layer: finished triangles and lines in clip
// coordinates, with their colours and texture coordinates, gathered into one
// draw while the state they are drawn with stays the same.
#pragma once

#include "gl_layer.h"

namespace zdgl {

enum class BatchKind { triangles, lines };

// Adds a primitive's vertices and the indices that draw them to the open
// batch, drawing it first if the kind of primitive changed or it is full.
// The GL state it is drawn with is the state when the batch is drawn: every
// change of that state draws the batch first (flushBatch).
void batchIndexed(BatchKind kind, const std::vector<Vertex>& vertices,
                  const std::vector<unsigned short>& indices);
// Draws what is gathered; called before anything that changes how it is drawn.
void flushBatch();

// The WebGL calls the state maps to.
void webglClear(GLbitfield mask);
void webglUploadTexture(GLuint name, GLenum format, int width, int height, const void* pixels,
                        const GLint parameters[4]);
void webglReadPixels(int width, int height, unsigned char* rgba);
// Forgets what was set up for a context that is gone.
void webglReset();

} // namespace zdgl
