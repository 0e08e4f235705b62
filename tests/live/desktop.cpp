#include "desktop.h"

#include "background_process.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

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
pid_t windowManagerPid = 0;
std::string displayName;

void stop(pid_t& pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = 0;
}

void stopServer() {
    stop(windowManagerPid);
    stop(serverPid);
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

// A window manager announces itself on the root window once it manages it.
bool windowManagerRuns() {
    ::Display* display = XOpenDisplay(displayName.c_str());
    if (!display) return false;
    Atom type;
    int format;
    unsigned long count = 0, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display),
                       XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                       XA_WINDOW, &type, &format, &count, &after, &data);
    if (data) XFree(data);
    XCloseDisplay(display);
    return count == 1;
}

bool startWindowManager(std::string& error) {
    windowManagerPid = spawn({"openbox", "--sm-disable"}, -1);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!windowManagerRuns()) {
        if (std::chrono::steady_clock::now() > deadline) {
            error = "openbox did not start (is the openbox package installed?)";
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
} // namespace

bool startDesktop(std::string& error, const DesktopSetup& setup) {
    if (serverPid > 0) return true;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) {
        error = "cannot make a pipe for Xvfb";
        return false;
    }
    std::string fd = std::to_string(pipeFds[1]);
    // No reset when the last client goes: a client connecting meanwhile would find no server.
    serverPid = spawn(
        {"Xvfb", "-displayfd", fd, "-screen", "0", setup.screen, "-nolisten", "tcp", "-noreset"},
        -1);
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
    return !setup.windowManager || startWindowManager(error);
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
