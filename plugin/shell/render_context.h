// The render window's GL context and the one lock around everything that
// uses it. Hosts may keep a context of their own current on the thread that
// calls us, and some call onRender on a thread of their own (their decoder
// thread) while the window's thread handles input and paints.
#pragma once

#include <windows.h>

#include <atomic>

// Held by the frame and by the window procedure's own handlers: the context,
// the panel, the view state and the audio features are touched under it. It
// is recursive, and never held while waiting for the host's thread.
class RenderLock {
  public:
    RenderLock();
    ~RenderLock();
    RenderLock(const RenderLock&) = delete;
    RenderLock& operator=(const RenderLock&) = delete;
};

// Asks the window's thread to let go of our context, which it keeps current
// from the window's creation on; sent by a frame on another thread.
constexpr UINT releaseContextMessage = WM_USER + 1;
// How long another thread waits for the window's thread to answer one of our
// own messages; it is also the host's thread, which may be waiting for us.
constexpr UINT windowThreadTimeoutMs = 50;

// Set once a frame has come from a thread other than the window's: from then
// on the context is current on no thread between calls.
extern std::atomic<bool> contextShared;

bool onWindowThread(HWND window);
bool onRenderWindowThread();
void releaseContextOnWindowThread();
// From a frame on another thread, before it takes the lock: false when the
// window's thread still holds the context and did not answer in time.
bool borrowContextFromWindowThread(HWND window);

// Makes ours current for its lifetime, then gives back the context that was
// current before, if it was another. With none before, ours stays current on
// the window's thread, as it always has for single-threaded hosts, unless
// the context is shared with another thread.
class RenderContextScope {
  public:
    RenderContextScope();
    ~RenderContextScope();
    RenderContextScope(const RenderContextScope&) = delete;
    RenderContextScope& operator=(const RenderContextScope&) = delete;

    // False when ours could not be made current (busy on another thread).
    bool ready() const { return ready_; }

  private:
    HGLRC previousContext_;
    HDC previousDC_;
    bool previousWasOurs_;
    bool ready_;
};
