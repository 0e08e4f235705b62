#include "cli/listen_options.h"

#include "cli/play_options.h"

const char* const listenUsageText =
    "usage: zephyrdome listen [options]\n"
    "\n"
    "Shows the Zephyrdome plug-in live on whatever the desktop is playing: the sound\n"
    "of the default output's monitor on the PulseAudio (or PipeWire) server, which\n"
    "it follows when the default changes. The panel lists the desktop player's\n"
    "tracks (MPRIS); a click on a title plays it. The plug-in's keys work in its\n"
    "window, which takes any size (F11: full screen); Escape (once out of full\n"
    "screen) or closing the window ends.\n"
    "\n"
    "  --source NAME        record this source and stay on it (see --list-sources)\n"
    "  --list-sources       print the sources --source takes, monitors first\n"
    "  --player NAME        titles from this player (e.g. vlc) when several run\n"
    "  --fullscreen         open filling the screen (F11 toggles it; Escape leaves\n"
    "                       full screen first)\n"
    "  --zoom N             open the window N times larger (1 to 4), pixels as\n"
    "                       blocks unless --scale-filter says smooth\n"
    "  --scale-filter F     smooth (the default) or nearest (pixels as blocks)\n"
    "  --duration TIME      stop after this long (e.g. 30s, 1500ms)\n"
    "  --trace              print the keys and clicks the plug-in receives, and its\n"
    "                       bass level and loudness each frame, on stdout\n"
    "  --plugin PATH        the plug-in library (default: zephyrdome.so beside this\n"
    "                       program or in ../lib/zephyrdome from it)\n"
    "  -q, --quiet          no summary line\n";

namespace {
bool parseOption(int argc, const char* const* argv, int& index, ListenOptions& options,
                 std::string& error) {
    std::string arg = argv[index];
    std::string text;
    if (arg == "--trace" || arg == "-q" || arg == "--quiet") {
        (arg == "--trace" ? options.trace : options.quiet) = true;
        return true;
    }
    if (arg == "--source" || arg == "--plugin" || arg == "--player") {
        if (index + 1 >= argc) {
            error = "option " + arg + " needs a value";
            return false;
        }
        std::string& value = arg == "--source"   ? options.source
                             : arg == "--player" ? options.player
                                                 : options.pluginPath;
        value = argv[++index];
        return true;
    }
    PlayOptions play;
    if (isLiveOption(arg)) {
        play.window = options.window;
        if (!parseLiveOption(argc, argv, index, play, error)) return false;
        options.window = play.window;
        if (arg == "--duration") options.durationMs = play.durationMs;
        return true;
    }
    error = arg.size() > 1 && arg[0] == '-'
                ? "unknown option '" + arg + "' (see zephyrdome listen --help)"
                : "listen takes no audio files ('" + arg + "'); to play files: zephyrdome play";
    return false;
}
} // namespace

ListenParse parseListenCommandLine(int argc, const char* const* argv, ListenOptions& options,
                                   std::string& error) {
    options = ListenOptions{};
    bool listSources = false;
    for (int index = 2; index < argc; ++index) {
        std::string arg = argv[index];
        if (arg == "-h" || arg == "--help") return ListenParse::help;
        if (arg == "--list-sources")
            listSources = true;
        else if (!parseOption(argc, argv, index, options, error))
            return ListenParse::failed;
    }
    return listSources ? ListenParse::listSources : ListenParse::run;
}
