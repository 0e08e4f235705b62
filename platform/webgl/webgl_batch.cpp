// Drawing the finished primitives with WebGL: one program that passes the
// vertex through and modulates a texture, one buffer refilled per draw.
#include <webgl/webgl1.h>

#include "webgl_batch.h"

#include <cstddef>
#include <cstdio>
#include <map>

namespace zdgl {
namespace {

const char* const vertexShader = R"(
attribute vec4 position;
attribute vec4 color;
attribute vec2 texCoord;
varying vec4 vColor;
varying vec2 vTexCoord;
void main() {
    gl_Position = position;
    vColor = color;
    vTexCoord = texCoord;
})";

// GL_MODULATE: an alpha texture scales the alpha alone, any other its colour too.
const char* const fragmentShader = R"(
precision highp float;
uniform sampler2D image;
uniform int textureMode; // 0 none, 1 alpha, 2 colour
varying vec4 vColor;
varying vec2 vTexCoord;
void main() {
    vec4 c = vColor;
    if (textureMode == 1) c.a *= texture2D(image, vTexCoord).a;
    if (textureMode == 2) c *= texture2D(image, vTexCoord);
    gl_FragColor = c;
})";

struct Program {
    GLuint program = 0;
    GLuint buffer = 0;
    GLuint indexBuffer = 0;
    GLint textureMode = -1;
};

struct Batch {
    BatchKind kind = BatchKind::triangles;
    std::vector<Vertex> vertices;
    std::vector<unsigned short> indices;
};

Program program;
Batch batch;
std::map<GLuint, GLuint> webglTextures;     // the layer's names to WebGL's
std::map<GLuint, GLenum> webglTextureFormat; // and the format each holds

GLuint compile(GLenum type, const char* source) {
    GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    return shader;
}

void ensureProgram() {
    if (program.program) return;
    program.program = emscripten_glCreateProgram();
    emscripten_glAttachShader(program.program, compile(GL_VERTEX_SHADER, vertexShader));
    emscripten_glAttachShader(program.program, compile(GL_FRAGMENT_SHADER, fragmentShader));
    emscripten_glBindAttribLocation(program.program, 0, "position");
    emscripten_glBindAttribLocation(program.program, 1, "color");
    emscripten_glBindAttribLocation(program.program, 2, "texCoord");
    emscripten_glLinkProgram(program.program);
    GLint linked = 0;
    emscripten_glGetProgramiv(program.program, GL_LINK_STATUS, &linked);
    if (!linked) {
        char log[512] = "";
        emscripten_glGetProgramInfoLog(program.program, sizeof log, nullptr, log);
        std::fprintf(stderr, "zephyrdome: WebGL refused the layer's shaders: %s\n", log);
    }
    emscripten_glUseProgram(program.program);
    emscripten_glUniform1i(emscripten_glGetUniformLocation(program.program, "image"), 0);
    program.textureMode = emscripten_glGetUniformLocation(program.program, "textureMode");
    emscripten_glGenBuffers(1, &program.buffer);
    emscripten_glBindBuffer(GL_ARRAY_BUFFER, program.buffer);
    emscripten_glGenBuffers(1, &program.indexBuffer);
    emscripten_glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, program.indexBuffer);
    const GLsizei stride = sizeof(Vertex);
    emscripten_glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void*>(offsetof(Vertex, clip)));
    emscripten_glVertexAttribPointer(1, 4, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void*>(offsetof(Vertex, color)));
    emscripten_glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, stride,
                                     reinterpret_cast<void*>(offsetof(Vertex, texCoord)));
    for (GLuint i = 0; i < 3; ++i) emscripten_glEnableVertexAttribArray(i);
}

void setCapability(GLenum cap, bool on) {
    if (on)
        emscripten_glEnable(cap);
    else
        emscripten_glDisable(cap);
}

// The layer's state, as WebGL needs it for the next draw or clear.
void applyState() {
    const GLLayer& gl = layer();
    emscripten_glViewport(gl.viewport[0], gl.viewport[1], gl.viewport[2], gl.viewport[3]);
    setCapability(GL_SCISSOR_TEST, gl.scissorTest);
    emscripten_glScissor(gl.scissor[0], gl.scissor[1], gl.scissor[2], gl.scissor[3]);
    setCapability(GL_DEPTH_TEST, gl.depthTest);
    emscripten_glDepthMask(gl.depthMask);
    setCapability(GL_BLEND, gl.colorBuffer.blend);
    emscripten_glBlendFunc(gl.colorBuffer.blendSource, gl.colorBuffer.blendDestination);
    int mode = 0;
    auto texture = webglTextures.find(gl.boundTexture);
    if (gl.texture2D && texture != webglTextures.end()) {
        emscripten_glBindTexture(GL_TEXTURE_2D, texture->second);
        mode = webglTextureFormat[gl.boundTexture] == GL_ALPHA ? 1 : 2;
    }
    emscripten_glUniform1i(program.textureMode, mode);
}

} // namespace

void batchIndexed(BatchKind kind, const std::vector<Vertex>& vertices,
                  const std::vector<unsigned short>& indices) {
    if (indices.empty()) return;
    if (batch.kind != kind || batch.vertices.size() + vertices.size() > 65535) flushBatch();
    batch.kind = kind;
    const size_t base = batch.vertices.size();
    batch.vertices.insert(batch.vertices.end(), vertices.begin(), vertices.end());
    for (unsigned short index : indices)
        batch.indices.push_back(static_cast<unsigned short>(base + index));
}

void flushBatch() {
    if (batch.indices.empty()) return;
    ensureProgram();
    applyState();
    emscripten_glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(batch.vertices.size() * sizeof(Vertex)),
                            batch.vertices.data(), GL_STREAM_DRAW);
    emscripten_glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                            GLsizeiptr(batch.indices.size() * sizeof(unsigned short)),
                            batch.indices.data(), GL_STREAM_DRAW);
    emscripten_glDrawElements(batch.kind == BatchKind::lines ? GL_LINES : GL_TRIANGLES,
                              GLsizei(batch.indices.size()), GL_UNSIGNED_SHORT, nullptr);
    batch.vertices.clear();
    batch.indices.clear();
}

void webglClear(GLbitfield mask) {
    ensureProgram();
    applyState();
    emscripten_glClearColor(0, 0, 0, 0);
    emscripten_glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

void webglUploadTexture(GLuint name, GLenum format, int width, int height, const void* pixels,
                        const GLint parameters[4]) {
    GLuint& texture = webglTextures[name];
    if (!texture) emscripten_glGenTextures(1, &texture);
    webglTextureFormat[name] = format;
    emscripten_glBindTexture(GL_TEXTURE_2D, texture);
    emscripten_glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    emscripten_glTexImage2D(GL_TEXTURE_2D, 0, GLint(format), width, height, 0, format,
                            GL_UNSIGNED_BYTE, pixels);
    // WebGL has no mipmaps unless asked for them: a mipmapped filter falls back to linear.
    const GLint minFilter = parameters[0] == GL_NEAREST ? GL_NEAREST : GL_LINEAR;
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, parameters[1]);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, parameters[2]);
    emscripten_glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, parameters[3]);
}

void webglReadPixels(int width, int height, unsigned char* rgba) {
    flushBatch();
    emscripten_glPixelStorei(GL_PACK_ALIGNMENT, 1);
    emscripten_glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

void webglReset() {
    program = Program();
    batch = Batch();
    webglTextures.clear();
    webglTextureFormat.clear();
}

} // namespace zdgl
