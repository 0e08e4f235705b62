// What `play --trace` and `listen --trace` print on stdout, one line per
// event, for scripts and tests that drive the window from outside:
//   window 0x400001                       the plug-in's window on the desktop
//   plug-in WM_KEYDOWN 0x42 0x00300001    input that reached the plug-in's window
//   host WM_KEYUP 0x20 0xc0390001         a key release the plug-in passed on
//   player pause                          what the player did about it
//   play entry 2                          a title picked in the plug-in's panel
//   entry 1                               the next entry started by itself
//   frame 12 due 300.000 at 301.250       a frame drawn: when it was due and
//                                         when it was drawn, in ms of the clock
//                                         frames are paced on
//   level bass 30 loudness 1              listen, after each frame: the levels the
//                                         plug-in derives from the bytes it got
//   sound rose at 1234.567                listen: captured sound rose out of silence
//   source Monitor of Speakers            listen: the panel's changes (listen_panel.h)
#pragma once

#include <windows.h>

class LiveTrace {
  public:
    explicit LiveTrace(bool enabled) : enabled_(enabled) {}
    bool enabled() const { return enabled_; }
    void line(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Keyboard and button messages and WM_CLOSE; other messages are not printed.
    void message(const char* receiver, const MSG& message);

  private:
    bool enabled_;
};
