// The player behind `zephyrdome play`: queues the playlist's sound a little
// ahead of the listener, knows which entry and moment is being heard, and
// carries out the transport (pause, stop, play, previous, next, a title
// picked in the plug-in's panel).
//
//   LivePlayer player(playlist, clips, output);
//   player.feed();                   // often: keeps the queue filled
//   HeardPosition now = player.heard();
#pragma once

#include "audio/audio_output.h"
#include "audio/clip_cache.h"
#include "audio/played_audio.h"
#include "session/playlist.h"

#include <deque>
#include <string>

struct HeardPosition {
    int entry = 0;
    long long ms = 0;
    bool silent = false; // paused or stopped: nothing is heard
};

class LivePlayer {
  public:
    LivePlayer(const Playlist& playlist, ClipCache& clips, AudioOutput& output);

    // Queues sound up to `queueAheadMs` past what is heard. Entries that
    // cannot be decoded are reported once in `warning` and skipped.
    void feed(std::string& warning);
    HeardPosition heard();
    // The last entry has been heard to its end.
    bool finished();

    bool paused() const { return paused_; }
    void togglePause();
    void playEntry(int entry);
    void play();
    void stop();
    void next();
    void previous();

    static constexpr int queueAheadMs = 200;

  private:
    // Where a run of queued frames comes from.
    struct Marker {
        long long frame;
        int entry;
        long long ms;
    };

    void queueChunk(std::string& warning);
    void restartAt(int entry, bool stopped);
    void setPaused(bool paused);

    const Playlist& playlist_;
    ClipCache& clips_;
    AudioOutput& output_;
    PlayedAudio chunk_;
    std::deque<Marker> markers_;
    int feedEntry_ = 0;
    long long feedMs_ = 0;
    int heardEntry_ = 0;
    long long heardMs_ = 0;
    bool paused_ = false;
    bool stopped_ = false;
};
