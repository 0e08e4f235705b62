// SwapBuffers in a web page: the layer's last primitives are drawn and the
// browser shows the canvas once the page's task returns. The picture of the
// latest presentation can be read back until then; a host that asked to
// collect pictures later (platformDeferReadBack) gets each one read back at
// once and the last four kept.
#include "deferred_present.h"
#include "gdi_state.h"
#include "hooks_state.h"
#include "window_state.h"

#include <algorithm>
#include <deque>

namespace zdgl {
void flushBatch();
void webglReadPixels(int width, int height, unsigned char* rgba);
} // namespace zdgl

namespace zdp {
namespace {

void flipRows(std::vector<unsigned char>& pixels, int width, int height) {
    const size_t row = size_t(width) * 4;
    for (int y = 0; y < height / 2; ++y)
        std::swap_ranges(pixels.begin() + y * row, pixels.begin() + (y + 1) * row,
                         pixels.begin() + (height - 1 - y) * row);
}

struct KeptPicture {
    int present;
    std::vector<unsigned char> rgba;
};

constexpr size_t keptPictures = 4;
bool keeping = false;

} // namespace

// A window's presented pictures: here only ever read back at once, the
// latest kept while the host collects them later.
struct PresentQueue {
    std::deque<KeptPicture> kept;
};

namespace {

void readLatest(Window& window) {
    const RECT client = clientRectOf(window);
    window.imageWidth = client.right;
    window.imageHeight = client.bottom;
    window.image.resize(size_t(client.right) * size_t(client.bottom) * 4);
    zdgl::webglReadPixels(client.right, client.bottom, window.image.data());
    flipRows(window.image, client.right, client.bottom);
    window.imagePresent = window.presentCount;
}

} // namespace

bool deferredReadBackOn() {
    return keeping;
}

void setDeferredReadBack(bool on) {
    keeping = on;
}

const unsigned char* presentedPicture(HWND, Window& window, int present, int& width,
                                      int& height) {
    for (const KeptPicture& picture : window.presents->kept)
        if (picture.present == present) {
            width = window.imageWidth;
            height = window.imageHeight;
            return picture.rgba.data();
        }
    if (present != window.presentCount || !wglGetCurrentContext()) return nullptr;
    if (window.imagePresent != present) readLatest(window);
    width = window.imageWidth;
    height = window.imageHeight;
    return window.image.data();
}

} // namespace zdp

using namespace zdp;

BOOL WINAPI SwapBuffers(HDC dc) {
    HWND handle;
    {
        StateLock lock(stateMutex());
        Window* window = formattedWindowOf(dc, &handle);
        if (!window) return FALSE;
        zdgl::flushBatch();
        ++window->presentCount;
        if (!window->presents) window->presents = std::make_shared<PresentQueue>();
        std::deque<KeptPicture>& kept = window->presents->kept;
        if (keeping) {
            readLatest(*window);
            kept.push_back({window->presentCount, window->image});
            if (kept.size() > keptPictures) kept.pop_front();
        } else {
            kept.clear();
        }
    }
    notifyPresent(handle);
    return TRUE;
}
