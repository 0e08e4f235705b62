// Questions to the host window (WM_USER with a query code in lParam). From
// the host window's own thread they are the plain SendMessage every host
// expects. From another thread, as when a host calls onRender on its decoder
// thread, they give up after 50 ms (at once if the host's thread is hung): a
// host that waits for that thread to end while not pumping its messages must
// not hang us both.
#pragma once

#include <windows.h>

// False when the host did not answer in time; `answer` is then untouched.
bool askHost(HWND host, WPARAM wParam, LPARAM lParam, LRESULT& answer);
