// The panel's copy of the host's playlist: one title per entry, taken from
// the entry's path when fetched. Every allocation may fail without harm: a
// title that cannot be allocated stays null and is drawn empty, a list whose
// array cannot be allocated comes back null.
#pragma once

struct VisModule;

constexpr int playlistTitleLimit = 40;
// Entries the panel takes at most: every title is fetched with one message, so
// a host claiming billions of entries would otherwise freeze the plug-in.
constexpr int playlistEntryLimit = 100000;

// The host's playlist length, at most playlistEntryLimit; a negative answer
// counts as an empty playlist. -1 when a host asked from another thread did
// not answer in time.
int playlistLength(VisModule* host);
// The text after the path's last backslash, at most 40 characters.
char* playlistTitleFromPath(const char* path);
// Titles of entries 0 to count - 1, or null when count is 0 or the array
// cannot be allocated. When a host asked from another thread stops answering
// part way, `answered` is false and nothing is returned.
char** playlistFetchTitles(VisModule* host, int count, bool& answered);
void playlistReleaseTitles(char** titles, int count);

// A fresh copy of the titles, fetched when the host's playlist length differs
// from the one a panel holds, and owned until a panel takes it. Fetched
// without touching the panel, so a frame can ask the host before it takes the
// lock that the host's thread may be waiting for.
class PlaylistUpdate {
  public:
    PlaylistUpdate() = default;
    ~PlaylistUpdate() { playlistReleaseTitles(titles_, count_); }
    PlaylistUpdate(PlaylistUpdate&& other) noexcept;
    PlaylistUpdate& operator=(PlaylistUpdate&& other) noexcept;
    PlaylistUpdate(const PlaylistUpdate&) = delete;
    PlaylistUpdate& operator=(const PlaylistUpdate&) = delete;

    // Nothing when the length is `heldCount`, or the host did not answer in time.
    static PlaylistUpdate fetch(VisModule* host, int heldCount);

    bool fetched() const { return fetched_; }
    int count() const { return count_; }
    // Hands the titles over to the caller, who releases them.
    char** take();

  private:
    bool fetched_ = false;
    int count_ = 0;
    char** titles_ = nullptr;
};
