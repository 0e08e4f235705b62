#include "text_internal.h"

TextState textState;

const float defaultTextColor[4] = {1, 1, 1, 1};
const float defaultSecondaryColor[4] = {0.5f, 0.5f, 0.5f, 1};

namespace {

void setColor(float* color, float r, float g, float b, float a) {
    color[0] = r;
    color[1] = g;
    color[2] = b;
    color[3] = a;
}

} // namespace

void textSetSize(int size) {
    textState.size = size;
}

void textSetColor(float r, float g, float b) {
    setColor(textState.color, r, g, b, 1);
}
void textSetColor4(float r, float g, float b, float a) {
    setColor(textState.color, r, g, b, a);
}
void textSetColorv(const float* rgb) {
    setColor(textState.color, rgb[0], rgb[1], rgb[2], 1);
}
void textSetColor4v(const float* rgba) {
    setColor(textState.color, rgba[0], rgba[1], rgba[2], rgba[3]);
}

void textSetShadowColor(float r, float g, float b) {
    setColor(textState.shadowColor, r, g, b, 1);
}
void textSetShadowColor4(float r, float g, float b, float a) {
    setColor(textState.shadowColor, r, g, b, a);
}
void textSetShadowColorv(const float* rgb) {
    setColor(textState.shadowColor, rgb[0], rgb[1], rgb[2], 1);
}
void textSetShadowColor4v(const float* rgba) {
    setColor(textState.shadowColor, rgba[0], rgba[1], rgba[2], rgba[3]);
}

void textSetGradientColor(float r, float g, float b) {
    setColor(textState.gradientColor, r, g, b, 1);
}
void textSetGradientColor4(float r, float g, float b, float a) {
    setColor(textState.gradientColor, r, g, b, a);
}
void textSetGradientColorv(const float* rgb) {
    setColor(textState.gradientColor, rgb[0], rgb[1], rgb[2], 1);
}
void textSetGradientColor4v(const float* rgba) {
    setColor(textState.gradientColor, rgba[0], rgba[1], rgba[2], rgba[3]);
}

void textSetShadow() {
    textState.shadow = 1;
}
void textSetGradient() {
    textState.gradient = 1;
}

// top is the window's upper edge; the layout works from its bottom edge.
void textSetClipWindow(int left, int top, int width, int height) {
    textState.clipX = left;
    textState.clipBottom = top - height;
    textState.clipWidth = width;
    textState.clipHeight = height;
    textState.clipEnabled = 1;
}

void textResetState() {
    textState = TextState{};
    for (int i = 0; i < 4; ++i) {
        textState.color[i] = defaultTextColor[i];
        textState.gradientColor[i] = defaultSecondaryColor[i];
        textState.shadowColor[i] = defaultSecondaryColor[i];
    }
}
