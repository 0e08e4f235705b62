#include "background_process.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

bool BackgroundProcess::start(const std::vector<std::string>& args,
                              const std::vector<std::string>& environment,
                              const std::string& logPath) {
    stop();
    pid_ = fork();
    if (pid_ < 0) pid_ = 0;
    if (pid_ != 0) return pid_ > 0;
    for (const std::string& entry : environment)
        putenv(const_cast<char*>(entry.c_str()));
    int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(log, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    close(log);
    execProgram(args);
}

void execProgram(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

PrivateFolder::PrivateFolder(const std::string& stem)
    : path_((std::filesystem::temp_directory_path() / (stem + "_" + std::to_string(getpid())))
                .string()) {
    std::filesystem::create_directories(path_);
    std::filesystem::permissions(path_, std::filesystem::perms(0755));
}

PrivateFolder::~PrivateFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

bool BackgroundProcess::running() {
    if (pid_ <= 0) return false;
    if (waitpid(pid_, nullptr, WNOHANG) != pid_) return true;
    pid_ = 0;
    return false;
}

void BackgroundProcess::stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = 0;
}
