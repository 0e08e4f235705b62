// Fixed-function lighting of one vertex, with the terms and order of Mesa's
// fixed-function vertex program: a positional light with a spot cone, no
// attenuation, an infinite viewer, the front material for both faces.
#include "gl_layer.h"
#include "webgl_batch.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zdgl {
namespace {

float dot3(const float a[3], const float b[3]) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void normalize3(float v[3]) {
    const float length = std::sqrt(dot3(v, v));
    if (length > 0)
        for (int i = 0; i < 3; ++i) v[i] /= length;
}

// The spot factor: 0 outside the cone, the cosine to the exponent inside.
float spotFactor(const Light& light, const float towardsVertex[3]) {
    if (light.spotCutoff == 180) return 1;
    float direction[3] = {light.spotDirection[0], light.spotDirection[1], light.spotDirection[2]};
    normalize3(direction);
    const float cosine = dot3(towardsVertex, direction);
    const float cutoff = static_cast<float>(std::cos(light.spotCutoff * M_PI / 180.0));
    if (!(cosine > cutoff)) return 0;
    return std::pow(cosine, light.spotExponent);
}

void addLight(const Light& light, const Material& material, const float eye[4],
              const float normal[3], float color[3]) {
    float toLight[3];
    for (int i = 0; i < 3; ++i)
        toLight[i] = light.position[3] != 0 ? light.position[i] - eye[i] : light.position[i];
    normalize3(toLight);
    const float fromLight[3] = {-toLight[0], -toLight[1], -toLight[2]};
    const float spot = light.position[3] != 0 ? spotFactor(light, fromLight) : 1;
    if (spot == 0) return;
    const float nl = dot3(normal, toLight);
    const float diffuse = std::max(nl, 0.0f);
    float half[3] = {toLight[0], toLight[1], toLight[2] + 1};
    normalize3(half);
    // Mesa, which the desktop's frames come from, gives a zero shininess
    // under a spot light pow(n.L, n.L), not 1: its LIT reads the exponent
    // from a register it left holding n.L. The plug-in never sets a shininess.
    float specular = nl > 0 ? std::pow(std::max(dot3(normal, half), 0.0f), material.shininess) : 0;
    if (material.shininess == 0 && light.spotCutoff != 180) specular = nl > 0 ? std::pow(nl, nl) : 0;
    for (int i = 0; i < 3; ++i)
        color[i] += spot * (light.ambient[i] * material.ambient[i] +
                            diffuse * light.diffuse[i] * material.diffuse[i] +
                            specular * light.specular[i] * material.specular[i]);
}

float clamp01(float v) {
    return std::min(std::max(v, 0.0f), 1.0f);
}

void copy4(float* to, const float* from) {
    std::memcpy(to, from, 4 * sizeof(float));
}

float* materialColor(Material& material, GLenum name) {
    switch (name) {
    case GL_AMBIENT:
        return material.ambient;
    case GL_DIFFUSE:
        return material.diffuse;
    case GL_SPECULAR:
        return material.specular;
    case GL_EMISSION:
        return material.emission;
    default:
        return nullptr;
    }
}

void setMaterial(GLenum face, GLenum name, const float* values) {
    LightingState& state = layer().light;
    Material* faces[2] = {face != GL_BACK ? &state.front : nullptr,
                          face != GL_FRONT ? &state.back : nullptr};
    for (Material* material : faces) {
        if (!material) continue;
        if (name == GL_SHININESS) {
            material->shininess = values[0];
        } else if (name == GL_AMBIENT_AND_DIFFUSE) {
            copy4(material->ambient, values);
            copy4(material->diffuse, values);
        } else if (float* target = materialColor(*material, name)) {
            copy4(target, values);
        }
    }
}

} // namespace

void lightVertex(const float eye[4], const float normal[3], float color[4]) {
    const LightingState& state = layer().light;
    const Material& material = state.front;
    float sum[3];
    for (int i = 0; i < 3; ++i)
        sum[i] = material.emission[i] + state.modelAmbient[i] * material.ambient[i];
    for (const Light& light : state.lights)
        if (light.enabled) addLight(light, material, eye, normal, sum);
    for (int i = 0; i < 3; ++i) color[i] = clamp01(sum[i]);
    color[3] = clamp01(material.diffuse[3]);
}

void applyColorMaterial() {
    LightingState& state = layer().light;
    if (!state.colorMaterial) return;
    setMaterial(state.colorMaterialFace, state.colorMaterialMode, layer().color);
}

} // namespace zdgl

using namespace zdgl;

extern "C" {

void glMaterialfv(GLenum face, GLenum name, const GLfloat* values) {
    if (compilingList()) return recordMaterial(face, name, values);
    setMaterial(face, name, values);
}

void glColorMaterial(GLenum face, GLenum mode) {
    layer().light.colorMaterialFace = face;
    layer().light.colorMaterialMode = mode;
    applyColorMaterial();
}

void glLightModelfv(GLenum name, const GLfloat* values) {
    if (name == GL_LIGHT_MODEL_AMBIENT) copy4(layer().light.modelAmbient, values);
}

void glLightfv(GLenum lightName, GLenum name, const GLfloat* values) {
    const unsigned index = lightName - GL_LIGHT0;
    if (index >= 1) return;
    Light& light = layer().light.lights[index];
    const Matrix& modelview = layer().modelview[layer().modelviewDepth];
    if (name == GL_POSITION) {
        transformPoint(modelview, values, light.position);
    } else if (name == GL_SPOT_DIRECTION) {
        const float direction[4] = {values[0], values[1], values[2], 0};
        float eye[4];
        transformPoint(modelview, direction, eye);
        std::memcpy(light.spotDirection, eye, 3 * sizeof(float));
    } else if (name == GL_SPOT_EXPONENT) {
        light.spotExponent = values[0];
    } else if (name == GL_SPOT_CUTOFF) {
        light.spotCutoff = values[0];
    } else if (float* target = name == GL_AMBIENT    ? light.ambient
                               : name == GL_DIFFUSE  ? light.diffuse
                               : name == GL_SPECULAR ? light.specular
                                                     : nullptr) {
        copy4(target, values);
    }
}

void glLightf(GLenum lightName, GLenum name, GLfloat value) {
    glLightfv(lightName, name, &value);
}

} // extern "C"
