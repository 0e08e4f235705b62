// WGL in a web page: a rendering context is a WebGL 1 context on the page's
// canvas, sized to the window's client area, with the OpenGL 1.1 layer of
// platform/webgl drawing through it. A page has one canvas, so one window at
// a time can hold a context.
#include "gdi_state.h"
#include "hooks_state.h"
#include "web_canvas.h"
#include "window_state.h"

#include <emscripten/html5.h>

namespace zdgl {
void resetLayer();
}

namespace zdp {
namespace {

struct GLContext {
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webgl = 0;
    HWND window = nullptr;
};

HGLRC currentContext = nullptr;
HDC currentDC = nullptr;

HandleTable<GLContext>& contextTable() {
    static auto* table = new HandleTable<GLContext>(HandleKind::GLContext);
    return *table;
}

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE createWebGL(const Window& window) {
    const RECT client = clientRectOf(window);
    emscripten_set_canvas_element_size(webCanvasSelector, client.right, client.bottom);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = EM_FALSE;
    attributes.depth = window.pixelFormatDescription.cDepthBits > 0;
    attributes.stencil = EM_FALSE;
    attributes.antialias = EM_FALSE;
    attributes.preserveDrawingBuffer = EM_FALSE;
    attributes.majorVersion = 1;
    return emscripten_webgl_create_context(webCanvasSelector, &attributes);
}

void releaseCurrent() {
    emscripten_webgl_make_context_current(0);
    currentContext = nullptr;
    currentDC = nullptr;
}

} // namespace

void releaseWindowSurface(HWND) {}

void deleteAllContexts() {
    for (uintptr_t value : contextTable().handles()) wglDeleteContext(handleFrom<HGLRC>(value));
}

int liveContextCount() {
    return int(contextTable().handles().size());
}

} // namespace zdp

using namespace zdp;

HGLRC WINAPI wglCreateContext(HDC dc) {
    StateLock lock(stateMutex());
    HWND handle = nullptr;
    const Window* window = formattedWindowOf(dc, &handle);
    if (!window) return nullptr;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE webgl = createWebGL(*window);
    if (webgl <= 0) {
        setError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    auto context = std::make_unique<GLContext>();
    context->webgl = webgl;
    context->window = handle;
    return handleFrom<HGLRC>(contextTable().add(std::move(context)));
}

BOOL WINAPI wglDeleteContext(HGLRC handle) {
    StateLock lock(stateMutex());
    GLContext* context = contextTable().find(handleValue(handle));
    if (!context) {
        setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (handle == currentContext) releaseCurrent();
    emscripten_webgl_destroy_context(context->webgl);
    zdgl::resetLayer();
    contextTable().remove(handleValue(handle));
    return TRUE;
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC handle) {
    StateLock lock(stateMutex());
    if (!handle) {
        if (currentContext) releaseCurrent();
        return TRUE;
    }
    GLContext* context = contextTable().find(handleValue(handle));
    HWND window = nullptr;
    if (!context || !formattedWindowOf(dc, &window) ||
        emscripten_webgl_make_context_current(context->webgl) != EMSCRIPTEN_RESULT_SUCCESS) {
        if (currentContext) releaseCurrent();
        setError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    currentContext = handle;
    currentDC = dc;
    return TRUE;
}

HGLRC WINAPI wglGetCurrentContext(void) {
    return currentContext;
}

HDC WINAPI wglGetCurrentDC(void) {
    return currentDC;
}
