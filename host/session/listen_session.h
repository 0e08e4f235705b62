// One live run of the plug-in for `zephyrdome listen`: every frame delay the
// newest captured sound becomes the frame's bytes, the panel follows the
// source and the desktop's player, and the thread's messages are dispatched
// between frames. Runs until the duration is up, Escape is released, the
// plug-in's window is closed or the recording stops.
//
//   ListenSession session(host, driver, capture, panel, &player);
//   session.run(settings, result, error);   // between driver.start and driver.stop
#pragma once

#include "audio/sound_capture.h"
#include "audio/vis_analyzer.h"
#include "session/desktop_player.h"
#include "session/host_window.h"
#include "session/listen_panel.h"
#include "session/live_trace.h"
#include "session/plugin_driver.h"

#include <chrono>
#include <string>
#include <vector>

struct ListenSettings {
    long long durationMs = -1;
    // Prints, besides the panel's changes, each frame ("frame N due D at T",
    // T when it took its sound, then "level bass B loudness L", the plug-in's
    // own reduction of the bytes it was handed) and "sound rose at T" when the
    // captured sound rose out of silence, in ms since the run began.
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
    // `player` may be null: the panel then shows the source alone.
    ListenSession(HostWindow& host, PluginDriver& driver, SoundCapture& capture, ListenPanel& panel,
                  DesktopPlayer* player);

    bool run(const ListenSettings& settings, ListenResult& result, std::string& error);

  private:
    bool keepGoing(const ListenSettings& settings, ListenResult& result, double nowMs,
                   std::string& error);
    void followDesktop();
    void showFrame(ListenResult& result, double dueMs);
    double traceMs(std::chrono::steady_clock::time_point moment) const;

    HostWindow& host_;
    PluginDriver& driver_;
    SoundCapture& capture_;
    ListenPanel& panel_;
    DesktopPlayer* player_;
    PlayerTracks tracks_;
    std::string source_;
    VisAnalyzer analyzer_;
    LiveTrace trace_{false};
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point rose_;
    int playCommandsSeen_ = 0;
    bool quit_ = false;
};
