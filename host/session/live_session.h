// One live run of the plug-in for `zephyrdome play`: frames paced on the
// sound heard, the thread's messages dispatched between them, the player's
// keys (the key releases the plug-in passes on) and the titles picked in its
// panel carried out. Runs until the playlist has been heard, the duration is
// up, Escape is released or the plug-in's window is closed.
//
//   LiveSession session(playlist, host, driver, player, clips, output);
//   session.run(settings, result, error);   // between driver.start and driver.stop
#pragma once

#include "audio/clip_cache.h"
#include "audio/vis_analyzer.h"
#include "session/frame_clock.h"
#include "session/host_window.h"
#include "session/live_player.h"
#include "session/live_trace.h"
#include "session/plugin_driver.h"

#include <csignal>
#include <string>

// Set from a signal handler: the run ends as if Escape had been pressed.
extern volatile std::sig_atomic_t liveStopRequested;
// Ctrl-C and SIGTERM set it, so live runs end as if Escape had been pressed.
void stopLiveRunsOnSignals();

struct LiveSettings {
    long long durationMs = -1;
    std::string framesFolder; // empty: frames are not written
    bool trace = false;
};

struct LiveResult {
    long long frames = 0;
    double seconds = 0.0;      // from the first frame to the end, by the monotonic clock
    double clockSeconds = 0.0; // the same span on the frame clock
    bool windowClosed = false;
};

class LiveSession {
  public:
    LiveSession(Playlist& playlist, HostWindow& host, PluginDriver& driver, LivePlayer& player,
                ClipCache& clips, AudioOutput& output);

    bool run(const LiveSettings& settings, LiveResult& result, std::string& error);

  private:
    bool keepGoing(const LiveSettings& settings, LiveResult& result);
    void pumpMessages();
    void onPlayerKey(WPARAM key);
    void followPlaylist(const HeardPosition& heard);
    bool showFrame(const HeardPosition& heard, const LiveSettings& settings, long long index,
                   std::string& error);

    Playlist& playlist_;
    HostWindow& host_;
    PluginDriver& driver_;
    LivePlayer& player_;
    ClipCache& clips_;
    FrameClock clock_;
    VisAnalyzer analyzer_;
    LiveTrace trace_{false};
    int playCommandsSeen_ = 0;
    bool quit_ = false;
    std::string lastWarning_;
};
