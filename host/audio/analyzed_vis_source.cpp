#include "audio/vis_source.h"

#include <cstdint>

bool AnalyzedVisSource::frameFor(long long, int entry, long long ms, VisFrame& frame,
                                 std::string& error) {
    const AudioClip* clip = clips_.clipFor(entry, error);
    if (!clip) return false;
    std::int16_t block[visBlockSamples];
    mixToMono(*clip, ms * clip->sampleRate / 1000, visBlockSamples, block);
    analyzer_.analyze(block, frame);
    return true;
}
