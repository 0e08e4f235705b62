#include "session_bus.h"

#include "background_process.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {
struct Bus {
    PrivateFolder folder{"zd_bus"};
    BackgroundProcess daemon;
};
Bus* theBus = nullptr;

void stopBus() {
    delete theBus;
    theBus = nullptr;
}

// The session bus's own rules, but open to every user of this machine.
void writeConfig(const std::string& path, const std::string& socket) {
    std::ofstream config(path);
    config << "<busconfig>\n"
              "  <type>session</type>\n"
              "  <listen>unix:path="
           << socket
           << "</listen>\n"
              "  <auth>EXTERNAL</auth>\n"
              "  <policy context=\"default\">\n"
              "    <allow user=\"*\"/>\n"
              "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
              "    <allow eavesdrop=\"true\"/>\n"
              "    <allow own=\"*\"/>\n"
              "  </policy>\n"
              "</busconfig>\n";
}
} // namespace

bool startSessionBus(std::string& error) {
    if (theBus) return true;
    theBus = new Bus;
    const std::string& folder = theBus->folder.path();
    std::string socket = folder + "/bus";
    writeConfig(folder + "/bus.conf", socket);
    std::atexit(stopBus);
    if (!theBus->daemon.start(
            {"dbus-daemon", "--config-file=" + folder + "/bus.conf", "--nofork", "--nopidfile"}, {},
            folder + "/log")) {
        error = "cannot run dbus-daemon (is the dbus-daemon package installed?)";
        return false;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists(socket) && theBus->daemon.running() &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (!std::filesystem::exists(socket)) {
        error = "the private D-Bus session bus did not start (see " + folder + "/log)";
        return false;
    }
    setenv("DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + socket).c_str(), 1);
    return true;
}
