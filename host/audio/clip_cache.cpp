#include "audio/clip_cache.h"

#include <algorithm>

namespace {
constexpr size_t keptEntries = 3;
} // namespace

ClipCache::~ClipCache() {
    for (Slot& slot : slots_)
        slot.decoded.wait();
}

ClipCache::Slot& ClipCache::slotFor(int entry) {
    ++uses_;
    for (Slot& slot : slots_)
        if (slot.entry == entry) {
            slot.lastUse = uses_;
            return slot;
        }
    if (slots_.size() >= keptEntries) {
        auto oldest =
            std::min_element(slots_.begin(), slots_.end(),
                             [](const Slot& a, const Slot& b) { return a.lastUse < b.lastUse; });
        oldest->decoded.wait();
        slots_.erase(oldest);
    }
    ClipStore::Loader loader = loader_;
    auto decode = [loader, entry] {
        Decoded result;
        auto clip = std::make_shared<AudioClip>();
        if (loader && loader(entry, *clip, result.error)) result.clip = std::move(clip);
        return result;
    };
    slots_.push_back({entry, std::async(std::launch::async, decode).share(), uses_});
    return slots_.back();
}

void ClipCache::prefetch(int entry) {
    slotFor(entry);
}

std::shared_ptr<const AudioClip> ClipCache::clipFor(int entry, std::string& error) {
    const Decoded& decoded = slotFor(entry).decoded.get();
    if (!decoded.clip) error = decoded.error.empty() ? "cannot decode entry" : decoded.error;
    return decoded.clip;
}
