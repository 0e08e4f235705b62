// Built without SDL2: there is never a sound card, and play is silent.
#include "audio/audio_output.h"

std::unique_ptr<AudioOutput> openSoundCard(int, std::string& error) {
    error = "this zephyrdome was built without SDL2";
    return nullptr;
}
