// Decoded audio of the playlist's entries, loaded when an entry is first
// needed and kept until another entry is asked for, so a long playlist
// holds one decoded file at a time.
#pragma once

#include "audio/audio_clip.h"

#include <functional>
#include <string>

class ClipStore {
  public:
    using Loader = std::function<bool(int entry, AudioClip& clip, std::string& error)>;

    explicit ClipStore(Loader loader) : loader_(std::move(loader)) {}

    // Null, with the reason in `error`, when the entry cannot be loaded.
    const AudioClip* clipFor(int entry, std::string& error);

  private:
    Loader loader_;
    int loadedEntry_ = -1;
    AudioClip clip_;
};
