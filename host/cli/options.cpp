#include "cli/options.h"

#include "cli/scale_filter.h"

#include <cstring>
#include <string>

const char* const overviewText =
    "usage: zephyrdome COMMAND [options]\n"
    "\n"
    "Zephyrdome draws music as a lit 3-D scene of spectrum rings, waveform ribbons\n"
    "and pumping speakers, through its Winamp visualisation plug-in.\n"
    "\n"
    "  render [AUDIO...] -o OUT  write it to a video (.mp4, .webm, .gif) or to PNG\n"
    "                            frames\n"
    "  play [AUDIO...]           play the music and show it live in a window\n"
    "  listen                    show it live on whatever the desktop is playing\n"
    "\n"
    "With no AUDIO, render and play use a built-in 20-second demo. The window of\n"
    "play and listen takes any size; F11 fills the screen.\n"
    "\n"
    "zephyrdome COMMAND --help lists a command's options, man zephyrdome has them\n"
    "all, and zephyrdome --version prints the version.\n";

const char* const usageText =
    "usage: zephyrdome render [AUDIO...] -o OUT [options]\n"
    "\n"
    "Plays the AUDIO files one after another through the Zephyrdome plug-in and\n"
    "writes what its window shows. With no AUDIO, plays the built-in demo.\n"
    "\n"
    "  -o, --output OUT     a video (needs ffmpeg): .mp4 (H.264 + AAC), .webm (VP9 +\n"
    "                       Opus) or .gif (30 s at most, 20 frames/s, no sound);\n"
    "                       or a folder or a pattern such as frames/%05d.png for\n"
    "                       PNG frames\n"
    "  --start TIME         start this far into the playlist (e.g. 30s, 1500ms)\n"
    "  --duration TIME      render this much and stop\n"
    "  --key TIME:KEY[:HOLD]  press KEY (A B C D H F2 F3 LEFT RIGHT UP DOWN) at TIME,\n"
    "                       or hold it for HOLD with auto-repeat\n"
    "  --click TIME:X,Y     left click at client pixel X,Y (from the top left)\n"
    "  --vis-out FILE       record the bytes handed to the plug-in, frame by frame\n"
    "  --vis-in FILE        replay a recording instead of analysing the audio\n"
    "  --quality Q          draft (quick, large), good (the default, for sharing:\n"
    "                       draft's look at about half the size) or best (sharper,\n"
    "                       twice good's encoding time)\n"
    "  --size WxH           scale the video to W by H (e.g. 1920x1080), keeping the\n"
    "                       picture's shape with black bars; video only\n"
    "  --scale-filter F     smooth (Lanczos, the default) or nearest (pixels as\n"
    "                       blocks)\n"
    "  --plugin PATH        the plug-in library (default: zephyrdome.so beside this\n"
    "                       program or in ../lib/zephyrdome from it)\n"
    "  --render-thread      call onRender on a thread of its own, a new one for every\n"
    "                       playlist entry, as hosts that render on their decoder\n"
    "                       thread do (keys and clicks still come on the main thread)\n"
    "  -q, --quiet          no progress bar and no summary\n"
    "\n"
    "zephyrdome play [AUDIO...] shows the plug-in live on the desktop while the\n"
    "music plays (see zephyrdome play --help); zephyrdome listen shows what the\n"
    "desktop is playing (see zephyrdome listen --help). The manual: man zephyrdome.\n";

namespace {
struct Parser {
    int argc;
    const char* const* argv;
    int index;
    std::string& error;

    bool value(const char* option, std::string& out) {
        if (index + 1 >= argc) {
            error = std::string("option ") + option + " needs a value";
            return false;
        }
        out = argv[++index];
        return true;
    }

