// Deferred read-back of presented frames (see deferred_present.h). The copy
// into the renderbuffer also turns the rows top-down, so reading a picture
// back is a plain copy of bytes Mesa already holds in the right order and
// format.
#include "deferred_present.h"

#include "hooks_state.h"

#include <GL/glext.h>

#include <atomic>

namespace zdp {

struct PresentSlot {
    GLuint framebuffer = 0;
    GLuint renderbuffer = 0;
    GLsync drawn = nullptr; // signalled once the copy into the renderbuffer is done
    int present = 0;        // 0: empty
    bool readBack = false;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> picture; // top-down RGBA8 rows once read back
};

// Four slots: a host that collects each frame a frame or two late still finds
// it when the window was also painted in between.
struct PresentQueue {
    HGLRC context = nullptr; // owns the framebuffers and renderbuffers
    int width = 0;           // of the renderbuffers
    int height = 0;
    PresentSlot slots[4];
};

namespace {

std::atomic<bool> deferred{false};

struct DeferredCalls {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
    PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
    PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
    PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
    PFNGLFENCESYNCPROC fenceSync;
    PFNGLCLIENTWAITSYNCPROC clientWaitSync;
    PFNGLDELETESYNCPROC deleteSync;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
    bool complete;
};

template <typename F> F call(const char* name) {
    return reinterpret_cast<F>(eglGetProcAddress(name));
}

const DeferredCalls& calls() {
    static const DeferredCalls found = [] {
        DeferredCalls c{};
        c.genFramebuffers = call<PFNGLGENFRAMEBUFFERSPROC>("glGenFramebuffers");
        c.deleteFramebuffers = call<PFNGLDELETEFRAMEBUFFERSPROC>("glDeleteFramebuffers");
        c.bindFramebuffer = call<PFNGLBINDFRAMEBUFFERPROC>("glBindFramebuffer");
        c.genRenderbuffers = call<PFNGLGENRENDERBUFFERSPROC>("glGenRenderbuffers");
        c.deleteRenderbuffers = call<PFNGLDELETERENDERBUFFERSPROC>("glDeleteRenderbuffers");
        c.bindRenderbuffer = call<PFNGLBINDRENDERBUFFERPROC>("glBindRenderbuffer");
        c.renderbufferStorage = call<PFNGLRENDERBUFFERSTORAGEPROC>("glRenderbufferStorage");
        c.framebufferRenderbuffer =
            call<PFNGLFRAMEBUFFERRENDERBUFFERPROC>("glFramebufferRenderbuffer");
        c.blitFramebuffer = call<PFNGLBLITFRAMEBUFFERPROC>("glBlitFramebuffer");
        c.fenceSync = call<PFNGLFENCESYNCPROC>("glFenceSync");
        c.clientWaitSync = call<PFNGLCLIENTWAITSYNCPROC>("glClientWaitSync");
        c.deleteSync = call<PFNGLDELETESYNCPROC>("glDeleteSync");
        c.checkFramebufferStatus =
            call<PFNGLCHECKFRAMEBUFFERSTATUSPROC>("glCheckFramebufferStatus");
        c.complete = c.checkFramebufferStatus && c.genFramebuffers && c.deleteFramebuffers &&
                     c.bindFramebuffer && c.genRenderbuffers && c.deleteRenderbuffers &&
                     c.bindRenderbuffer && c.renderbufferStorage && c.framebufferRenderbuffer &&
                     c.blitFramebuffer && c.fenceSync && c.clientWaitSync && c.deleteSync;
        return c;
    }();
    return found;
}

// Bindings the copy and the read-back change, put back afterwards.
struct Bindings {
    GLint readFramebuffer = 0;
    GLint drawFramebuffer = 0;
    GLint readBuffer = 0;
    GLint renderbuffer = 0;
    GLboolean scissor = GL_FALSE;
};

Bindings saveBindings() {
    Bindings saved;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &saved.readFramebuffer);
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &saved.drawFramebuffer);
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &saved.renderbuffer);
    saved.scissor = glIsEnabled(GL_SCISSOR_TEST);
    return saved;
}

void restoreBindings(const Bindings& saved) {
    const DeferredCalls& gl = calls();
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(saved.readFramebuffer));
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(saved.drawFramebuffer));
    gl.bindRenderbuffer(GL_RENDERBUFFER, GLuint(saved.renderbuffer));
    if (saved.scissor) glEnable(GL_SCISSOR_TEST);
}

// With the queue's context current. Pictures already read back stay.
void deleteSlots(PresentQueue& queue) {
    const DeferredCalls& gl = calls();
    for (PresentSlot& slot : queue.slots) {
        if (slot.drawn) gl.deleteSync(slot.drawn);
        if (slot.framebuffer) gl.deleteFramebuffers(1, &slot.framebuffer);
        if (slot.renderbuffer) gl.deleteRenderbuffers(1, &slot.renderbuffer);
        slot.drawn = nullptr;
        slot.framebuffer = 0;
        slot.renderbuffer = 0;
        if (!slot.readBack) slot.present = 0;
    }
    queue.context = nullptr;
}

