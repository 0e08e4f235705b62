#include "session/playlist.h"

#include "shell/vis_module.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

std::string pluginPathFor(const std::string& path) {
    std::error_code code;
    std::filesystem::path absolute = std::filesystem::absolute(path, code);
    std::string full = code ? path : absolute.lexically_normal().string();
#ifdef _WIN32
    return full;
#else
    std::replace(full.begin(), full.end(), '/', '\\');
    return "Z:" + full;
#endif
}

Playlist::Playlist(std::vector<PlaylistEntry> entries) : entries_(std::move(entries)) {}

const char* Playlist::pluginPath(int index) const {
    if (index < 0 || index >= length()) return nullptr;
    return entries_[index].pluginPath.c_str();
}

void Playlist::setPosition(int index) {
    if (index >= 0 && index < length()) position_ = index;
}

void Playlist::play() {
    playing_ = position_;
    playingMs_ = 0;
}

void Playlist::replaceEntries(std::vector<PlaylistEntry> entries) {
    entries_ = std::move(entries);
    if (position_ >= length()) position_ = 0;
    if (playing_ >= length()) playing_ = position_;
    entriesReplaced_ = true;
}

void Playlist::seek(long long ms) {
    playing_ = 0;
    playingMs_ = std::max(0LL, ms);
    while (!finished() && entries_[playing_].durationMs >= 0 &&
           playingMs_ >= entries_[playing_].durationMs) {
        playingMs_ -= entries_[playing_].durationMs;
        ++playing_;
    }
    if (!finished()) position_ = playing_;
}

void Playlist::advance(int ms) {
    if (finished()) return;
    playingMs_ += ms;
    long long duration = entries_[playing_].durationMs;
    if (duration < 0 || playingMs_ < duration) return;
    ++playing_;
    playingMs_ = 0;
    if (!finished()) position_ = playing_;
}

long long Playlist::remainingMs() const {
    long long total = 0;
    for (int i = playing_; i < length(); ++i) {
        if (entries_[i].durationMs < 0) return -1;
        total += entries_[i].durationMs - (i == playing_ ? playingMs_ : 0);
    }
    return total;
}

std::intptr_t Playlist::answerUserMessage(std::uintptr_t wParam, std::intptr_t lParam,
                                          bool& handled) {
    handled = true;
    switch (lParam) {
    case hostGetPlaylistPosition:
        return position_;
    case hostGetPlaylistLength:
        if (entriesReplaced_) {
            entriesReplaced_ = false;
            return 0;
        }
        return length();
    case hostGetPlaylistFile:
        return reinterpret_cast<std::intptr_t>(pluginPath(static_cast<int>(wParam)));
    case hostSetPlaylistPosition:
        setPosition(static_cast<int>(wParam));
        return 0;
    }
    handled = false;
    return 0;
}
