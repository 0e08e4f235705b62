// projectM drawing one preset into a headless EGL pbuffer of its own: the
// yardstick the plug-in's frame time is compared against. Usage: open, then
// per frame addSound, enter, renderAndRead, leave; enter/leave switch to the
// yardstick's context and back to whatever was current, so the plug-in keeps
// finding its own context current between frames.
#pragma once

#include <EGL/egl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class projectM;

class ProjectMFrame {
  public:
    ProjectMFrame();
    ~ProjectMFrame();
    ProjectMFrame(const ProjectMFrame&) = delete;
    ProjectMFrame& operator=(const ProjectMFrame&) = delete;

    bool open(int width, int height, const std::string& presetPath, std::string& error);
    // Interleaved 16-bit stereo, `frameCount` sample frames.
    void addSound(const std::int16_t* samples, int frameCount);
    bool enter();
    // One projectM frame, finished and read back as RGBA, bottom-up rows.
    const unsigned char* renderAndRead();
    void leave();
    // What GL_VERSION said once the context was current.
    const std::string& glVersion() const { return glVersion_; }

  private:
    bool createContext(std::string& error);
    void close();

    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLSurface surface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
    EGLContext previousContext_ = EGL_NO_CONTEXT;
    EGLSurface previousDraw_ = EGL_NO_SURFACE;
    EGLSurface previousRead_ = EGL_NO_SURFACE;
    std::unique_ptr<projectM> projectM_;
    std::vector<unsigned char> pixels_;
    std::string glVersion_;
    int width_ = 0;
    int height_ = 0;
};
