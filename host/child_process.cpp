#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::string findProgram(const std::string& program) {
    if (program.find('/') != std::string::npos)
        return access(program.c_str(), X_OK) == 0 ? program : std::string();
    const char* path = std::getenv("PATH");
    std::string folders = path ? path : "";
    size_t begin = 0;
    while (begin <= folders.size()) {
        size_t end = folders.find(':', begin);
        if (end == std::string::npos) end = folders.size();
        std::string candidate = folders.substr(begin, end - begin) + "/" + program;
        struct stat info;
        if (end > begin && stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return candidate;
        begin = end + 1;
    }
    return {};
}

ChildProcess::~ChildProcess() {
    kill();
    if (!logPath_.empty()) unlink(logPath_.c_str());
}

bool ChildProcess::start(const std::vector<std::string>& args, bool feedInput, std::string& error) {
    char logName[] = "/tmp/zephyrdome-log-XXXXXX";
    int log = mkstemp(logName);
    int pipeFds[2] = {-1, -1};
    if (log < 0 || (feedInput && pipe2(pipeFds, O_CLOEXEC) != 0)) {
        error = std::string("cannot start ") + args[0] + ": " + std::strerror(errno);
        if (log >= 0) close(log), unlink(logName);
        return false;
    }
    logPath_ = logName;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (feedInput) posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
    posix_spawn_file_actions_adddup2(&actions, log, 1);
    posix_spawn_file_actions_adddup2(&actions, log, 2);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int status = posix_spawn(&pid_, args[0].c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(log);
    if (feedInput) close(pipeFds[0]);
    if (status != 0) {
        pid_ = -1;
        if (feedInput) close(pipeFds[1]);
        error = std::string("cannot start ") + args[0] + ": " + std::strerror(status);
        return false;
    }
    input_ = feedInput ? pipeFds[1] : -1;
    // A whole video frame fits at once: one wake-up of the reader a frame
    // instead of eighteen with the default 64 KiB. Best effort.
    if (feedInput && fcntl(input_, F_SETPIPE_SZ, 2 << 20) < 0) fcntl(input_, F_SETPIPE_SZ, 1 << 20);
    return true;
}

bool ChildProcess::write(const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(input_, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool ChildProcess::finish() {
    if (input_ >= 0) close(input_);
    input_ = -1;
    if (pid_ < 0) return false;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ChildProcess::kill() {
    if (input_ >= 0) close(input_);
    input_ = -1;
    if (pid_ < 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

std::string ChildProcess::lastLogLine() const {
    std::ifstream log(logPath_);
    std::string line, last;
    while (std::getline(log, line))
        if (!line.empty()) last = line;
    return last;
}
