// The progress bar on stderr while rendering (only when stderr is a
// terminal): frames done, percentage, frames per second.
#pragma once

#include <chrono>
#include <string>

class ProgressBar {
  public:
    // `totalFrames` may be -1 when the end is not known in advance.
    ProgressBar(long long totalFrames, bool enabled);
    void update(long long framesDone);
    // Clears the bar so the summary line starts on a clean line.
    void finish();
    double elapsedSeconds() const;

  private:
    long long total_;
    bool enabled_;
    std::chrono::steady_clock::time_point start_, lastDraw_;
};

// Whether standard error is an interactive terminal.
bool stderrIsTerminal();

// "38 frames, 12.3 fps"-style text of the bar, for a given state.
std::string progressText(long long done, long long total, double seconds);
