#include "platform_test.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <thread>
#include <vector>

namespace {

// A visible 640 by 480 tool window with the plug-in's pixel format.
struct GLWindow {
    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
};

PIXELFORMATDESCRIPTOR windowRequest() {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    return request;
}

class Wgl : public PlatformTest {
  protected:
    GLWindow openGLWindow() {
        GLWindow result;
        result.window = createToolWindow(WS_VISIBLE | WS_SYSMENU);
        result.dc = GetDC(result.window);
        PIXELFORMATDESCRIPTOR request = windowRequest();
        SetPixelFormat(result.dc, ChoosePixelFormat(result.dc, &request), &request);
        result.context = wglCreateContext(result.dc);
        return result;
    }
};

void clearTo(float red, float green, float blue) {
    glClearColor(red, green, blue, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

const unsigned char* pixelAt(const unsigned char* image, int width, int x, int y) {
    return image + (size_t(y) * size_t(width) + size_t(x)) * 4;
}

TEST_F(Wgl, a_context_needs_a_pixel_format_on_the_window) {
    HWND window = createToolWindow();
    HDC dc = GetDC(window);
    EXPECT_EQ(wglCreateContext(dc), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PIXEL_FORMAT));
    EXPECT_EQ(platformLiveContextCount(), 0);
}

TEST_F(Wgl, the_current_context_starts_with_the_client_area_as_viewport) {
    GLWindow gl = openGLWindow();
    ASSERT_NE(gl.context, nullptr);
    ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
    EXPECT_EQ(wglGetCurrentContext(), gl.context);
    EXPECT_EQ(wglGetCurrentDC(), gl.dc);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 634);
    EXPECT_EQ(viewport[3], 458);
    GLint depthBits = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    EXPECT_EQ(depthBits, 16);
}

TEST_F(Wgl, swap_buffers_presents_the_drawing_top_row_first) {
    GLWindow gl = openGLWindow();
    ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
    clearTo(1, 0, 0);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 458 - 10, 20, 10); // top-left corner in GL's bottom-up coordinates
    clearTo(0, 1, 0);
    glDisable(GL_SCISSOR_TEST);
    EXPECT_EQ(platformWindowImage(gl.window, nullptr, nullptr), nullptr);
    ASSERT_TRUE(SwapBuffers(gl.dc));
    int width = 0, height = 0;
    const unsigned char* image = platformWindowImage(gl.window, &width, &height);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(width, 634);
    EXPECT_EQ(height, 458);
    const unsigned char* corner = pixelAt(image, width, 0, 0);
    EXPECT_EQ(corner[0], 0);
    EXPECT_EQ(corner[1], 255);
    const unsigned char* below = pixelAt(image, width, 0, 10);
    EXPECT_EQ(below[0], 255);
    EXPECT_EQ(below[1], 0);
    EXPECT_EQ(pixelAt(image, width, 633, 457)[0], 255);
    EXPECT_EQ(pixelAt(image, width, 633, 457)[3], 255);
    EXPECT_EQ(platformPresentCount(gl.window), 1);
}

TEST_F(Wgl, swap_buffers_leaves_the_applications_read_state_alone) {
    GLWindow gl = openGLWindow();
    ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
    clearTo(1, 1, 1);
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, buffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 2);
    glPixelStorei(GL_PACK_ROW_LENGTH, 7);
    glPixelTransferf(GL_RED_SCALE, 0.5f);
    GLint readBuffer = 0;
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    ASSERT_TRUE(SwapBuffers(gl.dc));
    int width = 0;
    const unsigned char* image = platformWindowImage(gl.window, &width, nullptr);
    EXPECT_EQ(pixelAt(image, width, 5, 5)[0], 255);
    GLint value = 0;
    glGetIntegerv(GL_PIXEL_PACK_BUFFER_BINDING, &value);
    EXPECT_EQ(GLuint(value), buffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &value);
    EXPECT_EQ(value, 2);
    glGetIntegerv(GL_PACK_ROW_LENGTH, &value);
    EXPECT_EQ(value, 7);
    glGetIntegerv(GL_READ_BUFFER, &value);
    EXPECT_EQ(value, readBuffer);
    GLfloat scale = 0;
    glGetFloatv(GL_RED_SCALE, &scale);
    EXPECT_EQ(scale, 0.5f);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(Wgl, a_window_not_current_is_presented_with_the_context_that_drew_it) {
    GLWindow first = openGLWindow();
    GLWindow second = openGLWindow();
    ASSERT_TRUE(wglMakeCurrent(first.dc, first.context));
    clearTo(0, 0, 1);
    ASSERT_TRUE(wglMakeCurrent(second.dc, second.context));
    clearTo(1, 1, 0);
    ASSERT_TRUE(SwapBuffers(first.dc));
    EXPECT_EQ(wglGetCurrentContext(), second.context);
    int width = 0;
    const unsigned char* image = platformWindowImage(first.window, &width, nullptr);
    EXPECT_EQ(pixelAt(image, width, 3, 3)[2], 255);
    EXPECT_EQ(pixelAt(image, width, 3, 3)[0], 0);
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(clear[0], 1.0f); // still the second context
}

TEST_F(Wgl, make_current_with_null_makes_none_current) {
    GLWindow gl = openGLWindow();
    ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
    EXPECT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(wglGetCurrentDC(), nullptr);
}

TEST_F(Wgl, deleting_the_current_context_makes_it_non_current) {
    GLWindow gl = openGLWindow();
    ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
    EXPECT_TRUE(wglDeleteContext(gl.context));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(platformLiveContextCount(), 0);
    EXPECT_FALSE(wglMakeCurrent(gl.dc, gl.context));
    EXPECT_FALSE(wglDeleteContext(gl.context));
}

