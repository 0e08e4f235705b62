// A private sound server for the tests that listen to the desktop's sound,
// PulseAudio or PipeWire (pipewire, wireplumber and pipewire-pulse, on the
// private session bus of session_bus.h): its own runtime folder and socket,
// stopped at the test program's exit. Two null sinks, zd_speakers
// ("ZdSpeakers", the default output) and zd_headphones ("ZdHeadphones").
// PULSE_SERVER points at it, so pactl, paplay, the media players and the
// program under test all use it.
//
//   ASSERT_TRUE(startSoundServer(SoundServerKind::pipewire, error)) << error;
//   runTool({"paplay", "tone.wav"});   // into the default sink, heard on its monitor
#pragma once

#include <string>
#include <vector>

enum class SoundServerKind { pulseaudio, pipewire };

// Starts the kind asked for, stopping another first, or makes the running
// one whole again: both sinks there, zd_speakers the default.
bool startSoundServer(SoundServerKind kind, std::string& error);
// PipeWire's session manager stops; the next start starts the server anew.
void stopSessionManager();
// The server's folder, readable by every user (players may run as nobody).
const std::string& soundServerFolder();

// Removes a null sink with its monitor, as unplugging a device does.
bool removeSink(const std::string& name);
// `pactl ARGS...`; its exit status.
int pactl(const std::vector<std::string>& args, std::string* output = nullptr);
