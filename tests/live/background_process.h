// A program the tests start in the background for their private desktop
// (a sound server, a message bus, a media player): the test's environment
// with some entries of its own, stdout and stderr in a log file. stop(), or
// the destructor, ends it with SIGTERM and waits for it.
//
//   BackgroundProcess server;
//   server.start({"pipewire"}, {"XDG_RUNTIME_DIR=" + folder}, folder + "/pipewire.log");
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class BackgroundProcess {
  public:
    BackgroundProcess() = default;
    ~BackgroundProcess() { stop(); }
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;

    // `environment`: "NAME=value" entries set for it alone. False when it could not start.
    bool start(const std::vector<std::string>& args, const std::vector<std::string>& environment,
               const std::string& logPath);
    // False once it has exited.
    bool running();
    void stop();

  private:
    pid_t pid_ = 0;
};

// As root, the words that run a program as the user nobody (for programs
// that refuse to run as root); empty otherwise.
std::vector<std::string> unprivileged();
