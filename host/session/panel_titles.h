// Titles for the plug-in's panel from what the desktop knows: a sound
// source's description, a media player's track. The panel's font has
// Latin-1 glyphs and the plug-in cuts a title at its last backslash, so
// titles go to it as Latin-1 without backslashes.
#pragma once

#include <string>
#include <vector>

// UTF-8 in; Latin-1 out, a backslash as '/', other characters as '?'.
std::string panelTitle(const std::string& utf8);

// A media player's track, as MPRIS describes it.
struct TrackInfo {
    std::string id; // the player's object path for it
    std::string title;
    std::vector<std::string> artists;
    std::string url;
};

// "artist - title", artists joined by ", "; without a title the file's name
// from the URL; without either, empty. UTF-8.
std::string trackTitle(const TrackInfo& track);
