// The X11 connection: opened once, on first need, when DISPLAY is set, and
// kept for the life of the process like the EGL display.
#include "display.h"
#include "x11_state.h"

#include <X11/XKBlib.h>

#include <atomic>
#include <cstdlib>

namespace zdp {
namespace {

std::atomic<bool> displayWanted{true};
std::atomic<int> zoomOfNewWindows{1};
std::atomic<bool> smoothScaling{true};
std::atomic<bool> openFullScreen{false};

// A window that the user or another client destroyed under us must not end
// the process, which Xlib's default handler would do.
int ignoreError(::Display*, XErrorEvent*) {
    return 0;
}

void internAtoms(X11Connection& x) {
    x.wmProtocols = XInternAtom(x.display, "WM_PROTOCOLS", False);
    x.wmDeleteWindow = XInternAtom(x.display, "WM_DELETE_WINDOW", False);
    x.netWmName = XInternAtom(x.display, "_NET_WM_NAME", False);
    x.netWmPid = XInternAtom(x.display, "_NET_WM_PID", False);
    x.utf8String = XInternAtom(x.display, "UTF8_STRING", False);
    x.motifWmHints = XInternAtom(x.display, "_MOTIF_WM_HINTS", False);
    x.netWmState = XInternAtom(x.display, "_NET_WM_STATE", False);
    x.netWmStateFullScreen = XInternAtom(x.display, "_NET_WM_STATE_FULLSCREEN", False);
    x.netSupportingWmCheck = XInternAtom(x.display, "_NET_SUPPORTING_WM_CHECK", False);
}

X11Connection* openConnection() {
    auto* x = new X11Connection;
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return x;
    XInitThreads();
    x->display = XOpenDisplay(name);
    if (!x->display) return x;
    XSetErrorHandler(ignoreError);
    x->screen = DefaultScreen(x->display);
    x->root = RootWindow(x->display, x->screen);
    x->visual = DefaultVisual(x->display, x->screen);
    x->depth = DefaultDepth(x->display, x->screen);
    internAtoms(*x);
    int eventBase, errorBase;
    if (XRenderQueryExtension(x->display, &eventBase, &errorBase))
        x->renderFormat = XRenderFindVisualFormat(x->display, x->visual);
    // Held keys then repeat as presses alone, as Windows reports them.
    Bool supported = False;
    XkbSetDetectableAutoRepeat(x->display, True, &supported);
    return x;
}

} // namespace

X11Connection& x11Connection() {
    static X11Connection* connection = openConnection();
    return *connection;
}

std::map<HWND, X11Window>& x11Windows() {
    static auto* all = new std::map<HWND, X11Window>;
    return *all;
}

HWND windowForNative(::Window id) {
    for (const auto& entry : x11Windows())
        if (entry.second.id == id) return entry.first;
    return nullptr;
}

bool displayConnected() {
    if (!displayWanted) return false;
    StateLock lock(stateMutex());
    return x11Connection().display != nullptr;
}

void displayUse(bool on) {
    displayWanted = on;
}

void displaySetZoom(int zoom) {
    zoomOfNewWindows = zoom < 1 ? 1 : zoom > 8 ? 8 : zoom;
}

int displayZoom() {
    return zoomOfNewWindows;
}

void displaySetSmoothScaling(bool smooth) {
    smoothScaling = smooth;
}

bool displaySmoothScaling() {
    return smoothScaling;
}

void displayOpenFullScreen(bool on) {
    openFullScreen = on;
}

bool displayOpensFullScreen() {
    return openFullScreen;
}

bool displayShowsWindows() {
    StateLock lock(stateMutex());
    return !x11Windows().empty();
}

} // namespace zdp
