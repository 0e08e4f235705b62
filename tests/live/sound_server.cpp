#include "sound_server.h"

#include "background_process.h"
#include "desktop.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace {
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

bool startPipeWire(Server& server) {
    writeSessionManagerConfig(server.folder);
    setenv("PULSE_SERVER", ("unix:" + server.folder + "/pulse/native").c_str(), 1);
    if (!launch(server, {"pipewire"}) ||
        !waitUntil([&] { return std::filesystem::exists(server.folder + "/pipewire-0"); }))
        return false;
    server.sessionManager = launch(server, {"wireplumber"});
    if (!server.sessionManager || !launch(server, {"pipewire-pulse"})) return false;
    if (!waitUntil([&] { return std::filesystem::exists(server.folder + "/pulse/native"); }))
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
                             waitUntil([&] { return hasSink(name); }));
}

// PipeWire's session manager takes a moment to make a new sink the default.
bool makeWhole() {
    if (!addSink("zd_speakers", "ZdSpeakers") || !addSink("zd_headphones", "ZdHeadphones"))
        return false;
    return waitUntil([] {
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
    if (waitUntil([] { return pactl({"info"}) == 0; })) return true;
    error = "the private sound server did not answer (see " + theServer->folder + ")";
    return false;
}

// A session bus for the rest of the test program, with the session bus's
// own rules but open to every user of this machine.
bool startSessionBus(std::string& error) {
    static PrivateFolder folder("zd_bus");
    static BackgroundProcess daemon;
    std::string socket = folder.path() + "/bus";
    if (daemon.running()) return true;
    std::ofstream(folder.path() + "/bus.conf")
        << "<busconfig><type>session</type><listen>unix:path=" << socket
        << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
           "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
           "<allow own=\"*\"/></policy></busconfig>\n";
    if (!daemon.start({"dbus-daemon", "--config-file=" + folder.path() + "/bus.conf", "--nofork",
                       "--nopidfile"},
                      {}, folder.path() + "/log") ||
        !waitUntil([&] { return std::filesystem::exists(socket) || !daemon.running(); }) ||
        !daemon.running()) {
        error = "the private D-Bus session bus did not start (is dbus-daemon installed? see " +
                folder.path() + "/log)";
        return false;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
    return true;
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
    waitUntil([] {
        std::string name;
        pactl({"get-default-sink"}, &name);
        return name != "zd_speakers\n";
    });
}

bool unloadModule(const std::string& argument) {
    std::string modules;
    pactl({"list", "short", "modules"}, &modules);
    std::istringstream lines(modules);
    for (std::string line; std::getline(lines, line);)
        if (line.find(argument + " ") != std::string::npos)
            return pactl({"unload-module", line.substr(0, line.find('\t'))}) == 0;
    return false;
}

int pactl(const std::vector<std::string>& args, std::string* output) {
    std::vector<std::string> command = {"pactl"};
    command.insert(command.end(), args.begin(), args.end());
    return runTool(command, output);
}
