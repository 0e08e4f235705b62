// zephyrdome: a Winamp-style host that plays audio through the Zephyrdome
// visualisation plug-in and renders what it draws to video or PNG frames.
#include "cli/listen_command.h"
#include "cli/options.h"
#include "cli/play_command.h"
#include "cli/render_command.h"
#include "session/live_display.h"
#include "session/render_session.h"

#include <csignal>
#include <cstdio>

namespace {
void onInterrupt(int) {
    renderInterrupted = 1;
}
} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "play") return playMain(argc, argv);
    if (argc > 1 && std::string(argv[1]) == "listen") return listenMain(argc, argv);
    CommandKind command;
    RenderOptions options;
    std::string error;
    if (!parseCommandLine(argc, argv, command, options, error)) {
        std::fprintf(stderr, "zephyrdome: %s\n", error.c_str());
        return 2;
    }
    if (command == CommandKind::overview || command == CommandKind::help) {
        std::fputs(command == CommandKind::overview ? overviewText : usageText, stdout);
        return 0;
    }
    if (command == CommandKind::version) {
        std::puts("zephyrdome " ZEPHYRDOME_VERSION);
        return 0;
    }
    std::signal(SIGINT, onInterrupt);
    std::signal(SIGTERM, onInterrupt);
    keepWindowsOffDesktop();
    return runRenderCommand(options, argv[0]);
}
