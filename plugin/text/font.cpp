#include "text.h"

#include <GL/gl.h>

#include <cmath>

FontInfo fontInfo;

namespace {

// A fresh texture name, the glyph table, then the file: the name is taken even
// when the file then fails to load.
int textLoadFontSteps(const char* path) {
    glGenTextures(1, &fontInfo.texture);
    textBuildGlyphTable();
    return tgaLoadTexture(path, fontInfo.texture);
}

} // namespace

// Entry k holds the lower-left corner of cell k counted left to right, top
// row first, in texture space where t = 0 is the image's bottom row.
void textBuildGlyphTable() {
    fontInfo.cellWidth = static_cast<float>(std::pow(static_cast<double>(fontInfo.columns), -1.0));
    fontInfo.cellHeight = static_cast<float>(std::pow(static_cast<double>(fontInfo.rows), -1.0));
    int entry = 0;
    for (float t = 1 - fontInfo.cellHeight; t >= 0; t -= fontInfo.cellHeight)
        for (float s = 0; s <= 1 - fontInfo.cellWidth; s += fontInfo.cellWidth)
            if (entry < 256) fontInfo.glyphs[entry++] = {s, t};
}

int textLoadFont(const char* path) {
    fontInfo.rows = 16;
    fontInfo.columns = 16;
    return textLoadFontSteps(path);
}

int textLoadFontGrid(const char* path, int rows, int columns) {
    if (rows <= 0 || columns <= 0 || static_cast<long long>(rows) * columns != 256) return 0;
    fontInfo.rows = rows;
    fontInfo.columns = columns;
    return textLoadFontSteps(path);
}
