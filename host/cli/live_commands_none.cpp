// The Windows host renders to files only: `play` and `listen` need the
// Linux host's sound output and capture.
#include "cli/command_failure.h"
#include "cli/listen_command.h"
#include "cli/play_command.h"

int playMain(int, char**) {
    return reportFailure("play is not available in the Windows host (render is)");
}

int listenMain(int, char**) {
    return reportFailure("listen is not available in the Windows host (render is)");
}
