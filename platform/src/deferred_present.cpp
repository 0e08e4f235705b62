// Deferred read-back of presented frames (see deferred_present.h). Each
// window draws into a small ring of pbuffers of its format: SwapBuffers
// fences the frame, hands the context the next pbuffer and keeps the drawn
// one, so llvmpipe draws that frame while the next one is built.
//
// Reading a kept pbuffer back makes Mesa finish every frame queued by then
// whenever one of llvmpipe's scenes still has it as its framebuffer, and a
// scene lets go of its framebuffer only when it is taken for new work: the
// first finished scene in its list is. So SwapBuffers lets one frame wait
// behind the one being drawn, no more: it waits until the frame before is
// drawn. Then, when the next frame starts, the scene of the frame before is
// most often the only finished one, the new frame takes it, and the frame
// before's pbuffer is free: a host that asks for each picture two frames
// late mostly reads it without waiting for anything.
#include "deferred_present.h"

#include "hooks_state.h"

#include <GL/glext.h>

#include <atomic>

namespace zdp {

struct PresentSlot {
    EGLSurface surface = EGL_NO_SURFACE; // holds the frame until it is read back
    GLsync drawn = nullptr;              // signalled once the frame is drawn
    int present = 0;                     // 0: empty
    bool readBack = false;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> picture; // top-down RGBA8 rows once read back
};

// Four slots: a host that collects each frame two frames late still finds it
// when the window was also painted once in between.
struct PresentQueue {
    HGLRC context = nullptr; // the context whose fences the slots hold
    PresentSlot slots[4];
    ~PresentQueue() {
        for (PresentSlot& slot : slots)
            if (slot.surface != EGL_NO_SURFACE)
                eglDestroySurface(platformEglDisplay(), slot.surface);
    }
};

namespace {

std::atomic<bool> deferred{false};

struct SyncCalls {
    PFNGLFENCESYNCPROC fenceSync;
    PFNGLCLIENTWAITSYNCPROC clientWaitSync;
    PFNGLDELETESYNCPROC deleteSync;
};

const SyncCalls& syncCalls() {
    static const SyncCalls calls = {
        reinterpret_cast<PFNGLFENCESYNCPROC>(eglGetProcAddress("glFenceSync")),
        reinterpret_cast<PFNGLCLIENTWAITSYNCPROC>(eglGetProcAddress("glClientWaitSync")),
        reinterpret_cast<PFNGLDELETESYNCPROC>(eglGetProcAddress("glDeleteSync")),
    };
    return calls;
}

bool syncAvailable() {
    const SyncCalls& gl = syncCalls();
    return gl.fenceSync && gl.clientWaitSync && gl.deleteSync;
}

void forgetFence(PresentSlot& slot) {
    if (slot.drawn) syncCalls().deleteSync(slot.drawn);
    slot.drawn = nullptr;
}

// With the queue's context current on this thread: waits for the slot's frame
// and reads its pbuffer.
bool readBack(PresentSlot& slot, GLenum buffer) {
    if (slot.drawn)
        syncCalls().clientWaitSync(slot.drawn, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
    forgetFence(slot);
    EGLSurface drawing = eglGetCurrentSurface(EGL_DRAW);
    if (!readFromSurface(slot.surface)) return false;
    readPicture(buffer, slot.width, slot.height, slot.picture);
    readFromSurface(drawing);
    slot.readBack = true;
    return true;
}

void readBackAll(PresentQueue& queue, int upTo, GLenum buffer) {
    for (PresentSlot& slot : queue.slots)
        if (slot.present && !slot.readBack && slot.present <= upTo && !readBack(slot, buffer))
            slot.present = 0; // lost: asking for it gets null, never another frame
}

// A pbuffer for the next frame: the one the oldest slot frees when it has the
// window's size, else a new one.
EGLSurface nextSurface(PresentSlot& oldest, HWND handle, int width, int height) {
    EGLConfig config = nullptr;
    int surfaceWidth = 0, surfaceHeight = 0;
    if (!windowSurfaceFormat(handle, config, surfaceWidth, surfaceHeight)) return EGL_NO_SURFACE;
    if (oldest.surface != EGL_NO_SURFACE && oldest.width == width && oldest.height == height)
        return oldest.surface;
    const EGLint attributes[] = {EGL_WIDTH, surfaceWidth, EGL_HEIGHT, surfaceHeight, EGL_NONE};
    return eglCreatePbufferSurface(platformEglDisplay(), config, attributes);
}

} // namespace

bool deferredReadBackOn() {
    return deferred.load();
}

void setDeferredReadBack(bool on) {
    deferred = on;
}

bool queuePresent(HWND handle, Window& window, const PresentTarget& target) {
    // The ring turns only under a context drawing to this window on this thread.
    if (target.switched || !target.context || !syncAvailable()) return false;
    if (!window.presents) window.presents = std::make_shared<PresentQueue>();
    PresentQueue& queue = *window.presents;
    if (queue.context && queue.context != target.context) return false;
    queue.context = target.context;

    PresentSlot* oldest = &queue.slots[0];
    for (PresentSlot& slot : queue.slots)
        if (slot.present < oldest->present) oldest = &slot;
    EGLSurface next = nextSurface(*oldest, handle, target.width, target.height);
    if (next == EGL_NO_SURFACE) return false;
    GLsync drawn = syncCalls().fenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
    EGLSurface previous = EGL_NO_SURFACE;
    if (!drawn || !exchangeWindowSurface(handle, next, previous)) {
        if (drawn) syncCalls().deleteSync(drawn);
        if (next != oldest->surface) eglDestroySurface(platformEglDisplay(), next);
        return false;
    }
    // A kept frame nobody asked for in time is simply drawn over.
    forgetFence(*oldest);
    if (oldest->surface != EGL_NO_SURFACE && oldest->surface != next)
        eglDestroySurface(platformEglDisplay(), oldest->surface);
    oldest->surface = previous;
    oldest->drawn = drawn;
    oldest->present = window.presentCount + 1;
    oldest->readBack = false;
    oldest->width = target.width;
    oldest->height = target.height;
    // One frame queued behind the one being drawn, no more (see the top).
    for (PresentSlot& slot : queue.slots)
        if (slot.present == window.presentCount && slot.drawn)
            syncCalls().clientWaitSync(slot.drawn, 0, GL_TIMEOUT_IGNORED);
    return true;
}

void keepPicture(Window& window) {
    if (!window.presents) window.presents = std::make_shared<PresentQueue>();
    PresentSlot* oldest = &window.presents->slots[0];
    for (PresentSlot& slot : window.presents->slots)
        if (slot.present < oldest->present) oldest = &slot;
    if (oldest->drawn && window.presents->context) forgetFence(*oldest);
    oldest->present = window.imagePresent;
    oldest->readBack = true;
    oldest->width = window.imageWidth;
    oldest->height = window.imageHeight;
    oldest->picture = window.image;
}

const unsigned char* presentedPicture(HWND handle, Window& window, int present, int& width,
                                      int& height) {
    if (!window.presents) return nullptr;
    PresentQueue& queue = *window.presents;
    PresentSlot* wanted = nullptr;
    bool waiting = false;
    for (PresentSlot& slot : queue.slots) {
        if (slot.present == present) wanted = &slot;
        if (slot.present && slot.present <= present && !slot.readBack) waiting = true;
    }
    if (!wanted) return nullptr;
    if (waiting && queue.context) {
        PresentTarget target;
        if (beginPresent(handle, target) && target.context == queue.context)
            readBackAll(queue, present, target.drawBuffer);
        endPresent(target);
    }
    if (!wanted->readBack) return nullptr;
    width = wanted->width;
    height = wanted->height;
    return wanted->picture.data();
}

void releasePresents(HGLRC context) {
    for (uintptr_t value : windowTable().handles()) {
        Window* window = windowTable().find(value);
        if (!window || !window->presents || window->presents->context != context) continue;
        HWND handle = handleFrom<HWND>(value);
        PresentTarget target;
        if (beginPresent(handle, target) && target.context == context)
            readBackAll(*window->presents, window->presentCount, target.drawBuffer);
        endPresent(target);
        // Fences go with their context; frames still unread are lost with it.
        for (PresentSlot& slot : window->presents->slots) {
            slot.drawn = nullptr;
            if (!slot.readBack) slot.present = 0;
        }
        window->presents->context = nullptr;
    }
}

} // namespace zdp
