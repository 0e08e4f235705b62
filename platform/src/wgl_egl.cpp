// WGL on EGL: rendering contexts are desktop OpenGL compatibility contexts on
// Mesa's surfaceless platform, so everything runs without a display. Each
// window that a context is made current on gets a pbuffer the size of its
// client area, which plays the window's back buffer.
#include "deferred_present.h"
#include "gdi_state.h"
#include "gl_state.h"
#include "hooks_state.h"
#include "window_state.h"

#include <EGL/eglext.h>

#include <climits>
#include <map>
#include <vector>

namespace zdp {
namespace {

struct GLContext {
    EGLContext context = EGL_NO_CONTEXT;
    EGLConfig config = nullptr;
    bool current = false;
    std::thread::id thread;
    GLenum drawBuffer = 0; // read once on first use, before the application changes it
};

struct WindowSurface {
    EGLSurface surface = EGL_NO_SURFACE;
    EGLConfig config = nullptr;
    int width = 0;
    int height = 0;
    HGLRC lastContext = nullptr;
};

thread_local HGLRC currentContext = nullptr;
thread_local HDC currentDC = nullptr;
thread_local HWND currentWindow = nullptr;

HandleTable<GLContext>& contextTable() {
    static auto* table = new HandleTable<GLContext>(HandleKind::GLContext);
    return *table;
}

std::map<HWND, WindowSurface>& surfaces() {
    static auto* all = new std::map<HWND, WindowSurface>;
    return *all;
}

EGLDisplay openDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return EGL_NO_DISPLAY;
    return display;
}

// Opened once per process and kept: contexts of the GL fixture and of the
// plug-in may outlive any one window.
EGLDisplay display() {
    static EGLDisplay opened = openDisplay();
    return opened;
}

EGLint configAttribute(EGLConfig config, EGLint attribute) {
    EGLint value = 0;
    eglGetConfigAttrib(display(), config, attribute, &value);
    return value;
}

// The pbuffer config an ICD would give the format: the channel, depth and
// stencil bits it asks for, single-sampled; where the driver has none such,
// the one with the fewest bits beyond those asked.
EGLConfig configFor(const PIXELFORMATDESCRIPTOR& format) {
    const EGLint asked[][2] = {{EGL_RED_SIZE, format.cRedBits},
                               {EGL_GREEN_SIZE, format.cGreenBits},
                               {EGL_BLUE_SIZE, format.cBlueBits},
                               {EGL_ALPHA_SIZE, format.cAlphaBits},
                               {EGL_DEPTH_SIZE, format.cDepthBits},
                               {EGL_STENCIL_SIZE, format.cStencilBits},
                               {EGL_SAMPLES, 0}};
    std::vector<EGLint> attributes = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE,
                                      EGL_OPENGL_BIT};
    for (const EGLint* size : asked)
        attributes.insert(attributes.end(), {size[0], size[1]});
    attributes.push_back(EGL_NONE);
    EGLint count = 0;
    if (!eglChooseConfig(display(), attributes.data(), nullptr, 0, &count) || count == 0)
        return nullptr;
    std::vector<EGLConfig> configs(size_t(count), nullptr);
    eglChooseConfig(display(), attributes.data(), configs.data(), count, &count);
    EGLConfig closest = nullptr;
    int fewest = INT_MAX;
    for (EGLint i = 0; i < count; ++i) {
        int beyond = 0;
        for (const EGLint* size : asked)
            beyond += configAttribute(configs[size_t(i)], size[0]) - size[1];
        if (beyond < fewest) {
            closest = configs[size_t(i)];
            fewest = beyond;
        }
    }
    return closest;
}

WindowSurface* surfaceFor(HWND handle, const Window& window, EGLConfig config) {
    auto found = surfaces().find(handle);
    if (found != surfaces().end()) return &found->second;
    RECT client = clientRectOf(window);
    int width = client.right > 0 ? client.right : 1;
    int height = client.bottom > 0 ? client.bottom : 1;
    const EGLint attributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display(), config, attributes);
    if (surface == EGL_NO_SURFACE) return nullptr;
    return &(surfaces()[handle] = WindowSurface{surface, config, width, height, nullptr});
}

