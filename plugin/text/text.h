// Texture-font text over the finished frame, in window pixels from the
// bottom-left corner. Load the font once with textLoadFont while the context is
// current; before every textPrint set the size and colour, because each print
// ends by resetting the style. Markup inside the text: \c(r g b) and
// \a(r g b a) colours (0..255), \b+ \b- bold, \i+ \i- italic, tabs, newlines.
#pragma once

#include <cstdio>

// FontInfo and the TGA loader.
struct GlyphCorner {
    float s;
    float t;
};

struct FontInfo {
    float cellWidth = 0.0f;
    float cellHeight = 0.0f;
    int rows = 16;
    int columns = 16;
    unsigned int texture = 0;
    GlyphCorner glyphs[256] = {};
};

extern FontInfo fontInfo;

constexpr int TGA_OK = 1;
constexpr int TGA_ERR_OPEN = -13;
constexpr int TGA_ERR_TYPE = -14;
constexpr int TGA_ERR_SIZE = -15;
constexpr int TGA_ERR_DEPTH = -16;
constexpr int TGA_ERR_READ = -17;

int textLoadFont(const char* path);
int textLoadFontGrid(const char* path, int rows, int columns);
void textBuildGlyphTable();
int tgaLoadTexture(const char* path, unsigned int name);
bool tgaIsValidSize(int n);
// Returns a malloc'ed buffer the caller frees, or null; *format gets the GL format.
unsigned char* tgaReadPixels(std::FILE* file, int pixelCount, int bitsPerPixel, unsigned int* format);

// The styled text renderer.
struct TextState {
    float color[4] = {1, 1, 1, 1};
    float gradientColor[4] = {0.5f, 0.5f, 0.5f, 1};
    float shadowColor[4] = {0.5f, 0.5f, 0.5f, 1};
    int size = 12;
    int shadow = 0;
    int gradient = 0;
    int italicShear = 0;
    int bold = 0;
    int clipEnabled = 0;
    int clipX = 0;
    int clipBottom = 0;
    int clipWidth = 0;
    int clipHeight = 0;
};

extern TextState textState;

void textPrint(int x, int y, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
void textSetSize(int size);
void textSetColor(float r, float g, float b);
void textSetColor4(float r, float g, float b, float a);
void textSetColorv(const float* rgb);
void textSetColor4v(const float* rgba);
void textSetShadowColor(float r, float g, float b);
void textSetShadowColor4(float r, float g, float b, float a);
void textSetShadowColorv(const float* rgb);
void textSetShadowColor4v(const float* rgba);
void textSetGradientColor(float r, float g, float b);
void textSetGradientColor4(float r, float g, float b, float a);
void textSetGradientColorv(const float* rgb);
void textSetGradientColor4v(const float* rgba);
void textSetShadow();
void textSetGradient();
void textSetClipWindow(int left, int top, int width, int height);
void textResetState();
