// Built without libpulse: there is never a sound server to listen to.
#include "audio/sound_capture.h"

const char* const defaultMonitorSource = "@DEFAULT_MONITOR@";

std::unique_ptr<SoundCapture> openSoundCapture(const std::string&, std::string& error) {
    error = "this zephyrdome was built without PulseAudio (libpulse), so it cannot listen";
    return nullptr;
}
