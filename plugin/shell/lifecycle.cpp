#include "audio/audio_features.h"
#include "overlay/help_screen.h"
#include "overlay/host_query.h"
#include "overlay/playlist_panel.h"
#include "overlay/playlist_titles.h"
#include "scene/scene.h"
#include "shell/module.h"
#include "shell/render_context.h"
#include "shell/render_window.h"
#include "shell/view_state.h"

#include <climits>

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

int refuseStart(VisModule* module, const char* text) {
    MessageBoxA(module->hostWindow, text, "Error", MB_OK);
    return 1;
}

int startRenderWindow(VisModule* module) {
    if (!registerWindowClass(module->instance))
        return refuseStart(module, "Error registering window class");
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

// The position the host last told in this session; none until it answers.
constexpr long long noPosition = LLONG_MIN;
std::atomic<long long> lastPosition{noPosition};

// A stop that the window's thread has not carried out yet; the next start
// finishes it.
std::atomic<HWND> pendingStop{nullptr};

bool finishPendingStop(HINSTANCE instance) {
    HWND stopping = pendingStop;
    if (stopping && !stopRenderWindow(stopping, instance)) return false;
    pendingStop = nullptr;
    return true;
}

// A host asked from another thread that does not answer in time keeps the
// last answer.
long long askPlaylistPosition(HWND host) {
    LRESULT position = 0;
    if (askHost(host, 0, hostGetPlaylistPosition, position))
        lastPosition = static_cast<int>(position);
    return lastPosition;
}

void drawOverlay(long long position, PlaylistUpdate& titles) {
    if (viewState.helpVisible) {
        drawHelpScreen();
        return;
    }
    if (!playlistPanel) return;
    if (position != noPosition) playlistPanel->setCurrent(static_cast<int>(position));
    if (viewState.playlistVisible) {
        playlistPanel->takeTitles(titles);
        playlistPanel->draw();
    }
}

// What a frame needs to know before it asks the host anything.
struct FrameStart {
    HWND window = nullptr;
    bool refreshesPanel = false;
    int heldTitles = 0;
};

// Hosts go on calling after the user closed the window, and even after onStop.
bool beginFrame(FrameStart& start) {
    RenderLock lock;
    if (!renderWindow || !renderContext) return false;
    start.window = renderWindow;
    start.refreshesPanel = playlistPanel && !viewState.helpVisible && viewState.playlistVisible;
    start.heldTitles = playlistPanel ? playlistPanel->titleCount : 0;
    return true;
}

// The host's questions and the context's hand-over come before the lock: the
// window's thread, which also answers for the host, may be waiting for it. A
// frame that cannot have the context draws nothing and changes nothing, so
// the host can tell (no buffer swap) and call it again.
void renderFrame(VisModule* module) {
    FrameStart start;
    if (!beginFrame(start) || !borrowContextFromWindowThread(start.window)) return;
    const long long position = askPlaylistPosition(module->hostWindow);
    PlaylistUpdate titles;
    if (start.refreshesPanel) titles = PlaylistUpdate::fetch(module, start.heldTitles);
    RenderLock lock;
    if (renderWindow != start.window || !renderContext) return;
    RenderContextScope scope;
    if (!scope.ready()) return;
    computeAudioFeatures(module);
    drawScene();
    drawOverlay(position, titles);
    SwapBuffers(renderDC);
}

} // namespace

extern "C" {

VisModule* getVisModule(int index) { return index == 0 ? &visModule : nullptr; }

void onConfigure(VisModule*) {}

int onStart(VisModule* module) {
    try {
        // Its window would still hold the class.
        if (!finishPendingStop(module->instance))
            return refuseStart(module, "Error registering window class");
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

// When the window's thread does not answer in time, the stop is left in its
// queue: the window and the class go when it next looks there, or at the next
// start. Until then frames still draw into the window.
void onStop(VisModule* module) {
    lastPosition = noPosition;
    HWND window = renderWindow;
    if (stopRenderWindow(window, module->instance)) return;
    PostMessageA(window, stopWindowMessage, reinterpret_cast<WPARAM>(module->instance), 0);
    pendingStop = window;
}

} // extern "C"
