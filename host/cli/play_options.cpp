#include "cli/play_options.h"

#include "cli/scale_filter.h"
#include "session/key_script.h"

const char* const playUsageText =
    "usage: zephyrdome play [AUDIO...] [options]\n"
    "\n"
    "Plays the AUDIO files one after another through the sound card and shows the\n"
    "Zephyrdome plug-in live in its own window. With no AUDIO, plays the built-in demo.\n"
    "The plug-in's keys work in its window (A B C D H F2 F3, arrows); the player\n"
    "answers Space (pause), Z (previous), X (play), V (stop), N (next) and\n"
    "Escape (quit). A click on a title plays it; closing the window ends. The\n"
    "window takes any size, its picture scaled to fit; F11 fills the screen and\n"
    "Escape leaves full screen before anything else.\n"
    "\n"
    "  --no-sound           play silently, paced by the system clock\n"
    "  --duration TIME      stop after this long (e.g. 30s, 1500ms)\n"
    "  --fullscreen         open filling the screen (F11 toggles it)\n"
    "  --zoom N             open the window N times larger (1 to 4), pixels as\n"
    "                       blocks unless --scale-filter says smooth\n"
    "  --scale-filter F     smooth (the default) or nearest (pixels as blocks)\n"
    "  --save-frames DIR    also write every frame shown as DIR/NNNNNN.png\n"
    "  --trace              print the keys and clicks the plug-in receives, the keys\n"
    "                       it passes on, the entries played and when each frame\n"
    "                       was due and drawn, on stdout\n"
    "  --plugin PATH        the plug-in library (default: zephyrdome.so beside this\n"
    "                       program or in ../lib/zephyrdome from it)\n"
    "  -q, --quiet          no summary line\n";

namespace {
bool takeValue(int argc, const char* const* argv, int& index, std::string& out,
               std::string& error) {
    if (index + 1 >= argc) {
        error = std::string("option ") + argv[index] + " needs a value";
        return false;
    }
    out = argv[++index];
    return true;
}

bool parseZoom(const std::string& text, int& zoom) {
    if (text.size() != 1 || text[0] < '1' || text[0] > '4') return false;
    zoom = text[0] - '0';
    return true;
}

bool parseOption(int argc, const char* const* argv, int& index, PlayOptions& options,
                 std::string& error) {
    std::string arg = argv[index];
    std::string text;
    if (arg == "--no-sound" || arg == "--trace" || arg == "-q" || arg == "--quiet") {
        if (arg == "--no-sound") options.sound = false;
        if (arg == "--trace") options.trace = true;
        if (arg == "-q" || arg == "--quiet") options.quiet = true;
        return true;
    }
    if (arg == "--plugin") return takeValue(argc, argv, index, options.pluginPath, error);
    if (arg == "--save-frames") return takeValue(argc, argv, index, options.framesFolder, error);
    if (isLiveOption(arg)) return parseLiveOption(argc, argv, index, options, error);
    error = "unknown option '" + arg + "' (see zephyrdome play --help)";
    return false;
}
} // namespace

bool isLiveOption(const std::string& arg) {
    return arg == "--zoom" || arg == "--scale-filter" || arg == "--fullscreen" ||
           arg == "--duration";
}

bool parseLiveOption(int argc, const char* const* argv, int& index, PlayOptions& options,
                     std::string& error) {
    std::string arg = argv[index];
    std::string text;
    if (arg == "--fullscreen") {
        options.window.fullScreen = true;
        return true;
    }
    if (!takeValue(argc, argv, index, text, error)) return false;
    if (arg == "--zoom") {
        if (parseZoom(text, options.window.zoom)) return true;
        error = "bad --zoom '" + text + "': expected a whole number from 1 to 4";
        return false;
    }
    if (arg == "--scale-filter") {
        bool smooth = true;
        if (!parseScaleFilter(text, smooth, error)) return false;
        options.window.scaling = smooth ? LiveScaling::smooth : LiveScaling::nearest;
        return true;
    }
    if (parseTimeMs(text, options.durationMs) && options.durationMs > 0) return true;
    error = "bad --duration '" + text + "': expected seconds (5, 2.5s) or ms (250ms), above 0";
    return false;
}

PlayParse parsePlayCommandLine(int argc, const char* const* argv, PlayOptions& options,
                               std::string& error) {
    options = PlayOptions{};
    bool optionsEnded = false;
    for (int index = 2; index < argc; ++index) {
        std::string arg = argv[index];
        if (!optionsEnded && (arg == "-h" || arg == "--help")) return PlayParse::help;
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (!parseOption(argc, argv, index, options, error)) return PlayParse::failed;
        } else {
            options.audioFiles.push_back(arg);
        }
    }
    return PlayParse::run;
}
