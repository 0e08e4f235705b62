#include "headless_gl.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* step) {
    std::fprintf(stderr, "headless GL: %s failed (EGL error 0x%x)\n", step, eglGetError());
    std::abort();
}

EGLDisplay surfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) fail("eglGetPlatformDisplayEXT");
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        fail("eglInitialize");
    return display;
}

} // namespace

void openHeadlessGL() {
    static bool open = false;
    if (open) return;
    EGLDisplay display = surfacelessDisplay();
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_DEPTH_SIZE,
                                       16,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &count) || count != 1)
        fail("eglChooseConfig");
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) fail("eglCreateContext");
    const EGLint surfaceAttributes[] = {EGL_WIDTH, headlessWidth, EGL_HEIGHT, headlessHeight,
                                        EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) fail("eglCreatePbufferSurface");
    if (!eglMakeCurrent(display, surface, surface, context)) fail("eglMakeCurrent");
    glViewport(0, 0, headlessWidth, headlessHeight);
    open = true;
}
