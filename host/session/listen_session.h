// One live run of the plug-in for `zephyrdome listen`: every frame delay the
// newest captured sound becomes the frame's bytes, and the thread's messages
// are dispatched between frames. Runs until the duration is up, Escape is
// released or the plug-in's window is closed.
//
//   ListenSession session(host, driver, capture);
//   session.run(settings, result, error);   // between driver.start and driver.stop
#pragma once

#include "audio/sound_capture.h"
#include "audio/vis_analyzer.h"
#include "session/host_window.h"
#include "session/live_trace.h"
#include "session/plugin_driver.h"

#include <string>
#include <vector>

struct ListenSettings {
    long long durationMs = -1;
    // Prints "level bass B loudness L" every tenth frame: the plug-in's own
    // reduction of the bytes it was handed.
    bool trace = false;
};

struct ListenResult {
    long long frames = 0;
    double seconds = 0.0;
    bool windowClosed = false;
    // Per frame: from the newest sample's capture by the server to the frame
    // handed to the display (time queued in the server, then in the host).
    std::vector<double> latencyMs;
};

class ListenSession {
  public:
    ListenSession(HostWindow& host, PluginDriver& driver, SoundCapture& capture);

    bool run(const ListenSettings& settings, ListenResult& result, std::string& error);

  private:
    bool keepGoing(const ListenSettings& settings, ListenResult& result, double nowMs,
                   std::string& error);
    void showFrame(ListenResult& result);

    HostWindow& host_;
    PluginDriver& driver_;
    SoundCapture& capture_;
    VisAnalyzer analyzer_;
    LiveTrace trace_{false};
    int playCommandsSeen_ = 0;
    bool quit_ = false;
};
