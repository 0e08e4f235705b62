#include "text_internal.h"

#include <cmath>
#include <cstdio>
#include <cstring>

// \c(r g b) or \a(r g b a), numbers from 0 to 255 read like sscanf reads them.
int textColorEscape(const char* text) {
    int value[4] = {0, 0, 0, 0};
    const bool withAlpha = text[1] == 'a';
    const int wanted = withAlpha ? 4 : 3;
    const int parsed =
        withAlpha
            ? std::sscanf(text + 2, "(%d %d %d %d", &value[0], &value[1], &value[2], &value[3])
            : std::sscanf(text + 2, "(%d %d %d", &value[0], &value[1], &value[2]);
    if (parsed != wanted) return -1;
    const float scale = static_cast<float>(std::pow(255.0, -1.0));
    for (int i = 0; i < wanted; ++i)
        textState.color[i] = value[i] * scale;
    if (!withAlpha) textState.color[3] = 1.0f;
    // Without a closing parenthesis the escape takes the rest of the text.
    const char* close = std::strchr(text + 2, ')');
    const char* last = close ? close : text + std::strlen(text) - 1;
    return static_cast<int>(last - text);
}

int textBoldEscape(const char* text) {
    if (text[2] != '+' && text[2] != '-') return -1;
    textState.bold = text[2] == '+' ? 1 : 0;
    return 2;
}

int textItalicEscape(const char* text) {
    if (text[2] != '+' && text[2] != '-') return -1;
    textState.italicShear = text[2] == '+' ? 8 : 0;
    return 2;
}

// An escape that is malformed or has no escape letter is drawn as text: the
// backslash takes one cell and the layout carries on after it.
int textEscape(const char* text, int penX, int penY) {
    int taken = -1;
    switch (text[1]) {
    case '\0':
        return 0;
    case 'c':
    case 'a':
        taken = textColorEscape(text);
        break;
    case 'b':
        taken = textBoldEscape(text);
        break;
    case 'i':
        taken = textItalicEscape(text);
        break;
    }
    if (taken > 0) return taken;
    textDrawGlyph('\\', penX, penY, textState.size);
    return 0;
}
