// SwapBuffers: what was drawn into the window's back buffer becomes its
// visible image, read back through GL without disturbing the application's
// GL state (pixel-store, pixel-transfer, read buffer and bindings).
#include "deferred_present.h"
#include "display.h"
#include "gdi_state.h"
#include "gl_state.h"
#include "hooks_state.h"
#include "window_state.h"

#include <GL/glext.h>

namespace zdp {
namespace {

struct FramebufferCalls {
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
    PFNGLBINDBUFFERPROC bindBuffer;
};

const FramebufferCalls& framebufferCalls() {
    static const FramebufferCalls calls = {
        reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(eglGetProcAddress("glBindFramebuffer")),
        reinterpret_cast<PFNGLBINDBUFFERPROC>(eglGetProcAddress("glBindBuffer")),
    };
    return calls;
}

// Mesa's pack inversion reads GL's bottom-up rows out top-down, like the screen.
constexpr GLenum packParameters[] = {
    GL_PACK_ALIGNMENT,    GL_PACK_ROW_LENGTH,  GL_PACK_SKIP_ROWS,
    GL_PACK_SKIP_PIXELS,  GL_PACK_SWAP_BYTES,  GL_PACK_LSB_FIRST,
    GL_PACK_IMAGE_HEIGHT, GL_PACK_SKIP_IMAGES, GL_PACK_INVERT_MESA};
constexpr GLint packDefaults[] = {1, 0, 0, 0, GL_FALSE, GL_FALSE, 0, 0, GL_TRUE};
constexpr GLenum transferParameters[] = {GL_RED_SCALE,   GL_GREEN_SCALE, GL_BLUE_SCALE,
                                         GL_ALPHA_SCALE, GL_RED_BIAS,    GL_GREEN_BIAS,
                                         GL_BLUE_BIAS,   GL_ALPHA_BIAS};
constexpr GLfloat transferDefaults[] = {1, 1, 1, 1, 0, 0, 0, 0};
constexpr size_t packCount = sizeof packParameters / sizeof packParameters[0];
constexpr size_t transferCount = sizeof transferParameters / sizeof transferParameters[0];

// The application's state that a plain glReadPixels of the default framebuffer
// depends on; saved, neutralised for the read, and put back.
struct ReadState {
    GLint pack[packCount];
    GLfloat transfer[transferCount];
    GLint mapColor;
    GLint readBuffer;
    GLint readFramebuffer;
    GLint packBuffer;
};

ReadState saveAndNeutralise(GLenum buffer) {
    ReadState saved{};
    const FramebufferCalls& calls = framebufferCalls();
    for (size_t i = 0; i < packCount; ++i) {
        glGetIntegerv(packParameters[i], &saved.pack[i]);
        glPixelStorei(packParameters[i], packDefaults[i]);
    }
    for (size_t i = 0; i < transferCount; ++i) {
        glGetFloatv(transferParameters[i], &saved.transfer[i]);
        glPixelTransferf(transferParameters[i], transferDefaults[i]);
    }
    glGetIntegerv(GL_MAP_COLOR, &saved.mapColor);
    glPixelTransferi(GL_MAP_COLOR, GL_FALSE);
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &saved.readFramebuffer);
    glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &saved.packBuffer);
    if (calls.bindFramebuffer) calls.bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    if (calls.bindBuffer) calls.bindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glGetIntegerv(GL_READ_BUFFER, &saved.readBuffer);
    glReadBuffer(buffer);
    return saved;
}

void restore(const ReadState& saved) {
    const FramebufferCalls& calls = framebufferCalls();
    glReadBuffer(GLenum(saved.readBuffer));
    if (calls.bindBuffer) calls.bindBuffer(GL_PIXEL_PACK_BUFFER, GLuint(saved.packBuffer));
    if (calls.bindFramebuffer)
        calls.bindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(saved.readFramebuffer));
    glPixelTransferi(GL_MAP_COLOR, saved.mapColor);
    for (size_t i = 0; i < transferCount; ++i)
        glPixelTransferf(transferParameters[i], saved.transfer[i]);
    for (size_t i = 0; i < packCount; ++i)
        glPixelStorei(packParameters[i], saved.pack[i]);
}

void readVisibleImage(const PresentTarget& target, Window& window) {
    readPicture(target.drawBuffer, target.width, target.height, window.image);
    window.imageWidth = target.width;
    window.imageHeight = target.height;
    window.imagePresent = ++window.presentCount;
}

} // namespace

// The window formats have no alpha bits, so every pixel reads back opaque.
void readPicture(GLenum buffer, int width, int height, std::vector<unsigned char>& picture) {
    picture.resize(size_t(width) * size_t(height) * 4);
    ReadState saved = saveAndNeutralise(buffer);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, picture.data());
    restore(saved);
}

} // namespace zdp

using namespace zdp;

BOOL WINAPI SwapBuffers(HDC dc) {
    HWND handle;
    {
        StateLock lock(stateMutex());
        Window* window = formattedWindowOf(dc, &handle);
        if (!window) return FALSE;
        PresentTarget target;
        if (!beginPresent(handle, target)) {
            setError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        // A window on the desktop shows each frame as it comes; one off it
        // may keep its pictures queued until they are asked for.
        bool shown = displayNativeWindow(handle) != 0;
        if (!shown && deferredReadBackOn() && queuePresent(handle, *window, target)) {
            ++window->presentCount;
        } else {
            readVisibleImage(target, *window);
            if (deferredReadBackOn()) keepPicture(*window);
        }
        endPresent(target);
        if (shown) displayPresent(handle, *window);
    }
    notifyPresent(handle);
    return TRUE;
}
