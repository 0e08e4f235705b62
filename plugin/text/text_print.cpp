#include "text_internal.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr int textBufferSize = 1024;

} // namespace

void textPrint(int x, int y, const char* format, ...) {
    char buffer[textBufferSize] = {};
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    buffer[textBufferSize - 1] = '\0';

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    textGLState(textGLSave);

    // Window pixels from the viewport's bottom-left corner.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, viewport[2], 0, viewport[3], -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    glBindTexture(GL_TEXTURE_2D, fontInfo.texture);
    textLayout(buffer, x, y, viewport);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    textGLState(textGLRestore);
    textResetState();
}
