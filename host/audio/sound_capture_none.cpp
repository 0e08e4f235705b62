// Built without libpulse: there is never a sound server to listen to.
#include "audio/sound_capture.h"

namespace {
const char* const noPulse =
    "this zephyrdome was built without PulseAudio (libpulse), so it cannot listen";
} // namespace

std::unique_ptr<SoundCapture> openSoundCapture(const CaptureRequest&, std::string& error) {
    error = noPulse;
    return nullptr;
}

bool listSoundSources(const CaptureRequest&, std::vector<SoundSourceInfo>&, std::string& error) {
    error = noPulse;
    return false;
}
