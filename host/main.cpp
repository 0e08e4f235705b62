// zephyrdome: a Winamp-style host that plays audio through the Zephyrdome
// visualisation plug-in and renders what it draws to video or PNG frames.
#include "cli/listen_command.h"
#include "cli/play_command.h"
#include "cli/render_command.h"
#include "session/live_display.h"
#include "session/render_session.h"

#include <csignal>

namespace {
void onInterrupt(int) {
    renderInterrupted = 1;
}
} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "play") return playMain(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "listen") return listenMain(argc, argv);
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    keepWindowsOffDesktop();
    return renderMain(argc, argv, ZEPHYRDOME_VERSION);
}
