// A host that runs the real plug-in library for a long time: start/stop
// cycles, frames of random audio, random keys and clicks (from a fixed seed),
// a playlist that changes under it, and the ways hosts and users misbehave:
// the close box in the middle of a run, onRender after onStop, onStop twice,
// a host that stops dispatching its messages, a 256-colour display, and
// starts that fail. Anything that goes wrong on the way is noted as a fault.
#pragma once

#include "audio/vis_frame.h"
#include "session/plugin_driver.h"
#include "test_host.h"

#include <random>
#include <string>
#include <vector>

enum class CycleKind {
    plain,
    closeBox,        // WM_CLOSE halfway, frames go on without a window
    stopTwice,       // onStop, then onStop again
    renderAfterStop, // onRender keeps coming after onStop
    neverPumped,     // the host dispatches nothing until the run is over
    paletteDisplay,  // a 256-colour display: the context needs a palette
    failedStart,     // the platform refuses a step of onStart
};

// Every seventh cycle is plain, the others cycle through the special kinds.
CycleKind cycleKindOf(int index);
bool cycleRendersFrames(CycleKind kind);

class EnduranceRun {
  public:
    EnduranceRun(const std::string& pluginPath, unsigned seed);
    bool load(std::string& error);
    void runCycle(int index, long long frames);

    long long framesRendered() const { return framesRendered_; }
    int cyclesRun() const { return cyclesRun_; }
    int texturesPerRun() const { return texturesPerRun_; }
    const std::vector<std::string>& faults() const { return faults_; }

  private:
    bool start(int index);
    void runFrames(long long count, HWND window, bool pump);
    void renderRandomFrame();
    void postRandomInput(HWND window);
    void changePlaylist();
    void runFailedStart(int index);
    void checkTextures(int index, const char* when);
    void fault(int index, const std::string& what);

    std::string pluginPath_;
    std::mt19937 random_;
    TestHost host_;
    PluginDriver driver_;
    VisFrame frame_ = {};
    long long framesRendered_ = 0;
    int cyclesRun_ = 0;
    int texturesPerRun_ = -1;
    std::vector<std::string> faults_;
};
