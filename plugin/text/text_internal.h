// The text renderer's inner steps, reached from textPrint (and from tests).
#pragma once

#include "text.h"

#include <GL/gl.h>

// What a print forces and puts back: one slot, so prints never nest.
struct SavedGLState {
    GLint polygonMode[2] = {GL_FILL, GL_FILL};
    GLboolean texture2D = GL_FALSE;
    GLboolean depthTest = GL_FALSE;
    GLboolean lighting = GL_FALSE;
    GLboolean scissorTest = GL_FALSE;
    GLboolean blend = GL_FALSE;
    GLint matrixMode = GL_MODELVIEW;
    GLint blendSource = GL_ONE;
    GLint blendDestination = GL_ZERO;
};

extern SavedGLState savedGLState;

extern const float defaultTextColor[4];
extern const float defaultSecondaryColor[4];

constexpr int textGLSave = 1;
constexpr int textGLRestore = 2;

// textGLSave: saves the state into savedGLState and forces the text state;
// textGLRestore: puts the saved state back; other modes do nothing.
void textGLState(int mode);
void textLayout(const char* text, int x, int y, const GLint viewport[4]);
int textCountChar(const char* text, char ch);

// text points at a backslash. Returns how many characters after it the
// escape takes (0 when the backslash stands alone and takes one cell).
int textEscape(const char* text, int penX, int penY);
// Each returns the characters its escape takes after the backslash, or -1
// for a malformed escape, which textEscape then draws as text.
int textColorEscape(const char* text);
int textBoldEscape(const char* text);
int textItalicEscape(const char* text);

void textDrawGlyph(unsigned char code, int x, int y, int size);
void textGlyphQuad(unsigned char code, int x, int y, int size, int shadowPass);
