#include "play_run.h"

#include "background_process.h"
#include "desktop.h"

#include <X11/Xlib.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
using Clock = std::chrono::steady_clock;

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void redirect(const std::string& path, int fd) {
    int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    dup2(file, fd);
    close(file);
}
} // namespace

std::string playProgram() {
    return ZD_HOST_PROGRAM;
}

PlayRun::~PlayRun() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    std::remove(traceFile_.c_str());
    std::remove(errorFile_.c_str());
}

bool PlayRun::start(const std::vector<std::string>& args,
                    const std::vector<std::string>& environment) {
    static int runs = 0;
    std::string stem = "/tmp/zd_play_" + std::to_string(getpid()) + "_" + std::to_string(++runs);
    traceFile_ = stem + ".out";
    errorFile_ = stem + ".err";
    std::vector<std::string> all = {playProgram(), command_, "--trace"};
    all.insert(all.end(), args.begin(), args.end());
    pid_ = fork();
    if (pid_ == 0) {
        for (const std::string& entry : environment)
            putenv(const_cast<char*>(entry.c_str()));
        redirect(traceFile_, STDOUT_FILENO);
        redirect(errorFile_, STDERR_FILENO);
        execProgram(all);
    }
    std::string line = waitForLine("window ");
    window_ = line.empty() ? 0 : std::strtoul(line.c_str() + 7, nullptr, 16);
    return window_ != 0;
}

std::vector<std::string> PlayRun::traceLines() const {
    std::vector<std::string> lines;
    std::stringstream text(readFile(traceFile_));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

std::string PlayRun::errorOutput() const {
    return readFile(errorFile_);
}

std::string PlayRun::waitForLine(const std::string& prefix) {
    auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
        for (const std::string& line : traceLines())
            if (line.compare(0, prefix.size(), prefix) == 0) return line;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return "";
}

void PlayRun::closeWindow() {
    ::Display* display = XOpenDisplay(desktopDisplay().c_str());
    if (!display) return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window_;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    XSendEvent(display, window_, False, NoEventMask, &event);
    XCloseDisplay(display);
}

int PlayRun::wait() {
    auto deadline = Clock::now() + std::chrono::seconds(30);
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = 0;
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
