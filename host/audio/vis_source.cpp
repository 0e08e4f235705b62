#include "audio/vis_source.h"

bool RecordedVisSource::frameFor(long long frameIndex, int, long long, VisFrame& frame,
                                 std::string& error) {
    if (frameIndex < 0 || frameIndex >= frameLimit()) {
        error = "the vis recording has no frame " + std::to_string(frameIndex);
        return false;
    }
    frame = frames_[frameIndex];
    return true;
}
