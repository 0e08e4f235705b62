#include "text_internal.h"

#include <climits>
#include <cstring>

int textCountChar(const char* text, char ch) {
    int count = 0;
    for (; *text; ++text)
        if (*text == ch) ++count;
    return count;
}

namespace {

struct Pen {
    int x;
    int y;
};

int clampToInt(long long value, long long lowest = INT_MIN) {
    if (value > INT_MAX) return INT_MAX;
    return static_cast<int>(value < lowest ? lowest : value);
}

// The scissor box covers the text's lines (or the clip window); the pen
// starts on the first line.
Pen textStartLayout(const char* text, int x, int y, int size) {
    const TextState& state = textState;
    if (state.clipEnabled) {
        glScissor(state.clipX, state.clipBottom, state.clipWidth, state.clipHeight);
        return {state.clipX, state.clipBottom + state.clipHeight - size};
    }
    const long long length = static_cast<long long>(std::strlen(text));
    const long long newlines = textCountChar(text, '\n');
    const long long tabs = textCountChar(text, '\t');
    const long long widthFactor = tabs > 0 ? 4 * tabs : 1;
    // Large sizes and many tabs take the box past the int range: clamp it.
    glScissor(x, clampToInt(y - newlines * size), clampToInt(length * size * widthFactor, 0),
              clampToInt((newlines + 1) * size, 0));
    return {x, y};
}

// In clip mode a pen past the window's right edge wraps to the next line;
// false once the pen has left the window's bottom.
bool textWrapInClip(Pen& pen, int size) {
    const TextState& state = textState;
    if (!state.clipEnabled) return true;
    if (pen.x + size > state.clipX + state.clipWidth) {
        pen.y -= size;
        pen.x = state.clipX;
    }
    return pen.y >= state.clipBottom;
}

} // namespace

void textLayout(const char* text, int x, int y, const GLint viewport[4]) {
    const int size = textState.size;
    const int rightLimit = viewport[0] + viewport[2];
    Pen pen = textStartLayout(text, x, y, size);
    for (const char* at = text; *at; ++at) {
        if (pen.x > rightLimit) return;
        if (!textWrapInClip(pen, size)) return;
        switch (*at) {
        case '\t':
            pen.x += 5 * size;
            break;
        case '\n':
            pen.y -= size;
            pen.x = x;
            break;
        case '\\': {
            const int taken = textEscape(at, pen.x, pen.y);
            if (taken == 0) pen.x += size;
            at += taken;
            break;
        }
        default:
            textDrawGlyph(static_cast<unsigned char>(*at), pen.x, pen.y, size);
            pen.x += size;
        }
    }
}
