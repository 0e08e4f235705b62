#include "playlist_titles.h"

#include "overlay/host_query.h"

#include "shell/vis_module.h"

#include <cstring>
#include <new>
#include <utility>

int playlistLength(VisModule* host) {
    LRESULT length = 0;
    if (!askHost(host->hostWindow, 0, hostGetPlaylistLength, length)) return -1;
    if (length <= 0) return 0;
    return length > playlistEntryLimit ? playlistEntryLimit : static_cast<int>(length);
}

// Only the backslash separates: the host's paths are Windows paths.
char* playlistTitleFromPath(const char* path) {
    if (!path) path = "";
    const char* name = std::strrchr(path, '\\');
    name = name ? name + 1 : path;
    size_t length = std::strlen(name);
    if (length > static_cast<size_t>(playlistTitleLimit)) length = playlistTitleLimit;
    char* title = new (std::nothrow) char[length + 1];
    if (!title) return nullptr;
    std::memcpy(title, name, length);
    title[length] = '\0';
    return title;
}

char** playlistFetchTitles(VisModule* host, int count, bool& answered) {
    answered = true;
    if (count <= 0) return nullptr;
    char** titles = new (std::nothrow) char*[count];
    if (!titles) return nullptr;
    for (int i = 0; i < count; ++i) {
        LRESULT path = 0;
        if (!askHost(host->hostWindow, static_cast<WPARAM>(i), hostGetPlaylistFile, path)) {
            answered = false;
            playlistReleaseTitles(titles, i);
            return nullptr;
        }
        titles[i] = playlistTitleFromPath(reinterpret_cast<const char*>(path));
    }
    return titles;
}

void playlistReleaseTitles(char** titles, int count) {
    if (!titles) return;
    for (int i = 0; i < count; ++i)
        delete[] titles[i];
    delete[] titles;
}

PlaylistUpdate::PlaylistUpdate(PlaylistUpdate&& other) noexcept
    : fetched_(other.fetched_), count_(other.count_), titles_(other.take()) {}

PlaylistUpdate& PlaylistUpdate::operator=(PlaylistUpdate&& other) noexcept {
    if (this != &other) {
        playlistReleaseTitles(titles_, count_);
        fetched_ = other.fetched_;
        count_ = other.count_;
        titles_ = other.take();
    }
    return *this;
}

PlaylistUpdate PlaylistUpdate::fetch(VisModule* host, int heldCount) {
    PlaylistUpdate update;
    const int length = playlistLength(host);
    if (length == heldCount || length < 0) return update;
    bool answered = true;
    char** titles = playlistFetchTitles(host, length, answered);
    if (!answered) return update;
    update.fetched_ = true;
    update.titles_ = titles;
    update.count_ = titles ? length : 0;
    return update;
}

char** PlaylistUpdate::take() {
    char** titles = titles_;
    titles_ = nullptr;
    return titles;
}
