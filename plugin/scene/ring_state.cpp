#include "scene/scene.h"

#include <algorithm>
#include <iterator>

int bandRingHighlight = 0;
float loudnessHistory[ringHistoryLength + 1] = {};

void resetRingState() {
    bandRingHighlight = 0;
    std::fill(std::begin(loudnessHistory), std::end(loudnessHistory), 0.0f);
}
