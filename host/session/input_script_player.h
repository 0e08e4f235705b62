// Delivers a key and click script to the plug-in's window: before each
// frame, every event that is due is posted as the message the keyboard or
// mouse would have produced.
#pragma once

#include "session/key_script.h"

#include <windows.h>

#include <vector>

class InputScriptPlayer {
  public:
    explicit InputScriptPlayer(std::vector<InputEvent> events);

    // Posts the events with a time at or before `timeMs`; returns how many.
    int postDue(long long timeMs, HWND window);

  private:
    std::vector<InputEvent> events_;
    size_t next_ = 0;
};

UINT windowMessageFor(InputKind kind);

// Dispatches every message queued for this thread. The quit message a
// plug-in posts when its window goes is not an order to the host: it is
// dropped, and the result says whether one came. Paints of
// `paintedByDefault`, if given, get default processing instead of the
// window's own.
bool dispatchPendingMessages(HWND paintedByDefault = nullptr);
// Whether a message waits in this thread's queue, a paint included.
bool messagesWaiting();
