// Reading back what the plug-in's window showed after its last buffer swap.
// One implementation per platform: the Win32 subset's presented image on Linux.
#pragma once

#include <windows.h>

#include <cstddef>
#include <deque>

struct FrameImage {
    const unsigned char* rgba = nullptr; // top-down rows, 4 bytes a pixel, alpha unused
    int width = 0;
    int height = 0;
};

// False when the window has presented nothing yet. The image stays valid
// until the window presents again or goes away.
bool captureWindow(HWND window, FrameImage& image);

// Collecting pictures late. Where the platform can read a picture back while
// later frames are drawn, a host that collects each frame's picture
// `pictureLag` frames after drawing it keeps the rasterizer and its own
// thread busy at once; where it can't, the lag is 0 and nothing changes.
extern const int pictureLag;
// Once, before the plug-in draws: lets the platform keep pictures for later.
void keepPicturesForLater();
// What to collect the picture of the frame just drawn with, later: the
// window's presentations counted, or -1 where the platform does not count
// them (every frame then counts as drawn).
int latestPresentation(HWND window);
// False when the window no longer holds that picture.
bool capturePresentation(HWND window, int presentation, FrameImage& image);

// The pictures of drawn frames, oldest first, waiting to be collected. A
// frame that presented nothing has no picture of its own: what the window
// shows is the frame before's.
class WaitingPictures {
  public:
    // Before each frame.
    void frameStarting(HWND window) { before_ = latestPresentation(window); }
    // After it: false, with nothing to collect, when the frame presented nothing.
    bool frameDrawn(HWND window) {
        const int latest = latestPresentation(window);
        if (latest >= 0 && latest == before_) return false;
        waiting_.push_back(latest);
        return true;
    }
    // Whether more than `keep` pictures wait.
    bool more(size_t keep) const { return waiting_.size() > keep; }
    // The oldest picture, no longer waiting; false when the window lost it.
    bool collect(HWND window, FrameImage& image) {
        int presentation = waiting_.front();
        waiting_.pop_front();
        return capturePresentation(window, presentation, image);
    }
    void clear() { waiting_.clear(); }

  private:
    std::deque<int> waiting_;
    int before_ = -1;
};
