// OpenGL 1.1 and GLU as the plug-in calls them, over WebGL 1: the state that
// fixed-function GL keeps, and the steps each vertex goes through. Vertices
// are transformed and lit here, one at a time as they are given, with the
// float arithmetic Mesa uses, so the scene's accumulated rotation and its
// lighting follow the desktop's; WebGL only rasterises the finished
// primitives (webgl_batch.h).
#pragma once

#include <GL/gl.h>

#include <vector>

namespace zdgl {

struct Matrix {
    float m[16]; // column-major, as GL stores it
};
Matrix identityMatrix();
// a × b, summed in the order Mesa's matmul4 sums.
Matrix multiply(const Matrix& a, const Matrix& b);

struct Light {
    float ambient[4] = {0, 0, 0, 1};
    float diffuse[4] = {1, 1, 1, 1};
    float specular[4] = {1, 1, 1, 1};
    float position[4] = {0, 0, 1, 0}; // eye coordinates
    float spotDirection[3] = {0, 0, -1};
    float spotExponent = 0;
    float spotCutoff = 180;
    bool enabled = false;
};

struct Material {
    float ambient[4] = {0.2f, 0.2f, 0.2f, 1};
    float diffuse[4] = {0.8f, 0.8f, 0.8f, 1};
    float specular[4] = {0, 0, 0, 1};
    float emission[4] = {0, 0, 0, 1};
    float shininess = 0;
};

// What GL_LIGHTING_BIT saves: lights, materials, the light model, colour material.
struct LightingState {
    bool lighting = false;
    Light lights[1]; // GL_LIGHT0, the one light the plug-in uses
    Material front;
    Material back;
    float modelAmbient[4] = {0.2f, 0.2f, 0.2f, 1};
    bool colorMaterial = false;
    GLenum colorMaterialFace = GL_FRONT_AND_BACK;
    GLenum colorMaterialMode = GL_AMBIENT_AND_DIFFUSE;
};

// What GL_COLOR_BUFFER_BIT saves of what the plug-in sets.
struct ColorBufferState {
    bool blend = false;
    GLenum blendSource = GL_ONE;
    GLenum blendDestination = GL_ZERO;
};

struct Vertex {
    float clip[4];
    float color[4];
    float texCoord[2];
};

struct GLLayer {
    Matrix modelview[32];
    Matrix projection[4];
    int modelviewDepth = 0;
    int projectionDepth = 0;
    GLenum matrixMode = GL_MODELVIEW;

    LightingState light;
    ColorBufferState colorBuffer;
    std::vector<LightingState> savedLighting;
    std::vector<ColorBufferState> savedColorBuffer;
    std::vector<GLbitfield> savedMasks;

    bool depthTest = false;
    bool depthMask = true;
    bool scissorTest = false;
    bool texture2D = false;
    GLint viewport[4] = {0, 0, 0, 0};
    GLint scissor[4] = {0, 0, 0, 0};
    GLenum polygonMode[2] = {GL_FILL, GL_FILL};
    float lineWidth = 1;
    GLuint boundTexture = 0;

    float color[4] = {1, 1, 1, 1};
    float normal[3] = {0, 0, 1};
    float texCoord[2] = {0, 0};

    GLenum primitive = 0; // inside glBegin/glEnd when not 0
    Matrix primitiveTransform;   // modelview-projection, fixed from glBegin to glEnd
    float primitiveNormals[9];   // the normal matrix, likewise
    std::vector<Vertex> vertices;
};

GLLayer& layer();
// A new context starts from GL's initial state: lists, textures and all.
void resetLayer();
void deleteAllLists();
void deleteAllTextures();
Matrix& currentMatrix();
// The modelview and projection product, and the normal matrix, as of now.
const Matrix& modelviewProjection();
const float* normalMatrix(); // 3 × 3, column-major

// The colour a vertex at `eye` (eye coordinates) with `normal` gets.
void lightVertex(const float eye[4], const float normal[3], float color[4]);
// Colour material: the current colour written into the materials it drives.
void applyColorMaterial();

void transformPoint(const Matrix& matrix, const float in[4], float out[4]);
void multiplyCurrent(const Matrix& by);

// Display lists: true while a list is being compiled, and the call recorded.
bool compilingList();
void recordVertex(float x, float y, float z);
void recordNormal(float x, float y, float z);
void recordColor(const float color[4]);
void recordTexCoord(float s, float t);
void recordBegin(GLenum mode);
void recordEnd();
void recordMaterial(GLenum face, GLenum name, const float* values);

// Primitive assembly: the vertices of one glBegin/glEnd.
void assemblePrimitive(GLenum mode, const std::vector<Vertex>& vertices);

} // namespace zdgl
