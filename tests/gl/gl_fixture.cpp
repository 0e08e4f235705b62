#include "gl_fixture.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>

// Temporary: raw EGL until the platform layer's WGL takes over.
struct GlTest::Context {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;
    EGLSurface surface = EGL_NO_SURFACE;
};

static EGLDisplay headlessDisplay() {
    static EGLDisplay display = [] {
        auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
            eglGetProcAddress("eglGetPlatformDisplayEXT"));
        EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        eglInitialize(d, nullptr, nullptr);
        return d;
    }();
    return display;
}

void GlTest::SetUp() {
    context_ = new Context;
    context_->display = headlessDisplay();
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RED_SIZE, 8,
                                       EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8, EGL_DEPTH_SIZE, 16,
                                       EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config;
    EGLint count = 0;
    ASSERT_TRUE(eglChooseConfig(context_->display, configAttributes, &config, 1, &count));
    ASSERT_EQ(count, 1);
    eglBindAPI(EGL_OPENGL_API);
    context_->context = eglCreateContext(context_->display, config, EGL_NO_CONTEXT, nullptr);
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width_, EGL_HEIGHT, height_, EGL_NONE};
    context_->surface = eglCreatePbufferSurface(context_->display, config, surfaceAttributes);
    ASSERT_TRUE(eglMakeCurrent(context_->display, context_->surface, context_->surface,
                               context_->context));
}

void GlTest::TearDown() {
    if (!context_) return;
    eglMakeCurrent(context_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroySurface(context_->display, context_->surface);
    eglDestroyContext(context_->display, context_->context);
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
