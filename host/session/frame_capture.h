// Reading back what the plug-in's window showed after its last buffer swap.
// One implementation per platform: the Win32 subset's presented image on Linux.
#pragma once

#include <windows.h>

struct FrameImage {
    const unsigned char* rgba = nullptr; // top-down rows, 4 bytes a pixel, alpha unused
    int width = 0;
    int height = 0;
};

// False when the window has presented nothing yet. The image stays valid
// until the window presents again or goes away.
bool captureWindow(HWND window, FrameImage& image);
