// `zephyrdome play` (or listen) run by a test on its desktop: the program in the
// background with --trace, what it prints kept in files, read as it comes.
//
//   PlayRun run;
//   ASSERT_TRUE(run.start({"--no-sound"}));     // returns once the window is up
//   run.waitForLine("play entry 2");
//   run.closeWindow(); EXPECT_EQ(run.wait(), 0);
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class PlayRun {
  public:
    // `zephyrdome COMMAND --trace ...`: play, or listen.
    explicit PlayRun(std::string command = "play") : command_(std::move(command)) {}
    ~PlayRun();
    // Extra environment entries such as "SDL_AUDIODRIVER=dummy" (the default,
    // so tests make no sound). False when no window turned up.
    bool start(const std::vector<std::string>& args,
               const std::vector<std::string>& environment = {"SDL_AUDIODRIVER=dummy"});
    unsigned long window() const { return window_; }

    // The first trace line starting with `prefix`, waiting up to 20 s for it;
    // empty if none came.
    std::string waitForLine(const std::string& prefix);
    std::vector<std::string> traceLines() const;
    std::string errorOutput() const;

    // As the window manager's close box does: WM_DELETE_WINDOW.
    void closeWindow();
    // Exit status; -1 if the program had to be killed after 30 s.
    int wait();

  private:
    std::string command_;
    pid_t pid_ = 0;
    unsigned long window_ = 0;
    std::string traceFile_;
    std::string errorFile_;
};

std::string playProgram();
