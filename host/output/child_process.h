// Starting a helper program (ffmpeg) with our data on pipes to it (its
// standard input, and file descriptor 3 for a second stream) and its
// complaints in a log file, and reading back why it failed. POSIX only.
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

    // Starts args[0] (a full path) with `inputs` pipes: none, stdin, or
    // stdin and descriptor 3 (ffmpeg's pipe:0 and pipe:3).
    bool start(const std::vector<std::string>& args, int inputs, std::string& error);
    // Writes everything to input 0 or 1, or fails (the program ended early).
    bool write(int input, const void* data, size_t size);
    // Closes the input and waits; true when the program exited with status 0.
    bool finish();
    // Stops a running program for good.
    void kill();
    // Lowers each thread the program runs now by `steps` nice steps (threads
    // it starts later take their parent thread's); best effort, Linux only.
    void lowerPriority(int steps);
    // The last line the program wrote to its standard error.
    std::string lastLogLine() const;

  private:
    pid_t pid_ = -1;
    int inputs_[2] = {-1, -1};
    void closeInputs();
    std::string logPath_;
};
