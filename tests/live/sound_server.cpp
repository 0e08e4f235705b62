#include "sound_server.h"

#include "background_process.h"
#include "desktop.h"
#include "session_bus.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

namespace {
using Clock = std::chrono::steady_clock;

struct Server {
    SoundServerKind kind;
    PrivateFolder home{"zd_sound"};
    const std::string& folder = home.path();
    // In start order; stopped in reverse.
    std::vector<std::unique_ptr<BackgroundProcess>> processes;
    BackgroundProcess* sessionManager = nullptr;
    bool whole = true;

    ~Server() {
        while (!processes.empty())
            processes.pop_back();
    }
};
Server* theServer = nullptr;

void stopServer() {
    delete theServer;
    theServer = nullptr;
}

// The server's home, runtime and configuration folders are private: it
// writes its cookie and state there, not in the user's.
std::vector<std::string> privateFolders(const std::string& folder) {
    return {"HOME=" + folder, "XDG_RUNTIME_DIR=" + folder, "XDG_CONFIG_HOME=" + folder + "/config",
            "XDG_STATE_HOME=" + folder + "/state"};
}

BackgroundProcess* launch(Server& server, const std::vector<std::string>& args) {
    auto process = std::make_unique<BackgroundProcess>();
    if (!process->start(args, privateFolders(server.folder),
                        server.folder + "/" + args[0] + ".log"))
        return nullptr;
    server.processes.push_back(std::move(process));
    return server.processes.back().get();
}

// No configuration read (-n), no idle exit, no shared memory, anonymous
// clients on the private socket.
bool startPulseAudio(Server& server) {
    setenv("PULSE_SERVER", ("unix:" + server.folder + "/native").c_str(), 1);
    return launch(server, {"pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1",
                           "--use-pid-file=no", "--disable-shm=yes", "--log-target=stderr", "-L",
                           "module-native-protocol-unix socket=" + server.folder +
                               "/native auth-anonymous=1"});
}

// WirePlumber leaves the machine's own devices alone: null sinks only.
void writeSessionManagerConfig(const std::string& folder) {
    std::filesystem::create_directories(folder + "/config/wireplumber/main.lua.d");
    std::filesystem::create_directories(folder + "/config/wireplumber/bluetooth.lua.d");
    std::ofstream(folder + "/config/wireplumber/main.lua.d/90-zd-tests.lua")
        << "alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\n"
           "libcamera_monitor.enabled = false\n";
    std::ofstream(folder + "/config/wireplumber/bluetooth.lua.d/90-zd-tests.lua")
        << "bluez_monitor.enabled = false\n";
}

bool waitFor(const std::function<bool()>& ready) {
    auto deadline = Clock::now() + std::chrono::seconds(20);
    while (Clock::now() < deadline) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

bool startPipeWire(Server& server) {
    writeSessionManagerConfig(server.folder);
    setenv("PULSE_SERVER", ("unix:" + server.folder + "/pulse/native").c_str(), 1);
    if (!launch(server, {"pipewire"}) ||
        !waitFor([&] { return std::filesystem::exists(server.folder + "/pipewire-0"); }))
        return false;
    server.sessionManager = launch(server, {"wireplumber"});
    if (!server.sessionManager || !launch(server, {"pipewire-pulse"})) return false;
    if (!waitFor([&] { return std::filesystem::exists(server.folder + "/pulse/native"); }))
        return false;
    // Players running as nobody reach the Pulse socket too.
    std::filesystem::permissions(server.folder + "/pulse", std::filesystem::perms(0755));
    return true;
}

bool hasSink(const std::string& name) {
    std::string sinks;
    pactl({"list", "short", "sinks"}, &sinks);
    return sinks.find("\t" + name + "\t") != std::string::npos;
}

bool addSink(const std::string& name, const std::string& description) {
    return hasSink(name) || (pactl({"load-module", "module-null-sink", "sink_name=" + name,
                                    "sink_properties=device.description=" + description}) == 0 &&
                             waitFor([&] { return hasSink(name); }));
}

// PipeWire's session manager takes a moment to make a new sink the default.
bool makeWhole() {
    if (!addSink("zd_speakers", "ZdSpeakers") || !addSink("zd_headphones", "ZdHeadphones"))
        return false;
    return waitFor([] {
        std::string name;
        pactl({"set-default-sink", "zd_speakers"});
        pactl({"get-default-sink"}, &name);
        return name == "zd_speakers\n";
    });
}

bool start(SoundServerKind kind, std::string& error) {
    theServer = new Server;
    theServer->kind = kind;
    bool pipewire = kind == SoundServerKind::pipewire;
    if (!(pipewire ? startPipeWire(*theServer) : startPulseAudio(*theServer))) {
        error = std::string("cannot run ") +
                (pipewire ? "pipewire, wireplumber and pipewire-pulse" : "pulseaudio") +
                " (are the packages installed?)";
        return false;
    }
    if (waitFor([] { return pactl({"info"}) == 0; })) return true;
    error = "the private sound server did not answer (see " + theServer->folder + ")";
    return false;
}
} // namespace

bool startSoundServer(SoundServerKind kind, std::string& error) {
    if (!startSessionBus(error)) return false;
    if (theServer && (theServer->kind != kind || !theServer->whole)) stopServer();
    if (!theServer) {
        static bool registered = false;
        if (!registered) std::atexit(stopServer);
        registered = true;
        if (!start(kind, error)) return false;
    }
    if (makeWhole()) return true;
    error = "the private sound server took no null sinks (see " + theServer->folder + ")";
    return false;
}

void stopSessionManager() {
    if (!theServer || !theServer->sessionManager) return;
    theServer->sessionManager->stop();
    theServer->whole = false;
    waitFor([] {
        std::string name;
        pactl({"get-default-sink"}, &name);
        return name != "zd_speakers\n";
    });
}

const std::string& soundServerFolder() {
    static const std::string none;
    return theServer ? theServer->folder : none;
}

bool removeSink(const std::string& name) {
    std::string modules;
    pactl({"list", "short", "modules"}, &modules);
    std::istringstream lines(modules);
    for (std::string line; std::getline(lines, line);)
        if (line.find("sink_name=" + name + " ") != std::string::npos)
            return pactl({"unload-module", line.substr(0, line.find('\t'))}) == 0;
    return false;
}

int pactl(const std::vector<std::string>& args, std::string* output) {
    std::vector<std::string> command = {"pactl"};
    command.insert(command.end(), args.begin(), args.end());
    return runTool(command, output);
}
