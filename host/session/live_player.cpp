#include "session/live_player.h"

#include <algorithm>

namespace {
constexpr int chunkMs = 20;
} // namespace

LivePlayer::LivePlayer(const Playlist& playlist, ClipCache& clips, AudioOutput& output)
    : playlist_(playlist), clips_(clips), output_(output), chunk_(output.sampleRate()) {
    for (int entry = 0; entry < std::min(2, playlist_.length()); ++entry)
        clips_.prefetch(entry);
}

void LivePlayer::feed(std::string& warning) {
    if (stopped_) return;
    double ahead = double(output_.sampleRate()) * queueAheadMs / 1000.0;
    while (feedEntry_ < playlist_.length() &&
           output_.writtenFrames() < output_.heardFrames() + ahead)
        queueChunk(warning);
}

// Queues one chunk of the entry, and moves on to the next entry at its end.
void LivePlayer::queueChunk(std::string& warning) {
    std::string error;
    std::shared_ptr<const AudioClip> clip = clips_.clipFor(feedEntry_, error);
    if (!clip) warning = "cannot play " + playlist_.entry(feedEntry_).path + ": " + error;
    long long length = clip ? clip->durationMs() : 0;
    if (feedMs_ < length) {
        int ms = static_cast<int>(std::min<long long>(chunkMs, length - feedMs_));
        markers_.push_back({output_.writtenFrames(), feedEntry_, feedMs_});
        chunk_.append(clip.get(), feedMs_, ms);
        output_.write(chunk_.samples().data(), static_cast<long long>(chunk_.samples().size() / 2));
        chunk_.takeSamples();
        feedMs_ += ms;
    }
    if (feedMs_ < length) return;
    ++feedEntry_;
    feedMs_ = 0;
    if (feedEntry_ + 1 < playlist_.length()) clips_.prefetch(feedEntry_ + 1);
}

HeardPosition LivePlayer::heard() {
    double frame = output_.heardFrames();
    while (markers_.size() > 1 && markers_[1].frame <= frame)
        markers_.pop_front();
    if (!markers_.empty()) {
        const Marker& marker = markers_.front();
        double into = std::max(0.0, frame - double(marker.frame)) * 1000.0 / output_.sampleRate();
        heardEntry_ = marker.entry;
        heardMs_ = marker.ms + static_cast<long long>(into);
    }
    return {heardEntry_, heardMs_, paused_ || stopped_};
}

bool LivePlayer::finished() {
    return feedEntry_ >= playlist_.length() && output_.heardFrames() >= output_.writtenFrames();
}

void LivePlayer::setPaused(bool paused) {
    paused_ = paused;
    output_.setPaused(paused);
}

void LivePlayer::togglePause() {
    if (!stopped_) setPaused(!paused_);
}

// Forgets what was queued and starts `entry` from its beginning, stopped or playing.
void LivePlayer::restartAt(int entry, bool stopped) {
    output_.discardQueued();
    markers_.clear();
    markers_.push_back({output_.writtenFrames(), entry, 0});
    feedEntry_ = heardEntry_ = entry;
    feedMs_ = heardMs_ = 0;
    stopped_ = stopped;
    setPaused(stopped);
    clips_.prefetch(entry);
    if (entry + 1 < playlist_.length()) clips_.prefetch(entry + 1);
}

void LivePlayer::playEntry(int entry) {
    if (entry >= 0 && entry < playlist_.length()) restartAt(entry, false);
}

// As a player's Play button: resumes a pause, otherwise starts the entry over.
void LivePlayer::play() {
    if (paused_ && !stopped_)
        setPaused(false);
    else
        playEntry(heardEntry_);
}

void LivePlayer::stop() {
    if (heardEntry_ < playlist_.length()) restartAt(heardEntry_, true);
}

void LivePlayer::next() {
    playEntry(heardEntry_ + 1);
}

void LivePlayer::previous() {
    playEntry(std::max(0, heardEntry_ - 1));
}