TEST_F(Wgl, a_context_current_on_another_thread_is_busy) {
    GLWindow gl = openGLWindow();
    bool madeCurrent = false;
    std::thread other([&] { madeCurrent = wglMakeCurrent(gl.dc, gl.context); });
    other.join();
    ASSERT_TRUE(madeCurrent);
    EXPECT_FALSE(wglMakeCurrent(gl.dc, gl.context));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BUSY));
    EXPECT_FALSE(wglDeleteContext(gl.context));
}

TEST_F(Wgl, swapping_a_destroyed_windows_dc_fails_quietly) {
    GLWindow gl = openGLWindow();
    ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
    DestroyWindow(gl.window);
    EXPECT_FALSE(SwapBuffers(gl.dc));
    EXPECT_TRUE(wglDeleteContext(gl.context));
}

TEST_F(Wgl, the_present_listener_hears_every_swap) {
    GLWindow gl = openGLWindow();
    ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
    static std::vector<HWND> heard;
    heard.clear();
    platformSetPresentListener([](HWND window, void*) { heard.push_back(window); }, nullptr);
    SwapBuffers(gl.dc);
    SwapBuffers(gl.dc);
    EXPECT_EQ(heard, std::vector<HWND>(2, gl.window));
    EXPECT_EQ(platformPresentCount(gl.window), 2);
}

// Frame `n` of a sequence: its own grey, a smooth gradient triangle, and a
// green corner at the top left, so that rows, levels and rounding all show.
void drawNumberedFrame(int n) {
    clearTo(n / 16.0f, n / 16.0f, n / 16.0f);
    glBegin(GL_TRIANGLES);
    glColor3f(1.0f, 0.3f, 0.0f);
    glVertex2f(-0.9f, -0.9f);
    glColor3f(0.0f, 0.7f, 1.0f);
    glVertex2f(0.9f, -0.8f);
    glColor3f(0.2f, 0.1f, 0.6f);
    glVertex2f(0.1f * float(n - 4), 0.9f);
    glEnd();
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 458 - 4, 6, 4);
    clearTo(0, 1, 0);
}

std::vector<unsigned char> picture(HWND window, int present) {
    int width = 0, height = 0;
    const unsigned char* image = platformPresentedImage(window, present, &width, &height);
    if (!image) return {};
    return std::vector<unsigned char>(image, image + size_t(width) * size_t(height) * 4);
}

// Deferred read-back changes when a picture is read, never what it holds: the
// same frames read back at once and late are the same bytes, each of the last
// four stays readable, and the application's scissor and pending error are
// neither obeyed by the copy nor disturbed.
TEST_F(Wgl, pictures_read_back_late_are_the_pictures_read_back_at_once) {
    GLWindow gl = openGLWindow();
    ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
    std::vector<std::vector<unsigned char>> atOnce;
    for (int n = 1; n <= 6; ++n) {
        drawNumberedFrame(n);
        ASSERT_TRUE(SwapBuffers(gl.dc));
        glDisable(GL_SCISSOR_TEST);
        atOnce.push_back(picture(gl.window, 0));
    }

    platformDeferReadBack(true);
    for (int n = 1; n <= 6; ++n) {
        drawNumberedFrame(n);
        glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS + 1); // an error the application has yet to read
        ASSERT_TRUE(SwapBuffers(gl.dc)); // scissored to the corner, as the frame left it
        EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
        EXPECT_EQ(glGetError(), GLenum(GL_INVALID_ENUM));
        glDisable(GL_SCISSOR_TEST);
    }
    EXPECT_EQ(platformPresentCount(gl.window), 12);
    EXPECT_TRUE(picture(gl.window, 8).empty()) << "a window keeps four pictures";
    for (int n = 3; n <= 6; ++n)
        EXPECT_TRUE(picture(gl.window, 6 + n) == atOnce[size_t(n - 1)]) << "frame " << n;
    EXPECT_TRUE(picture(gl.window, 0) == atOnce[5]);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    // Pictures still waiting when their context goes are read first.
    drawNumberedFrame(2);
    ASSERT_TRUE(SwapBuffers(gl.dc));
    ASSERT_TRUE(wglDeleteContext(gl.context));
    EXPECT_TRUE(picture(gl.window, 13) == atOnce[1]);

    // A context made while read-back is deferred: the same bytes again.
    GLWindow late = openGLWindow();
    ASSERT_TRUE(wglMakeCurrent(late.dc, late.context));
    for (int n = 1; n <= 6; ++n) {
        drawNumberedFrame(n);
        ASSERT_TRUE(SwapBuffers(late.dc));
        glDisable(GL_SCISSOR_TEST);
    }
    for (int n = 3; n <= 6; ++n)
        EXPECT_TRUE(picture(late.window, n) == atOnce[size_t(n - 1)]) << "frame " << n;
}

TEST_F(Wgl, a_hundred_create_and_delete_cycles_leave_nothing_alive) {
    for (int i = 0; i < 100; ++i) {
        GLWindow gl = openGLWindow();
        ASSERT_NE(gl.context, nullptr) << "cycle " << i;
        ASSERT_TRUE(wglMakeCurrent(gl.dc, gl.context));
        clearTo(0, 0, 0);
        ASSERT_TRUE(wglDeleteContext(gl.context));
        ASSERT_TRUE(DestroyWindow(gl.window));
    }
    EXPECT_EQ(platformLiveContextCount(), 0);
    EXPECT_EQ(platformLiveWindowCount(), 0);
    EXPECT_EQ(platformLiveDCCount(), 0);
}

} // namespace
