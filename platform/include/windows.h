// The Win32 subset on Linux: exactly what the plug-in and the host call of
// Windows, with Win32's names, types, C linkage and behaviour.
//
//   RegisterClassExA, CreateWindowExA ... DestroyWindow, UnregisterClassA
//   SendMessageA calls the window procedure at once; PostMessageA queues;
//   GetMessageA / PeekMessageA + DispatchMessageA deliver, WM_PAINT included.
//   GetDC, ChoosePixelFormat, SetPixelFormat, wglCreateContext, wglMakeCurrent,
//   SwapBuffers: OpenGL on Mesa's headless EGL; each swap becomes the window's
//   visible image (see platform_hooks.h for reading it back).
//
// Everything lives in libzdplatform.so, one per process, so a host and the
// plug-in it loads share windows, classes and message queues. Failures return
// zero or null and set the thread's last error, as on Windows.
#pragma once

#include "winbase.h"
#include "windef.h"
#include "wingdi.h"
#include "winuser.h"
