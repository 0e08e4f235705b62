// Starting a helper program (ffmpeg) with our data on its standard input and
// its complaints in a log file, and reading back why it failed. POSIX only.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// The full path of `program` found on PATH, or empty.
std::string findProgram(const std::string& program);

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts args[0] (a full path); with `feedInput`, input() is a pipe to its stdin.
    bool start(const std::vector<std::string>& args, bool feedInput, std::string& error);
    // Writes everything or fails (the program ended early).
    bool write(const void* data, size_t size);
    // Closes the input and waits; true when the program exited with status 0.
    bool finish();
    // Stops a running program for good.
    void kill();
    // The last line the program wrote to its standard error.
    std::string lastLogLine() const;

  private:
    pid_t pid_ = -1;
    int input_ = -1;
    std::string logPath_;
};
