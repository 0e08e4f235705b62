// What the plug-in's panel lists while `listen` runs: the desktop player's
// tracks with the one playing highlighted, or the track playing alone, when
// a player offers them; else the recorded source's name. It keeps the
// playlist the host window answers from, and tells the trace what changed:
//   source Monitor of Speakers       the source recorded now
//   desktop player vlc               the player the titles come from
//   title 0 Band - Song A            the panel's entries, anew after each change
//   entry 1                          the player moved on to another track
#pragma once

#include "session/desktop_player.h"
#include "session/live_trace.h"
#include "session/playlist.h"

#include <string>
#include <vector>

class ListenPanel {
  public:
    Playlist& playlist() { return playlist_; }
    // The source's name and the player's tracks as they are now.
    void follow(const std::string& source, const PlayerTracks& tracks, LiveTrace& trace);
    // Whether the entries are the player's, so a picked one is for the player to play.
    bool showsPlayer() const { return showsPlayer_; }

  private:
    Playlist playlist_;
    std::string source_;
    std::string player_;
    std::vector<std::string> titles_;
    int current_ = -1;
    bool showsPlayer_ = false;
};
