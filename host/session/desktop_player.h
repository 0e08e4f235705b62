// The desktop's media player, over MPRIS on the session D-Bus: its track
// list with the track playing, or the track playing alone where it offers no
// list. A thread of its own talks to the bus and keeps the answers in a
// cache, so a frame only ever copies them.
//
//   DesktopPlayer player("");             // whichever player plays
//   PlayerTracks tracks;
//   if (player.changed(tracks)) ...       // once a frame
//   player.goTo(2);                       // a title picked in the panel
#pragma once

#include <memory>
#include <string>
#include <vector>

struct PlayerTracks {
    std::string player; // its bus name after org.mpris.MediaPlayer2.; empty: none
    // The player's track list, or the track playing alone where it offers none.
    std::vector<std::string> titles; // UTF-8, "artist - title"; empty: nothing to show
    int current = -1;                // index of the track playing; -1: none of these

    bool operator==(const PlayerTracks& other) const {
        return player == other.player && titles == other.titles && current == other.current;
    }
};

class DesktopPlayer {
  public:
    // `wanted` picks a player by name (vlc for org.mpris.MediaPlayer2.vlc or
    // one of its instances); empty: the one playing, else the first found.
    explicit DesktopPlayer(const std::string& wanted);
    ~DesktopPlayer();
    DesktopPlayer(const DesktopPlayer&) = delete;
    DesktopPlayer& operator=(const DesktopPlayer&) = delete;

    // True, with the tracks, when they changed since the last call. Never waits for the bus.
    bool changed(PlayerTracks& tracks);
    // Asks the player to play track `index` of its list; without a list, to play.
    void goTo(int index);

    struct Bus;

  private:
    std::unique_ptr<Bus> bus_;
};
