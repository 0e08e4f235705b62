#include "output/child_process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <spawn.h>
#include <sys/resource.h>
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

namespace {
// A whole video frame fits at once: one wake-up of the reader a frame
// instead of eighteen with the default 64 KiB. Best effort.
void widenPipe(int fd) {
    if (fcntl(fd, F_SETPIPE_SZ, 2 << 20) < 0) fcntl(fd, F_SETPIPE_SZ, 1 << 20);
}
} // namespace

bool ChildProcess::start(const std::vector<std::string>& args, int inputs, std::string& error) {
    if (!logPath_.empty()) unlink(logPath_.c_str());
    logPath_.clear();
    char logName[] = "/tmp/zephyrdome-log-XXXXXX";
    int log = mkstemp(logName);
    int pipes[2][2] = {{-1, -1}, {-1, -1}};
    bool piped = true;
    for (int i = 0; i < inputs; ++i)
        piped = piped && pipe2(pipes[i], O_CLOEXEC) == 0;
    if (log < 0 || !piped) {
        error = std::string("cannot start ") + args[0] + ": " + std::strerror(errno);
        if (log >= 0) close(log), unlink(logName);
        for (auto& p : pipes)
            for (int fd : p)
                if (fd >= 0) close(fd);
        return false;
    }
    logPath_ = logName;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const int childFds[2] = {0, 3};
    for (int i = 0; i < inputs; ++i)
        posix_spawn_file_actions_adddup2(&actions, pipes[i][0], childFds[i]);
    posix_spawn_file_actions_adddup2(&actions, log, 1);
    posix_spawn_file_actions_adddup2(&actions, log, 2);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    int status = posix_spawn(&pid_, args[0].c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(log);
    for (int i = 0; i < inputs; ++i) {
        close(pipes[i][0]);
        inputs_[i] = pipes[i][1];
        widenPipe(inputs_[i]);
    }
    if (status != 0) {
        pid_ = -1;
        closeInputs();
        error = std::string("cannot start ") + args[0] + ": " + std::strerror(status);
        return false;
    }
    return true;
}

bool ChildProcess::write(int input, const void* data, size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        ssize_t written = ::write(inputs_[input], bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

void ChildProcess::closeInputs() {
    for (int& fd : inputs_) {
        if (fd >= 0) close(fd);
        fd = -1;
    }
}

bool ChildProcess::finish() {
    closeInputs();
    if (pid_ < 0) return false;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void ChildProcess::kill() {
    closeInputs();
    if (pid_ < 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
}

void ChildProcess::lowerPriority(int steps) {
    if (pid_ < 0) return;
    DIR* tasks = opendir(("/proc/" + std::to_string(pid_) + "/task").c_str());
    if (!tasks) return;
    while (const dirent* entry = readdir(tasks)) {
        int thread = std::atoi(entry->d_name);
        if (thread <= 0) continue;
        errno = 0;
        int niceness = getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
        if (errno == 0) setpriority(PRIO_PROCESS, static_cast<id_t>(thread), niceness + steps);
    }
    closedir(tasks);
}

std::string ChildProcess::lastLogLine() const {
    std::ifstream log(logPath_);
    std::string line, last;
    while (std::getline(log, line))
        if (!line.empty()) last = line;
    return last;
}
