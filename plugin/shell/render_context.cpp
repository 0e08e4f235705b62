#include "shell/render_context.h"
#include "shell/render_window.h"

std::atomic<bool> contextShared{false};

namespace {
// Constructed when the library loads, before any callback can run.
struct RenderSection {
    CRITICAL_SECTION section;
    RenderSection() { InitializeCriticalSection(&section); }
    ~RenderSection() { DeleteCriticalSection(&section); }
} renderSection;
} // namespace

RenderLock::RenderLock() {
    EnterCriticalSection(&renderSection.section);
}

RenderLock::~RenderLock() {
    LeaveCriticalSection(&renderSection.section);
}

bool onWindowThread(HWND window) {
    return window && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

bool onRenderWindowThread() {
    return onWindowThread(renderWindow);
}

void releaseContextOnWindowThread() {
    RenderLock lock;
    contextShared = true;
    if (renderContext && wglGetCurrentContext() == renderContext) wglMakeCurrent(nullptr, nullptr);
}

bool borrowContextFromWindowThread(HWND window) {
    if (contextShared || onWindowThread(window)) return true;
    DWORD_PTR released = 0;
    return SendMessageTimeoutA(window, releaseContextMessage, 0, 0, SMTO_ABORTIFHUNG,
                               windowThreadTimeoutMs, &released) != 0;
}

RenderContextScope::RenderContextScope()
    : previousContext_(wglGetCurrentContext()), previousDC_(wglGetCurrentDC()),
      previousWasOurs_(previousContext_ && previousContext_ == renderContext),
      ready_(previousWasOurs_) {
    if (renderContext && !previousWasOurs_)
        ready_ = wglMakeCurrent(renderDC, renderContext) != FALSE;
}

// Ours may be gone by now (a destruction inside the scope): only the host's
// context is ever made current again.
RenderContextScope::~RenderContextScope() {
    if (previousWasOurs_) return;
    if (previousContext_) {
        if (wglGetCurrentContext() != previousContext_)
            wglMakeCurrent(previousDC_, previousContext_);
        return;
    }
    if (!renderContext || wglGetCurrentContext() != renderContext) return;
    if (contextShared || !onRenderWindowThread()) wglMakeCurrent(nullptr, nullptr);
}