void releaseCurrent() {
    if (GLContext* context = contextTable().find(handleValue(currentContext)))
        context->current = false;
    eglMakeCurrent(display(), EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    currentContext = nullptr;
    currentDC = nullptr;
    currentWindow = nullptr;
}

bool makeCurrent(HDC dc, HGLRC handle) {
    GLContext* context = contextTable().find(handleValue(handle));
    if (!context) {
        setError(ERROR_INVALID_HANDLE);
        return false;
    }
    const Window* window = formattedWindowOf(dc);
    if (!window) return false;
    if (configFor(window->pixelFormatDescription) != context->config) {
        setError(ERROR_INVALID_PIXEL_FORMAT);
        return false;
    }
    if (context->current && context->thread != std::this_thread::get_id()) {
        setError(ERROR_BUSY);
        return false;
    }
    HWND windowHandle = WindowFromDC(dc);
    WindowSurface* surface = surfaceFor(windowHandle, *window, context->config);
    eglBindAPI(EGL_OPENGL_API);
    if (!surface ||
        !eglMakeCurrent(display(), surface->surface, surface->surface, context->context)) {
        setError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (GLContext* previous = contextTable().find(handleValue(currentContext)))
        previous->current = false;
    context->current = true;
    context->thread = std::this_thread::get_id();
    if (!context->drawBuffer) {
        GLint buffer = 0;
        glGetIntegerv(GL_DRAW_BUFFER, &buffer);
        context->drawBuffer = GLenum(buffer);
    }
    surface->lastContext = handle;
    currentContext = handle;
    currentDC = dc;
    currentWindow = windowHandle;
    return true;
}

} // namespace

EGLDisplay platformEglDisplay() {
    return display();
}

bool windowSurfaceFormat(HWND window, EGLConfig& config, int& width, int& height) {
    auto found = surfaces().find(window);
    if (found == surfaces().end()) return false;
    config = found->second.config;
    width = found->second.width;
    height = found->second.height;
    return true;
}

// Only for the context current on this thread with that window: it goes on
// drawing into `next`.
bool exchangeWindowSurface(HWND window, EGLSurface next, EGLSurface& previous) {
    auto found = surfaces().find(window);
    GLContext* context = contextTable().find(handleValue(currentContext));
    if (found == surfaces().end() || !context || currentWindow != window) return false;
    if (!eglMakeCurrent(display(), next, next, context->context)) return false;
    previous = found->second.surface;
    found->second.surface = next;
    return true;
}

// The context current on this thread keeps drawing where it draws.
bool readFromSurface(EGLSurface surface) {
    EGLContext context = eglGetCurrentContext();
    return context != EGL_NO_CONTEXT &&
           eglMakeCurrent(display(), eglGetCurrentSurface(EGL_DRAW), surface, context);
}

void releaseWindowSurface(HWND window) {
    StateLock lock(stateMutex());
    auto found = surfaces().find(window);
    if (found == surfaces().end()) return;
    // A surface still current is freed by EGL once it stops being current.
    eglDestroySurface(display(), found->second.surface);
    surfaces().erase(found);
}

bool beginPresent(HWND window, PresentTarget& target) {
    auto found = surfaces().find(window);
    if (found == surfaces().end()) return false;
    WindowSurface& surface = found->second;
    HGLRC handle = currentWindow == window ? currentContext : surface.lastContext;
    GLContext* context = contextTable().find(handleValue(handle));
    if (!context) return false;
    target.width = surface.width;
    target.height = surface.height;
    target.context = handle;
    target.drawBuffer = context->drawBuffer;
    target.switched = handle != currentContext || currentWindow != window;
    if (!target.switched) return true;
    if (context->current && context->thread != std::this_thread::get_id()) return false;
    target.previousContext = eglGetCurrentContext();
    target.previousDraw = eglGetCurrentSurface(EGL_DRAW);
    target.previousRead = eglGetCurrentSurface(EGL_READ);
    return eglMakeCurrent(display(), surface.surface, surface.surface, context->context);
}

void endPresent(const PresentTarget& target) {
    if (target.switched)
        eglMakeCurrent(display(), target.previousDraw, target.previousRead, target.previousContext);
}

void deleteAllContexts() {
    StateLock lock(stateMutex());
    if (currentContext) releaseCurrent();
    for (uintptr_t value : contextTable().handles()) {
        eglDestroyContext(display(), contextTable().find(value)->context);
        contextTable().remove(value);
    }
}

int liveContextCount() {
    StateLock lock(stateMutex());
    return contextTable().size();
}

} // namespace zdp

using namespace zdp;

HGLRC WINAPI wglCreateContext(HDC dc) {
    StateLock lock(stateMutex());
    const Window* window = formattedWindowOf(dc);
    if (!window) return nullptr;
    EGLConfig config =
        display() == EGL_NO_DISPLAY ? nullptr : configFor(window->pixelFormatDescription);
    if (!config) {
        setError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    eglBindAPI(EGL_OPENGL_API);
    EGLContext created = eglCreateContext(display(), config, EGL_NO_CONTEXT, nullptr);
    if (created == EGL_NO_CONTEXT) {
        setError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto context = std::make_unique<GLContext>();
    context->context = created;
    context->config = config;
    return handleFrom<HGLRC>(contextTable().add(std::move(context)));
}

// A context current on this thread stops being current first.
BOOL WINAPI wglDeleteContext(HGLRC handle) {
    StateLock lock(stateMutex());
    GLContext* context = contextTable().find(handleValue(handle));
    if (!context) {
        setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (context->current && context->thread != std::this_thread::get_id()) {
        setError(ERROR_BUSY);
        return FALSE;
    }
    releasePresents(handle);
    if (handle == currentContext) releaseCurrent();
    for (auto& entry : surfaces())
        if (entry.second.lastContext == handle) entry.second.lastContext = nullptr;
    eglDestroyContext(display(), context->context);
    contextTable().remove(handleValue(handle));
    return TRUE;
}

// A null context makes none current on this thread, whatever the device context.
BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
    StateLock lock(stateMutex());
    if (!context) {
        if (currentContext) releaseCurrent();
        return TRUE;
    }
    // As on Windows, a failed call leaves no context current.
    if (makeCurrent(dc, context)) return TRUE;
    if (currentContext) releaseCurrent();
    return FALSE;
}

HGLRC WINAPI wglGetCurrentContext(void) {
    return currentContext;
}

HDC WINAPI wglGetCurrentDC(void) {
    return currentDC;
}
