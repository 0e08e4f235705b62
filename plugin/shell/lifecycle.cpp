#include "audio/audio_features.h"
#include "overlay/help_screen.h"
#include "overlay/host_query.h"
#include "overlay/playlist_panel.h"
#include "scene/scene.h"
#include "shell/module.h"
#include "shell/render_context.h"
#include "shell/render_window.h"
#include "shell/view_state.h"

const char* const libraryName = "Zephyrdome X";
const char* const moduleName = "Zephyrdome Move";

VisModule visModule = {
    moduleName, nullptr, nullptr, 0, 0,
    /*latency*/ 25, /*frameDelay*/ 25, /*spectrumChannels*/ 1, /*waveformChannels*/ 1,
    {}, {}, onConfigure, onStart, onRender, onStop, nullptr,
};

VisHeader visHeader = {visInterfaceVersion, libraryName, getVisModule};

namespace {

bool registerWindowClass(HINSTANCE instance) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_SAVEBITS;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_CROSS);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = windowClassName;
    return RegisterClassExA(&windowClass) != 0;
}

int startRenderWindow(VisModule* module) {
    if (!registerWindowClass(module->instance)) {
        MessageBoxA(module->hostWindow, "Error registering window class", "Error", MB_OK);
        return 1;
    }
    windowPlacement = {100, 100, 640, 480};
    renderWindow = CreateWindowExA(WS_EX_APPWINDOW | WS_EX_TOOLWINDOW, windowClassName,
                                   module->moduleName, WS_VISIBLE | WS_SYSMENU, windowPlacement.x,
                                   windowPlacement.y, windowPlacement.width, windowPlacement.height,
                                   module->hostWindow, nullptr, module->instance, nullptr);
    if (!renderWindow) {
        MessageBoxA(module->hostWindow, "Error creating window", "Error", MB_OK);
        // Left registered, the class would refuse every later start.
        UnregisterClassA(windowClassName, module->instance);
        return 1;
    }
    SetWindowLongPtrA(renderWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(module));
    ShowWindow(renderWindow, SW_SHOWNORMAL);
    UpdateWindow(renderWindow);
    return 0;
}

void drawOverlay(int position) {
    if (viewState.helpVisible) {
        drawHelpScreen();
        return;
    }
    if (!playlistPanel) return;
    playlistPanel->setCurrent(position);
    if (viewState.playlistVisible) {
        playlistPanel->refresh();
        playlistPanel->draw();
    }
}

// The last position the host told; kept when a host asked from another
// thread does not answer in time.
std::atomic<int> lastPosition{0};

int askPlaylistPosition(HWND host) {
    LRESULT position = 0;
    if (askHost(host, 0, hostGetPlaylistPosition, position))
        lastPosition = static_cast<int>(position);
    return lastPosition;
}

// A frame on a thread other than the window's needs our context, which the
// window's thread keeps current until it is told the context is shared.
void borrowContextFromWindowThread(HWND window) {
    if (contextShared || onRenderWindowThread()) return;
    SendMessageTimeoutA(window, releaseContextMessage, 0, 0, SMTO_ABORTIFHUNG, 50, nullptr);
}

void renderFrame(VisModule* module) {
    HWND window;
    {
        RenderLock lock;
        computeAudioFeatures(module);
        // Hosts go on calling after the user closed the window, and even after onStop.
        if (!renderWindow || !renderContext) return;
        window = renderWindow;
    }
    // Neither wait happens under the lock: the threads waited on may need it.
    borrowContextFromWindowThread(window);
    const int position = askPlaylistPosition(module->hostWindow);
    RenderLock lock;
    if (!renderWindow || !renderContext) return;
    RenderContextScope scope;
    if (!scope.ready()) return;
    drawScene();
    drawOverlay(position);
    SwapBuffers(renderDC);
}

} // namespace

extern "C" {

VisModule* getVisModule(int index) { return index == 0 ? &visModule : nullptr; }

void onConfigure(VisModule*) {}

int onStart(VisModule* module) {
    try {
        RenderContextScope scope;
        return startRenderWindow(module);
    } catch (...) {
        return 1;
    }
}

int onRender(VisModule* module) {
    try {
        renderFrame(module);
    } catch (...) {
    }
    return 0;
}

// A frame in flight on another thread is finished first.
void onStop(VisModule* module) {
    RenderLock lock;
    if (renderWindow) DestroyWindow(renderWindow);
    renderWindow = nullptr;
    UnregisterClassA(windowClassName, module->instance);
}

} // extern "C"
