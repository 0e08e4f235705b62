#include "projectm_frame.h"

#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>
#include <libprojectM/projectM.hpp>

#include <filesystem>

namespace {
EGLDisplay surfacelessDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
        return EGL_NO_DISPLAY;
    return display;
}

EGLConfig pbufferConfig(EGLDisplay display) {
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 EGL_PBUFFER_BIT,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_ALPHA_SIZE,
                                 8,
                                 EGL_DEPTH_SIZE,
                                 24,
                                 EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count == 0) return nullptr;
    return config;
}

projectM::Settings settingsFor(int width, int height, const std::string& presetPath) {
    projectM::Settings settings;
    // projectM scans its data folder for textures; the preset's own folder
    // spares it a search of a missing install path.
    settings.presetURL = std::filesystem::path(presetPath).parent_path().string();
    settings.datadir = settings.presetURL;
    settings.windowWidth = width;
    settings.windowHeight = height;
    // One preset for the whole run: no transitions, no switching on beats.
    settings.presetDuration = 1000000;
    settings.smoothPresetDuration = 0;
    settings.hardcutEnabled = false;
    settings.shuffleEnabled = false;
    return settings;
}
} // namespace

ProjectMFrame::ProjectMFrame() = default;

ProjectMFrame::~ProjectMFrame() {
    close();
}

// projectM 3.1 draws with vertex array objects and picks GLSL 3.30 where the
// context offers it; it uses nothing of the compatibility profile, so a 3.3
// core context (what its own SDL front end asks for) is enough.
bool ProjectMFrame::createContext(std::string& error) {
    display_ = surfacelessDisplay();
    EGLConfig config = display_ == EGL_NO_DISPLAY ? nullptr : pbufferConfig(display_);
    if (!config) return error = "no surfaceless EGL display with a pbuffer config", false;
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width_, EGL_HEIGHT, height_, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display_, config, surfaceAttributes);
    eglBindAPI(EGL_OPENGL_API);
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        3,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_NONE};
    context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, contextAttributes);
    if (surface_ == EGL_NO_SURFACE || context_ == EGL_NO_CONTEXT)
        return error = "cannot create a 3.3 core EGL context and pbuffer", false;
    return true;
}

bool ProjectMFrame::open(int width, int height, const std::string& presetPath, std::string& error) {
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * height * 4, 0);
    if (!createContext(error)) return false;
    if (!enter()) return error = "cannot make the projectM context current", false;
    glVersion_ = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    // By value: make_unique takes a reference, and libprojectM defines no storage
    // for its in-class flag constants.
    const int flags = projectM::FLAG_DISABLE_PLAYLIST_LOAD;
    projectM_ = std::make_unique<projectM>(settingsFor(width, height, presetPath), flags);
    std::string name = std::filesystem::path(presetPath).stem().string();
    projectM_->addPresetURL(presetPath, name, RatingList{3, 3});
    projectM_->selectPreset(0, true);
    projectM_->setPresetLock(true);
    leave();
    return true;
}

void ProjectMFrame::addSound(const std::int16_t* samples, int frameCount) {
    projectM_->pcm()->addPCM16Data(samples, static_cast<short>(frameCount));
}

bool ProjectMFrame::enter() {
    previousContext_ = eglGetCurrentContext();
    previousDraw_ = eglGetCurrentSurface(EGL_DRAW);
    previousRead_ = eglGetCurrentSurface(EGL_READ);
    return eglMakeCurrent(display_, surface_, surface_, context_);
}

// Finished and read back whole, as the plug-in's frame is when SwapBuffers
// presents it for the host to capture.
const unsigned char* ProjectMFrame::renderAndRead() {
    projectM_->renderFrame();
    glFinish();
    static const auto bindFramebuffer =
        reinterpret_cast<PFNGLBINDFRAMEBUFFERPROC>(eglGetProcAddress("glBindFramebuffer"));
    bindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(0, 0, width_, height_, GL_RGBA, GL_UNSIGNED_BYTE, pixels_.data());
    return pixels_.data();
}

// The surfaceless display is one per process, so the caller's context lives on it too.
void ProjectMFrame::leave() {
    eglMakeCurrent(display_, previousDraw_, previousRead_, previousContext_);
}

void ProjectMFrame::close() {
    if (display_ == EGL_NO_DISPLAY) return;
    if (projectM_ && enter()) {
        projectM_.reset();
        leave();
    }
    if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
    if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
    // The display is the platform layer's too (one per process), so it stays initialised.
    display_ = EGL_NO_DISPLAY;
}
