#include "session/frame_capture.h"

#include <platform_hooks.h>

bool captureWindow(HWND window, FrameImage& image) {
    image.rgba = platformWindowImage(window, &image.width, &image.height);
    return image.rgba && image.width > 0 && image.height > 0;
}

// Two frames late: the picture asked for has almost always been drawn by
// then, so reading it back seldom waits, and the window keeps four.
const int pictureLag = 2;

void keepPicturesForLater() {
    platformDeferReadBack(true);
}

int latestPresentation(HWND window) {
    return platformPresentCount(window);
}

bool capturePresentation(HWND window, int presentation, FrameImage& image) {
    image.rgba = platformPresentedImage(window, presentation, &image.width, &image.height);
    return image.rgba && image.width > 0 && image.height > 0;
}
