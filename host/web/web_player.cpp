// The page's player, the browser's counterpart of `zephyrdome play`: the
// plug-in's host window and playlist (the demo, or the files dropped on the
// page), and one frame whenever the page's clock says one is due. The page
// plays the sound itself from the same clips and tells each frame where
// playback is; the bytes come from the host's own analysis.
#include "web_player.h"

#include "audio/demo_song.h"
#include "audio/vis_analyzer.h"
#include "session/host_window.h"
#include "session/plugin_driver.h"
#include "session/plugin_location.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <deque>

namespace {

struct WebPlayer {
    Playlist playlist;
    std::vector<AudioClip> clips;
    bool demo = true;
    HostWindow host;
    PluginDriver driver;
    VisAnalyzer analyzer;
    VisFrame frame{};
    std::deque<int> playerKeys;
};

WebPlayer& player() {
    static WebPlayer* instance = new WebPlayer;
    return *instance;
}

void useDemo(WebPlayer& p) {
    std::vector<PlaylistEntry> entries;
    p.clips.clear();
    for (DemoTrack& track : synthesizeDemoTracks()) {
        entries.push_back({"", "Zephyrdome demo\\" + track.title, track.clip.durationMs()});
        p.clips.push_back(std::move(track.clip));
    }
    p.playlist = Playlist(std::move(entries));
    p.demo = true;
}

// Messages for the plug-in's window and the host's; key releases that reach
// the host are the player's keys.
void pumpMessages(WebPlayer& p) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (message.hwnd == p.host.handle() && message.message == WM_KEYUP)
            p.playerKeys.push_back(int(message.wParam));
    }
}

const AudioClip* clipOf(int entry) {
    WebPlayer& p = player();
    return entry >= 0 && size_t(entry) < p.clips.size() ? &p.clips[size_t(entry)] : nullptr;
}

} // namespace

bool startWebPlayer(const std::string& programPath, std::string& error) {
    WebPlayer& p = player();
    useDemo(p);
    return p.host.create(p.playlist, error) && p.driver.load(defaultPluginPath(programPath), error) &&
           p.driver.start(p.host.handle(), demoSampleRate, 2, error);
}

extern "C" {

EMSCRIPTEN_KEEPALIVE int zdPlayerAddFile(const char* title, const float* interleaved, int frames,
                                         int channels, int rate) {
    WebPlayer& p = player();
    if (frames <= 0 || channels <= 0 || rate <= 0) return -1;
    AudioClip clip;
    clip.sampleRate = rate;
    clip.channels = channels <= 2 ? channels : 1;
    appendAudioFrames(interleaved, frames, channels, clip);
    std::vector<PlaylistEntry> entries;
    if (!p.demo)
        for (int i = 0; i < p.playlist.length(); ++i) entries.push_back(p.playlist.entry(i));
    else
        p.clips.clear();
    entries.push_back({"", std::string("Zephyrdome web\\") + title, clip.durationMs()});
    p.clips.push_back(std::move(clip));
    p.playlist = Playlist(std::move(entries));
    p.demo = false;
    return p.playlist.length() - 1;
}

EMSCRIPTEN_KEEPALIVE int zdPlayerEntryCount() {
    return player().playlist.length();
}

// The path the plug-in is given for the entry; the page shows its last part.
EMSCRIPTEN_KEEPALIVE const char* zdPlayerTitle(int entry) {
    return player().playlist.pluginPath(entry);
}

EMSCRIPTEN_KEEPALIVE const std::int16_t* zdPlayerClipSamples(int entry) {
    const AudioClip* clip = clipOf(entry);
    return clip ? clip->samples.data() : nullptr;
}

EMSCRIPTEN_KEEPALIVE int zdPlayerClipFrames(int entry) {
    const AudioClip* clip = clipOf(entry);
    return clip ? int(clip->frameCount()) : 0;
}

EMSCRIPTEN_KEEPALIVE int zdPlayerClipChannels(int entry) {
    const AudioClip* clip = clipOf(entry);
    return clip ? clip->channels : 0;
}

EMSCRIPTEN_KEEPALIVE int zdPlayerClipRate(int entry) {
    const AudioClip* clip = clipOf(entry);
    return clip ? clip->sampleRate : 0;
}

// The bytes the plug-in gets for `entry` heard at `ms`: analysed from the
// sound the plug-in's latency ahead, as the desktop's host analyses it.
EMSCRIPTEN_KEEPALIVE const unsigned char* zdPlayerAnalyze(int entry, double ms) {
    WebPlayer& p = player();
    p.frame = VisFrame{};
    if (const AudioClip* clip = clipOf(entry)) {
        const long long at = (long long)ms + p.driver.latencyMs();
        std::int16_t block[visBlockSamples];
        mixToMono(*clip, at * clip->sampleRate / 1000, visBlockSamples, block);
        p.analyzer.analyze(block, p.frame);
    }
    return p.frame.spectrum;
}

// One frame; the entry the host plays afterwards (a click in the panel
// changes it), or -1 once the plug-in's window is gone.
EMSCRIPTEN_KEEPALIVE int zdPlayerFrame(int entry, double ms, int silent) {
    WebPlayer& p = player();
    pumpMessages(p);
    if (!p.driver.renderWindow()) return -1;
    if (!silent)
        zdPlayerAnalyze(entry, ms);
    else
        p.frame = VisFrame{};
    p.driver.render(p.frame);
    return p.playlist.playingIndex();
}

// The page's own choice of entry (its list, or the player's keys).
EMSCRIPTEN_KEEPALIVE void zdPlayerPlayEntry(int entry) {
    WebPlayer& p = player();
    p.playlist.setPosition(entry);
    p.playlist.play();
}

EMSCRIPTEN_KEEPALIVE int zdPlayerTakeKey() {
    WebPlayer& p = player();
    if (p.playerKeys.empty()) return 0;
    const int key = p.playerKeys.front();
    p.playerKeys.pop_front();
    return key;
}

} // extern "C"
