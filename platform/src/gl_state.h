// What WGL shares with SwapBuffers: getting a window's GL surface current for
// reading back what was drawn into it.
#pragma once

#include <windows.h>

#include <EGL/egl.h>
#include <GL/gl.h>

#include <vector>

namespace zdp {

struct PresentTarget {
    int width = 0;
    int height = 0;
    HGLRC context = nullptr;
    GLenum drawBuffer = 0; // the surface's own colour buffer
    bool switched = false; // another context or surface was current before
    EGLContext previousContext = EGL_NO_CONTEXT;
    EGLSurface previousDraw = EGL_NO_SURFACE;
    EGLSurface previousRead = EGL_NO_SURFACE;
};

// Makes the window's surface current: with the context current on this thread
// when it draws to that window, otherwise with the last context that drew to it.
// False when no context has drawn to the window or that one is busy elsewhere.
bool beginPresent(HWND window, PresentTarget& target);
void endPresent(const PresentTarget& target);

// For presenting without waiting (deferred_present.cpp): the window's surface
// format, and handing the context current on this thread another surface of
// that format to draw into, or to read from.
EGLDisplay platformEglDisplay();
bool windowSurfaceFormat(HWND window, EGLConfig& config, int& width, int& height);
bool exchangeWindowSurface(HWND window, EGLSurface next, EGLSurface& previous);
bool readFromSurface(EGLSurface surface);
// The colour buffer `buffer` of the current read surface as top-down RGBA8
// rows, with the application's pack and transfer state and bindings set aside
// meanwhile.
void readPicture(GLenum buffer, int width, int height, std::vector<unsigned char>& picture);

} // namespace zdp