    bool time(const char* option, long long& ms) {
        std::string text;
        if (!value(option, text)) return false;
        if (parseTimeMs(text, ms)) return true;
        error = std::string("bad ") + option + " '" + text +
                "': expected seconds (5, 2.5s) or ms (250ms)";
        return false;
    }
};

// Digits alone, from 1 to 5 of them.
bool parseSide(const std::string& text, int& side) {
    if (text.empty() || text.size() > 5 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    side = std::stoi(text);
    return true;
}

// Even sides, as H.264 in 4:2:0 wants, up to 8K.
bool parseSize(const std::string& text, VideoSettings& video, std::string& error) {
    size_t x = text.find('x');
    int width = 0, height = 0;
    if (x != std::string::npos && parseSide(text.substr(0, x), width) &&
        parseSide(text.substr(x + 1), height) && width >= 16 && height >= 16 && width <= 7680 &&
        height <= 4320 && width % 2 == 0 && height % 2 == 0) {
        video.width = width;
        video.height = height;
        return true;
    }
    error = "bad --size '" + text + "': expected WxH, even numbers from 16x16 to 7680x4320";
    return false;
}

bool parseQuality(const std::string& text, VideoQuality& quality, std::string& error) {
    const char* const names[] = {"draft", "good", "best"};
    for (int i = 0; i < 3; ++i)
        if (text == names[i]) {
            quality = static_cast<VideoQuality>(i);
            return true;
        }
    error = "bad --quality '" + text + "': expected draft, good or best";
    return false;
}

bool parseVideoOption(Parser& p, const std::string& arg, VideoSettings& video) {
    std::string text;
    if (!p.value(arg.c_str(), text)) return false;
    if (arg == "--size") return parseSize(text, video, p.error);
    if (arg == "--quality") return parseQuality(text, video.quality, p.error);
    return parseScaleFilter(text, video.smooth, p.error);
}

bool parseOption(Parser& p, const std::string& arg, RenderOptions& options) {
    std::string text;
    if (arg == "--size" || arg == "--scale-filter" || arg == "--quality")
        return parseVideoOption(p, arg, options.video);
    if (arg == "-o" || arg == "--output") return p.value("-o", options.output);
    if (arg == "--start") return p.time("--start", options.startMs);
    if (arg == "--duration") return p.time("--duration", options.durationMs);
    if (arg == "--vis-out") return p.value("--vis-out", options.visOut);
    if (arg == "--vis-in") return p.value("--vis-in", options.visIn);
    if (arg == "--plugin") return p.value("--plugin", options.pluginPath);
    if (arg == "-q" || arg == "--quiet") {
        options.quiet = true;
        return true;
    }
    if (arg == "--render-thread") {
        options.renderThread = true;
        return true;
    }
    if (arg == "--key" || arg == "--click") {
        options.scripted = true;
        if (!p.value(arg.c_str(), text)) return false;
        return arg == "--key" ? parseKeyOption(text, options.events, p.error)
                              : parseClickOption(text, options.events, p.error);
    }
    p.error = "unknown option '" + arg + "' (see zephyrdome --help)";
    return false;
}

bool checkRenderOptions(const RenderOptions& options, std::string& error) {
    if (options.output.empty()) {
        error = "no output given: add -o OUT (an .mp4 file, a folder or a %d.png pattern)";
        return false;
    }
    if (options.durationMs == 0) {
        error = "--duration must be more than 0";
        return false;
    }
    OutputKind kind;
    if (options.video.width > 0 && outputKindFor(options.output, kind, error) &&
        kind != OutputKind::video) {
        error = "--size needs a video output; PNG frames keep the plug-in's 634x458";
        return false;
    }
    return true;
}
} // namespace

bool parseCommandLine(int argc, const char* const* argv, CommandKind& command,
                      RenderOptions& options, std::string& error) {
    options = RenderOptions{};
    std::string first = argc > 1 ? argv[1] : "";
    command = first == "--version" ? CommandKind::version : CommandKind::overview;
    if (first == "-h" || first == "--help" || first == "help" || first == "--version") return true;
    if (first != "render") {
        error = first.empty()
                    ? "no command given (try: zephyrdome --help, or zephyrdome listen)"
                    : "unknown command '" + first + "' (the commands are: render, play, listen)";
        return false;
    }
    command = CommandKind::render;
    Parser parser{argc, argv, 2, error};
    bool optionsEnded = false;
    for (; parser.index < argc; ++parser.index) {
        std::string arg = argv[parser.index];
        if (arg == "-h" || arg == "--help") {
            command = CommandKind::help;
            return true;
        }
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (!parseOption(parser, arg, options)) return false;
        } else {
            options.audioFiles.push_back(arg);
        }
    }
    sortInputEvents(options.events);
    return checkRenderOptions(options, error);
}
