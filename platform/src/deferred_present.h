// Presenting without waiting for the rasterizer: SwapBuffers keeps the drawn
// frame in its own pbuffer and returns while the frame is still being drawn;
// the picture is read back only when someone asks for it, by which time the
// application has usually sent the next frames on their way. It waits only
// for the frame before to be drawn, so one frame at most waits behind the
// one being drawn.
#pragma once

#include "gl_state.h"
#include "window_state.h"

#include <windows.h>

namespace zdp {

bool deferredReadBackOn();
void setDeferredReadBack(bool on);

// With the target current: queues the window's back buffer as presentation
// number window.presentCount + 1. False when it can't be queued; the caller
// then reads it back at once.
bool queuePresent(HWND handle, Window& window, const PresentTarget& target);
// Keeps the picture just read back at once among the window's kept ones.
void keepPicture(Window& window);

// The picture of presentation `present`, read back first if
// it is still queued; null when the window no longer holds it or its
// context can't be made current on this thread.
const unsigned char* presentedPicture(HWND handle, Window& window, int present, int& width,
                                      int& height);

// Before a context goes: reads back the frames it drew that are still kept.
void releasePresents(HGLRC context);

} // namespace zdp
