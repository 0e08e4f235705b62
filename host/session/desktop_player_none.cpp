// Built without GIO: no desktop player is ever found, so the panel shows
// the recorded source.
#include "session/desktop_player.h"

struct DesktopPlayer::Bus {};

DesktopPlayer::DesktopPlayer(const std::string&) {}
DesktopPlayer::~DesktopPlayer() = default;
bool DesktopPlayer::changed(PlayerTracks&) {
    return false;
}
void DesktopPlayer::goTo(int) {}
