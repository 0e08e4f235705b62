// The page's program: the plug-in is linked in and named to the platform as
// the library the host loads. Without arguments it starts the page's player;
// with them it runs the host's command line as on the desktop (render only),
// which the browser test uses to replay a recording (play and listen need a
// desktop; the page is this program's player).
#include "cli/render_command.h"
#include "session/plugin_location.h"
#include "web_player.h"

#include "shell/vis_module.h"

#include <platform_web.h>

#include <cstdio>

extern "C" VisHeader* winampVisGetHeader();

int main(int argc, char** argv) {
    platformLinkModule(defaultPluginPath(argv[0]).c_str(), "winampVisGetHeader",
                       reinterpret_cast<FARPROC>(&winampVisGetHeader));
    if (argc < 2) {
        std::string error;
        if (startWebPlayer(argv[0], error)) return 0;
        std::fprintf(stderr, "zephyrdome: %s\n", error.c_str());
        return 1;
    }
    return renderMain(argc, argv, ZEPHYRDOME_VERSION);
}
