// Texture objects: names, parameters and images, handed to WebGL as they come.
#include "gl_layer.h"
#include "webgl_batch.h"

#include <map>

namespace zdgl {
namespace {

struct Texture {
    GLint parameters[4] = {GL_NEAREST_MIPMAP_LINEAR, GL_LINEAR, GL_REPEAT, GL_REPEAT};
};

std::map<GLuint, Texture>& textures() {
    static std::map<GLuint, Texture> all;
    return all;
}

int parameterSlot(GLenum name) {
    switch (name) {
    case GL_TEXTURE_MIN_FILTER:
        return 0;
    case GL_TEXTURE_MAG_FILTER:
        return 1;
    case GL_TEXTURE_WRAP_S:
        return 2;
    case GL_TEXTURE_WRAP_T:
        return 3;
    default:
        return -1;
    }
}

GLuint nextName = 1;

} // namespace

void deleteAllTextures() {
    textures().clear();
    nextName = 1;
}
} // namespace zdgl

using namespace zdgl;

extern "C" {

void glGenTextures(GLsizei count, GLuint* names) {
    for (GLsizei i = 0; i < count; ++i) {
        names[i] = nextName++;
        textures()[names[i]];
    }
}

void glBindTexture(GLenum target, GLuint name) {
    if (target != GL_TEXTURE_2D || layer().boundTexture == name) return;
    flushBatch();
    layer().boundTexture = name;
    textures()[name];
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    const int slot = parameterSlot(name);
    if (target != GL_TEXTURE_2D || slot < 0) return;
    textures()[layer().boundTexture].parameters[slot] = value;
}

// Rows are taken tightly packed, as the plug-in asks (an unpack alignment of 1).
void glPixelStorei(GLenum, GLint) {}

void glTexImage2D(GLenum target, GLint level, GLint, GLsizei width, GLsizei height, GLint border,
                  GLenum format, GLenum type, const void* pixels) {
    if (target != GL_TEXTURE_2D || level != 0 || border != 0 || type != GL_UNSIGNED_BYTE) return;
    if (format != GL_ALPHA && format != GL_RGB && format != GL_RGBA && format != GL_LUMINANCE)
        return;
    flushBatch();
    const GLuint name = layer().boundTexture;
    webglUploadTexture(name, format, width, height, pixels, textures()[name].parameters);
}

// Textures always modulate the fragment's colour, the one mode the plug-in sets.
void glTexEnvi(GLenum, GLenum, GLint) {}

} // extern "C"
