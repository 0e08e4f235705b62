#include "session/listen_panel.h"

#include "session/panel_titles.h"

namespace {
// current_ while the panel shows the source: no index of the player's.
constexpr int sourceEntry = -2;

// The plug-in shows what follows the last backslash of an entry's path.
PlaylistEntry entryFor(const std::string& title) {
    return {"", "Zephyrdome listen\\" + panelTitle(title), -1};
}
} // namespace

void ListenPanel::follow(const std::string& source, const PlayerTracks& tracks, LiveTrace& trace) {
    if (source != source_) trace.line("source %s", source.c_str());
    if (tracks.player != player_)
        trace.line("desktop player %s", tracks.player.empty() ? "none" : tracks.player.c_str());
    source_ = source;
    player_ = tracks.player;
    showsPlayer_ = !tracks.titles.empty();
    std::vector<std::string> titles = showsPlayer_ ? tracks.titles : std::vector{source};
    if (titles != titles_) {
        titles_ = titles;
        std::vector<PlaylistEntry> entries;
        for (size_t i = 0; i < titles.size(); ++i) {
            entries.push_back(entryFor(titles[i]));
            trace.line("title %zu %s", i, titles[i].c_str());
        }
        playlist_.replaceEntries(std::move(entries));
    }
    // A title picked in the panel stays highlighted until the player moves.
    int current = showsPlayer_ ? tracks.current : sourceEntry;
    if (current == current_) return;
    current_ = current;
    if (current == sourceEntry) current = 0;
    if (current < 0) return;
    playlist_.setPosition(current);
    playlist_.play();
    if (showsPlayer_) trace.line("entry %d", current);
}
