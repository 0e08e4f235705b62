#include "desktop.h"

#include "background_process.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
pid_t serverPid = 0;
std::string displayName;

void stopServer() {
    if (serverPid <= 0) return;
    kill(serverPid, SIGTERM);
    waitpid(serverPid, nullptr, 0);
    serverPid = 0;
}

// Xvfb writes its display number on the descriptor once it accepts clients.
bool readDisplayNumber(int fd, std::string& number) {
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n')
        number += c;
    return !number.empty();
}

pid_t spawn(const std::vector<std::string>& args, int outFd) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    if (outFd >= 0) dup2(outFd, STDOUT_FILENO);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDERR_FILENO);
    if (outFd < 0) dup2(null, STDOUT_FILENO);
    execProgram(args);
}
} // namespace

bool startDesktop(std::string& error) {
    if (serverPid > 0) return true;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        error = "cannot make a pipe for Xvfb";
        return false;
    }
    std::string fd = std::to_string(pipeFds[1]);
    // Room for the plug-in's window at zoom 2 (1268 by 916).
    serverPid =
        spawn({"Xvfb", "-displayfd", fd, "-screen", "0", "2048x1536x24", "-nolisten", "tcp"}, -1);
    close(pipeFds[1]);
    std::string number;
    bool ready = readDisplayNumber(pipeFds[0], number);
    close(pipeFds[0]);
    if (!ready) {
        stopServer();
        error = "Xvfb did not start (is the xvfb package installed?)";
        return false;
    }
    displayName = ":" + number;
    setenv("DISPLAY", displayName.c_str(), 1);
    std::atexit(stopServer);
    return true;
}

const std::string& desktopDisplay() {
    return displayName;
}

bool waitUntil(const std::function<bool()>& ready) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

int runTool(const std::vector<std::string>& args, std::string* output) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return -1;
    pid_t pid = spawn(args, pipeFds[1]);
    close(pipeFds[1]);
    char buffer[65536];
    ssize_t got;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        if (output) output->append(buffer, size_t(got));
    close(pipeFds[0]);
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool takeScreenshot(unsigned long window, Screenshot& shot, std::string& error) {
    std::string data;
    if (runTool({"xwd", "-silent", "-id", std::to_string(window)}, &data) != 0) {
        error = "xwd failed (is x11-apps installed?)";
        return false;
    }
    return decodeXwd(data, shot, error);
}
