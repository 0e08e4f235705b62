#include "sound_server.h"

#include "desktop.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {
pid_t serverPid = 0;
std::string runtimeFolder;

void stopServer() {
    if (serverPid > 0) {
        kill(serverPid, SIGTERM);
        waitpid(serverPid, nullptr, 0);
        serverPid = 0;
    }
    std::error_code ignored;
    if (!runtimeFolder.empty()) std::filesystem::remove_all(runtimeFolder, ignored);
}

// No configuration read (-n), no idle exit, no shared memory, anonymous
// clients on the private socket.
std::vector<std::string> serverCommand(const std::string& socket) {
    return {
        "pulseaudio",
        "--daemonize=no",
        "-n",
        "--exit-idle-time=-1",
        "--use-pid-file=no",
        "--disable-shm=yes",
        "--log-target=stderr",
        "-L",
        "module-native-protocol-unix socket=" + socket + " auth-anonymous=1",
        "-L",
        "module-null-sink sink_name=zd_test_sink sink_properties=device.description=ZdTestSink"};
}

bool serverAnswers() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(serverPid, &status, WNOHANG) == serverPid) {
            serverPid = 0;
            return false;
        }
        std::string output;
        if (runTool({"pactl", "info"}, &output) == 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}
} // namespace

bool startSoundServer(std::string& error) {
    if (serverPid > 0) return true;
    runtimeFolder =
        (std::filesystem::temp_directory_path() / ("zd_pulse_" + std::to_string(getpid())))
            .string();
    std::filesystem::create_directories(runtimeFolder);
    std::string socket = runtimeFolder + "/native";
    // The server's home and runtime folder are private too: it writes its
    // cookie and state there, not in the user's.
    std::vector<std::string> environment;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        if (text.rfind("HOME=", 0) != 0 && text.rfind("XDG_RUNTIME_DIR=", 0) != 0)
            environment.push_back(text);
    }
    environment.push_back("HOME=" + runtimeFolder);
    environment.push_back("XDG_RUNTIME_DIR=" + runtimeFolder);
    std::vector<std::string> args = serverCommand(socket);
    std::vector<char*> argv, envp;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    for (std::string& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, (runtimeFolder + "/log").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int failed =
        posix_spawnp(&serverPid, "pulseaudio", &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed) {
        serverPid = 0;
        error = "cannot run pulseaudio (is the pulseaudio package installed?)";
        return false;
    }
    std::atexit(stopServer);
    setenv("PULSE_SERVER", ("unix:" + socket).c_str(), 1);
    if (serverAnswers()) return true;
    error = "the private PulseAudio server did not answer (see " + runtimeFolder + "/log)";
    return false;
}
