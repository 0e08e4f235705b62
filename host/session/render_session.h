// One run of the plug-in from start to stop: the host window answering it,
// the frame loop, and where each frame's bytes, picture and sound go.
//
//   RenderSession session(playlist);
//   session.open(pluginPath, error);      // host window, plug-in loaded
//   ... open the sink at session.frameDelayMs() ...
//   session.start(plan, error);           // onStart, the sink told the size
//   session.run(plan, result, error);     // (onStart,) frames, onStop
#pragma once

#include "audio/played_audio.h"
#include "audio/vis_file.h"
#include "audio/vis_source.h"
#include "output/frame_sink.h"
#include "session/frame_capture.h"
#include "session/host_window.h"
#include "session/key_script.h"
#include "session/playlist.h"
#include "session/plugin_driver.h"
#include "session/render_thread.h"

#include <csignal>
#include <string>
#include <vector>

struct RenderPlan {
    VisSource* source = nullptr;
    ClipStore* clips = nullptr; // what is heard; null for none
    int outputSampleRate = 44100;
    std::vector<InputEvent> events;
    long long startMs = 0;
    long long durationMs = -1;       // -1: until the playlist or the source ends
    FrameSink* sink = nullptr;       // null: frames are rendered but not kept
    VisFileWriter* visOut = nullptr; // null: no recording
    bool progress = false;
    bool renderThread = false; // onRender on a thread of its own (RenderThread)
};

struct RenderResult {
    long long frames = 0;
    long long videoMs = 0;
    double seconds = 0.0;
    bool windowClosed = false; // the plug-in's window went away before the end
};

// Set from a signal handler to stop the loop; the run then fails cleanly.
extern volatile std::sig_atomic_t renderInterrupted;

class RenderSession {
  public:
    explicit RenderSession(Playlist& playlist) : playlist_(playlist) {}

    bool open(const std::string& pluginPath, std::string& error);
    int frameDelayMs() const { return driver_.frameDelayMs(); }
    // onStart, and the sink told the size of the frames to come, so that a
    // video's encoder starts while the caller prepares the rest; run() calls
    // it when the caller has not.
    bool start(const RenderPlan& plan, std::string& error);
    bool run(const RenderPlan& plan, RenderResult& result, std::string& error);

    HostWindow& hostWindow() { return host_; }
    PluginDriver& driver() { return driver_; }

  private:
    bool runFrames(const RenderPlan& plan, long long limit, RenderResult& result,
                   std::string& error);
    bool renderFrame(const RenderPlan& plan, long long index, PlayedAudio& played,
                     std::string& error);
    // onRender until it presents a picture; false when it never did.
    bool drawFrame(const RenderPlan& plan, int entry, const VisFrame& frame);
    // Writes the pictures of drawn frames until at most `keep` wait.
    bool writePictures(FrameSink* sink, size_t keep, std::string& error);
    long long frameLimit(const RenderPlan& plan) const;
    long long expectedFrames(long long limit) const;

    Playlist& playlist_;
    long long limit_ = -1; // frames to render, -1 for all
    bool started_ = false;
    HostWindow host_;
    PluginDriver driver_;
    RenderThread renderThread_;
    WaitingPictures waitingPictures_;
};
