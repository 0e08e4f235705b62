#include "session/frame_capture.h"

#include <platform_hooks.h>

bool captureWindow(HWND window, FrameImage& image) {
    image.rgba = platformWindowImage(window, &image.width, &image.height);
    return image.rgba && image.width > 0 && image.height > 0;
}

// One frame late: the next frame has been built while llvmpipe drew this one.
// Reading a picture back still waits for every frame queued by then, so a
// longer lag gained no speed (measured) and made the waits longer.
const int pictureLag = 1;

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
