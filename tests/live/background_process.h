// A program the tests start in the background for their private desktop
// (a sound server, a message bus, a media player): the test's environment
// with some entries of its own, stdout and stderr in a log file. stop(), or
// the destructor, ends it with SIGTERM and waits for it.
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

// A fresh folder STEM_PID under the temporary folder that every user may
// read (programs may run as nobody), removed with its contents at the end.
class PrivateFolder {
  public:
    explicit PrivateFolder(const std::string& stem);
    ~PrivateFolder();
    PrivateFolder(const PrivateFolder&) = delete;
    PrivateFolder& operator=(const PrivateFolder&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// In a child process: runs the program (searched in PATH) or exits with 127.
[[noreturn]] void execProgram(const std::vector<std::string>& args);
