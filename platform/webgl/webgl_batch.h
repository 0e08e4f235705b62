// The WebGL side of the layer: finished triangles and lines in clip
// coordinates, with their colours and texture coordinates, gathered into one
// draw while the state they are drawn with stays the same.
#pragma once

#include "gl_layer.h"

namespace zdgl {

enum class BatchKind { triangles, lines };

// Adds vertices to the open batch, drawing it first if the GL state or the
// kind of primitive changed since it was opened.
void batchVertices(BatchKind kind, const Vertex* vertices, int count);
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