bool createSlots(PresentQueue& queue, const PresentTarget& target) {
    const DeferredCalls& gl = calls();
    GLint renderbuffer = 0;
    glGetIntegerv(GL_RENDERBUFFER_BINDING, &renderbuffer);
    GLint drawFramebuffer = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawFramebuffer);
    queue.context = target.context;
    queue.width = target.width;
    queue.height = target.height;
    bool complete = true;
    for (PresentSlot& slot : queue.slots) {
        gl.genRenderbuffers(1, &slot.renderbuffer);
        gl.bindRenderbuffer(GL_RENDERBUFFER, slot.renderbuffer);
        gl.renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, target.width, target.height);
        gl.genFramebuffers(1, &slot.framebuffer);
        gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, slot.framebuffer);
        gl.framebufferRenderbuffer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                   slot.renderbuffer);
        complete =
            complete && gl.checkFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    gl.bindRenderbuffer(GL_RENDERBUFFER, GLuint(renderbuffer));
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(drawFramebuffer));
    if (!complete) deleteSlots(queue);
    return complete;
}

// With the queue's context current: waits for the slot's copy and reads it.
void readBack(PresentSlot& slot) {
    const DeferredCalls& gl = calls();
    if (slot.drawn) {
        gl.clientWaitSync(slot.drawn, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
        gl.deleteSync(slot.drawn);
        slot.drawn = nullptr;
    }
    slot.picture.resize(size_t(slot.width) * size_t(slot.height) * 4);
    readPixelsNeutrally(slot.framebuffer, GL_COLOR_ATTACHMENT0, slot.width, slot.height,
                        slot.picture.data());
    slot.readBack = true;
}

void readBackAll(PresentQueue& queue, int upTo) {
    for (PresentSlot& slot : queue.slots)
        if (slot.present && !slot.readBack && slot.present <= upTo) readBack(slot);
}

} // namespace

bool deferredReadBackOn() {
    return deferred.load();
}

void setDeferredReadBack(bool on) {
    deferred = on;
}

bool queuePresent(Window& window, const PresentTarget& target) {
    const DeferredCalls& gl = calls();
    if (!gl.complete || !target.context) return false;
    if (!window.presents) window.presents = std::make_shared<PresentQueue>();
    PresentQueue& queue = *window.presents;
    if (queue.context != target.context || queue.width != target.width ||
        queue.height != target.height) {
        // Another context or size: what the old renderbuffers hold is read now.
        if (queue.context == target.context) {
            readBackAll(queue, window.presentCount);
            deleteSlots(queue);
        } else if (queue.context) {
            return false;
        }
        if (!createSlots(queue, target)) return false;
    }
    PresentSlot* oldest = &queue.slots[0];
    for (PresentSlot& slot : queue.slots)
        if (slot.present < oldest->present) oldest = &slot;
    // A queued picture nobody asked for in time is simply overwritten.
    if (oldest->drawn) gl.deleteSync(oldest->drawn);

    Bindings saved = saveBindings();
    gl.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(target.drawBuffer);
    gl.bindFramebuffer(GL_DRAW_FRAMEBUFFER, oldest->framebuffer);
    glDisable(GL_SCISSOR_TEST);
    gl.blitFramebuffer(0, 0, target.width, target.height, 0, target.height, target.width, 0,
                       GL_COLOR_BUFFER_BIT, GL_NEAREST);
    restoreBindings(saved);
    oldest->drawn = gl.fenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
    oldest->present = window.presentCount + 1;
    oldest->readBack = false;
    oldest->width = target.width;
    oldest->height = target.height;
    return true;
}

const unsigned char* presentedPicture(HWND handle, Window& window, int present, int& width,
                                      int& height) {
    if (!window.presents) return nullptr;
    PresentQueue& queue = *window.presents;
    PresentSlot* wanted = nullptr;
    bool queued = false;
    for (PresentSlot& slot : queue.slots) {
        if (slot.present == present) wanted = &slot;
        if (slot.present && slot.present <= present && !slot.readBack) queued = true;
    }
    if (!wanted) return nullptr;
    if (queued && queue.context) {
        PresentTarget target;
        if (!beginPresent(handle, target)) return nullptr;
        if (target.context == queue.context) readBackAll(queue, present);
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
        if (beginPresent(handle, target) && target.context == context) {
            readBackAll(*window->presents, window->presentCount);
            deleteSlots(*window->presents);
        } else {
            window->presents->context = nullptr; // its objects go with the context
        }
        endPresent(target);
    }
}

} // namespace zdp
