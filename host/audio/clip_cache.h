// Decoded playlist entries for live play: the entry heard, the entry being
// queued and the one after it, decoded ahead on a worker thread so a change
// of entry does not stall the frames.
//
//   ClipCache clips(loader);
//   clips.prefetch(entry + 1);                 // starts decoding, returns at once
//   auto clip = clips.clipFor(entry, error);   // waits only if not decoded yet
#pragma once

#include "audio/clip_store.h"

#include <future>
#include <memory>
#include <string>
#include <vector>

class ClipCache {
  public:
    explicit ClipCache(ClipStore::Loader loader) : loader_(std::move(loader)) {}
    ~ClipCache();

    void prefetch(int entry);
    // Null, with the reason in `error`, when the entry cannot be decoded.
    std::shared_ptr<const AudioClip> clipFor(int entry, std::string& error);

  private:
    struct Decoded {
        std::shared_ptr<const AudioClip> clip;
        std::string error;
    };
    struct Slot {
        int entry;
        std::shared_future<Decoded> decoded;
        long long lastUse;
    };

    Slot& slotFor(int entry);

    ClipStore::Loader loader_;
    std::vector<Slot> slots_;
    long long uses_ = 0;
};
