#include "session/frame_capture.h"

#include <platform_hooks.h>

bool captureWindow(HWND window, FrameImage& image) {
    image.rgba = platformWindowImage(window, &image.width, &image.height);
    return image.rgba && image.width > 0 && image.height > 0;
}
