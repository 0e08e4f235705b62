#include "overlay/playlist_panel.h"
#include "scene/scene.h"
#include "shell/gl_setup.h"
#include "shell/module.h"
#include "shell/render_context.h"
#include "shell/render_window.h"
#include "shell/view_state.h"

#include <new>

const char* const windowClassName = "Zephyrdome X";

std::atomic<HWND> renderWindow{nullptr};
HDC renderDC = nullptr;
HGLRC renderContext = nullptr;
HPALETTE renderPalette = nullptr;
PlaylistPanel* playlistPanel = nullptr;
WindowPlacement windowPlacement = {};
int clientWidth = 0;
int clientHeight = 0;

namespace {

LRESULT onCreate(HWND window) {
    RenderLock lock;
    contextShared = false;
    renderDC = GetDC(window);
    RECT client;
    GetClientRect(window, &client);
    clientWidth = client.right;
    clientHeight = client.bottom;
    // -1 fails the creation; the destruction that follows releases the DC.
    if (!setupPixelFormat(renderDC)) return -1;
    setupPalette(renderDC);
    renderContext = wglCreateContext(renderDC);
    wglMakeCurrent(renderDC, renderContext);
    initGLState();
    playlistPanel = new (std::nothrow) PlaylistPanel(getVisModule(0), pluginFontPath());
    return 0;
}

// Everything the creation acquired goes with the window, so a host that starts
// and stops the plug-in many times holds one context at most.
void releaseRenderResources(HWND window) {
    // The panel's GL objects belong to our context, whichever is current.
    RenderContextScope scope;
    delete playlistPanel;
    playlistPanel = nullptr;
    if (renderContext) {
        if (wglGetCurrentContext() == renderContext) wglMakeCurrent(nullptr, nullptr);
        wglDeleteContext(renderContext);
        renderContext = nullptr;
    }
    if (renderDC) ReleaseDC(window, renderDC);
    renderDC = nullptr;
    if (renderPalette) DeleteObject(renderPalette);
    renderPalette = nullptr;
    if (window == renderWindow) renderWindow = nullptr;
}

// A window whose creation failed was never the render window: its destruction
// must not end the host's message loop.
void onDestroy(HWND window) {
    RenderLock lock;
    const bool kept = window == renderWindow;
    releaseRenderResources(window);
    if (kept) PostQuitMessage(0);
}

void onMove(HWND window) {
    RECT outer;
    GetWindowRect(window, &outer);
    windowPlacement.x = outer.left;
    windowPlacement.y = outer.top;
}

void onSize(HWND window, LPARAM lParam) {
    RenderLock lock;
    clientWidth = LOWORD(lParam);
    clientHeight = HIWORD(lParam);
    RenderContextScope scope;
    setViewport(clientWidth, clientHeight);
    RECT outer;
    GetWindowRect(window, &outer);
    windowPlacement.width = outer.right - outer.left;
    windowPlacement.height = outer.bottom - outer.top;
}

void onPaint(HWND window) {
    RenderLock lock;
    if (renderContext) {
        RenderContextScope scope;
        drawScene();
        if (viewState.playlistVisible && playlistPanel) playlistPanel->draw();
        SwapBuffers(renderDC);
    }
    ValidateRect(window, nullptr);
}

void onKeyDown(WPARAM wParam) {
    RenderLock lock;
    handleKeyDown(wParam);
}

void forwardKeyUp(HWND window, WPARAM wParam, LPARAM lParam) {
    {
        RenderLock lock;
        handleKeyUp(wParam);
    }
    auto* module = reinterpret_cast<VisModule*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (module) PostMessageA(module->hostWindow, WM_KEYUP, wParam, lParam);
}

// The title is picked under the lock; the host is told outside it, since it
// may stop a render thread that waits for the lock.
void onClick(LPARAM lParam) {
    int title;
    {
        RenderLock lock;
        title = handleClick(LOWORD(lParam), HIWORD(lParam));
    }
    if (title >= 0) playTitle(title);
}

bool paletteInUse() { return renderContext && renderPalette; }

void onPaletteChange() {
    RenderLock lock;
    reselectPalette();
}

} // namespace

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return onCreate(window);
    case WM_DESTROY:
        onDestroy(window);
        return 0;
    case WM_MOVE:
        onMove(window);
        return 0;
    case WM_SIZE:
        if (!renderContext) break;
        onSize(window, lParam);
        return 0;
    case WM_PAINT:
        onPaint(window);
        return 0;
    case WM_KEYDOWN:
        onKeyDown(wParam);
        break;
    case WM_KEYUP:
        forwardKeyUp(window, wParam, lParam);
        return 0;
    case WM_LBUTTONDOWN:
        onClick(lParam);
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
        return 0;
    case WM_QUERYNEWPALETTE:
        if (!paletteInUse()) break;
        onPaletteChange();
        return 0;
    case WM_PALETTECHANGED:
        if (!paletteInUse() || reinterpret_cast<HWND>(wParam) == window) break;
        onPaletteChange();
        return 0;
    case releaseContextMessage:
        releaseContextOnWindowThread();
        return 1;
    case stopWindowMessage:
        stopRenderWindowHere(window, reinterpret_cast<HINSTANCE>(wParam));
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
