// The host's playlist and playback position, and its answers to the
// plug-in's playlist messages (WM_USER with lParam 124, 125, 211, 121, and
// the play command). Like a player, it tells apart the selected entry (the
// playlist position) and the entry that is playing: selecting an entry does
// not play it until the play command comes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PlaylistEntry {
    std::string path;          // where the host opens it
    std::string pluginPath;    // the full path handed to the plug-in
    long long durationMs = -1; // -1: unknown, the entry never ends by itself
};

// The form a Windows host would use: Unix paths as Wine shows them
// ("/home/me/a.flac" becomes "Z:\home\me\a.flac"), made absolute first.
std::string pluginPathFor(const std::string& path);

class Playlist {
  public:
    Playlist() = default;
    explicit Playlist(std::vector<PlaylistEntry> entries);

    int length() const { return static_cast<int>(entries_.size()); }
    int position() const { return position_; }
    int playingIndex() const { return playing_; }
    long long playingMs() const { return playingMs_; }
    bool finished() const { return playing_ >= length(); }
    const PlaylistEntry& entry(int index) const { return entries_[index]; }
    // Full path of entry `index` as handed to the plug-in, or null when there is none.
    const char* pluginPath(int index) const;

    void setPosition(int index);
    void play();
    // New entries, the position kept where it still fits. The next length
    // asked for is 0: a panel that fetches titles only when the length
    // changes then fetches the new ones, even at the same length.
    void replaceEntries(std::vector<PlaylistEntry> entries);
    // Starts at `ms` into the playlist played end to end.
    void seek(long long ms);
    // Moves playback on by `ms`; an entry that runs out hands over to the next one.
    void advance(int ms);
    // Milliseconds left until the last entry ends; -1 when an entry has no known end.
    long long remainingMs() const;

    // The answer to WM_USER with these parameters; `handled` says whether it was ours.
    std::intptr_t answerUserMessage(std::uintptr_t wParam, std::intptr_t lParam, bool& handled);

  private:
    std::vector<PlaylistEntry> entries_;
    int position_ = 0;
    int playing_ = 0;
    long long playingMs_ = 0;
    bool entriesReplaced_ = false;
};
