// Drives a visualisation plug-in the way Winamp does, all on the calling
// thread: load the library, take its header and module 0, fill in the host
// fields, onStart, one onRender per frame with fresh bytes in row 0, onStop,
// unload. Between frames the caller dispatches the thread's messages.
#pragma once

#include "audio/vis_frame.h"
#include "session/window_lookup.h"

#include "shell/vis_module.h"

#include <windows.h>

#include <string>

class PluginDriver {
  public:
    PluginDriver() = default;
    ~PluginDriver();
    PluginDriver(const PluginDriver&) = delete;
    PluginDriver& operator=(const PluginDriver&) = delete;

    bool load(const std::string& path, std::string& error);
    bool start(HWND hostWindow, int sampleRate, int channelCount, std::string& error);
    int render(const VisFrame& frame);
    void stop();
    void unload();

    VisModule* module() const { return module_; }
    // The window the plug-in opened in onStart, or null once it is gone.
    HWND renderWindow() const;
    int latencyMs() const { return module_ ? module_->latency : 0; }
    int frameDelayMs() const;

  private:
    HMODULE library_ = nullptr;
    VisModule* module_ = nullptr;
    HWND renderWindow_ = nullptr;
    bool started_ = false;
};
