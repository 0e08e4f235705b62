#include "audio/clip_store.h"

const AudioClip* ClipStore::clipFor(int entry, std::string& error) {
    if (entry == loadedEntry_) return &clip_;
    loadedEntry_ = -1;
    clip_ = AudioClip{};
    if (!loader_ || !loader_(entry, clip_, error)) return nullptr;
    loadedEntry_ = entry;
    return &clip_;
}
