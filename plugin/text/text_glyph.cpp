#include "text_internal.h"

// The shadow lies one pixel right of and above the glyph (two right while
// bold) and is drawn first, so the glyph covers it.
void textDrawGlyph(unsigned char code, int x, int y, int size) {
    if (textState.shadow) textGlyphQuad(code, x + (textState.bold ? 2 : 1), y + 1, size, 1);
    textGlyphQuad(code, x, y, size, 0);
    if (textState.bold) textGlyphQuad(code, x + 1, y, size, 0);
}

void textGlyphQuad(unsigned char code, int x, int y, int size, int shadowPass) {
    const TextState& state = textState;
    const float* bottom = shadowPass       ? state.shadowColor
                          : state.gradient ? state.gradientColor
                                           : state.color;
    const float* top = shadowPass ? state.shadowColor : state.color;
    const GlyphCorner corner = fontInfo.glyphs[code];
    const float w = fontInfo.cellWidth;
    const float h = fontInfo.cellHeight;
    const int shear = state.italicShear;

    glColor4fv(bottom);
    glBegin(GL_QUADS);
    glTexCoord2f(corner.s, corner.t);
    glVertex2i(x, y);
    glTexCoord2f(corner.s + w, corner.t);
    glVertex2i(x + size, y);
    glColor4fv(top);
    glTexCoord2f(corner.s + w, corner.t + h);
    glVertex2i(x + size + shear, y + size);
    glTexCoord2f(corner.s, corner.t + h);
    glVertex2i(x + shear, y + size);
    glEnd();
}
