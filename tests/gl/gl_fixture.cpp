#include "gl_fixture.h"

#include <windows.h>

#include <GL/gl.h>

#include <algorithm>

// The context comes from the platform layer, as the plug-in's does: a hidden
// pop-up window of the fixture's own class whose client area is the
// framebuffer, the plug-in's pixel format request, and WGL.
struct GlTest::Context {
    HWND window = nullptr;
    HDC dc = nullptr;
    HGLRC context = nullptr;
};

namespace {

const char* const fixtureClassName = "ZephyrdomeGlTest";

// Registered again for every test: a test may have reset the platform.
bool registerFixtureClass() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = fixtureClassName;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

PIXELFORMATDESCRIPTOR pluginFormatRequest() {
    PIXELFORMATDESCRIPTOR request = {};
    request.nSize = sizeof request;
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = 16;
    request.cDepthBits = 16;
    return request;
}

} // namespace

void GlTest::SetUp() {
    context_ = new Context;
    ASSERT_TRUE(registerFixtureClass());
    // A pop-up window has no frame, so its client area is exactly this size.
    context_->window =
        CreateWindowExA(0, fixtureClassName, "GL test", WS_POPUP, 0, 0, width_, height_, nullptr,
                        nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(context_->window, nullptr);
    context_->dc = GetDC(context_->window);
    const PIXELFORMATDESCRIPTOR request = pluginFormatRequest();
    const int format = ChoosePixelFormat(context_->dc, &request);
    ASSERT_NE(format, 0);
    ASSERT_TRUE(SetPixelFormat(context_->dc, format, &request));
    context_->context = wglCreateContext(context_->dc);
    ASSERT_NE(context_->context, nullptr);
    ASSERT_TRUE(wglMakeCurrent(context_->dc, context_->context));
}

// Each step may already have been undone by a platform reset inside the test.
void GlTest::TearDown() {
    if (!context_) return;
    wglMakeCurrent(nullptr, nullptr);
    if (context_->context) wglDeleteContext(context_->context);
    if (context_->window) DestroyWindow(context_->window);
    UnregisterClassA(fixtureClassName, GetModuleHandleA(nullptr));
    delete context_;
    context_ = nullptr;
}

std::vector<unsigned char> GlTest::readPixels() const {
    std::vector<unsigned char> bottomUp(static_cast<size_t>(width_) * height_ * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    std::vector<unsigned char> topDown(bottomUp.size());
    const size_t row = static_cast<size_t>(width_) * 4;
    for (int y = 0; y < height_; ++y)
        std::copy_n(bottomUp.begin() + (height_ - 1 - y) * row, row, topDown.begin() + y * row);
    return topDown;
}

std::vector<float> GlTest::readDepth() const {
    std::vector<float> depth(static_cast<size_t>(width_) * height_);
    glReadPixels(0, 0, width_, height_, GL_DEPTH_COMPONENT, GL_FLOAT, depth.data());
    return depth;
}
