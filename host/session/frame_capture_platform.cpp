#include "session/frame_capture.h"

#include <platform_hooks.h>

bool captureWindow(HWND window, FrameImage& image) {
    image.rgba = platformWindowImage(window, &image.width, &image.height);
    return image.rgba && image.width > 0 && image.height > 0;
}

// Two frames late: by then the platform has mostly let go of the picture's
// pbuffer, and reads it without waiting for the frames drawn since. One
// frame late, the read waited for the frame just sent nearly every time.
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
