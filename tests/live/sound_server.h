// A private sound server for the tests that listen to the desktop's sound,
// PulseAudio or PipeWire (pipewire, wireplumber and pipewire-pulse), on a
// private session bus (dbus-daemon, open to every user: players may run as
// nobody): their own folder and sockets, stopped at the test program's exit.
// DBUS_SESSION_BUS_ADDRESS points at the bus, so the session manager, the
// media players and the program under test meet there and nowhere else. Two null sinks, zd_speakers
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

// Unloads the module loaded with this argument ("sink_name=zd_speakers":
// the sink and its monitor go, as when a device is unplugged).
bool unloadModule(const std::string& argument);
// `pactl ARGS...`; its exit status.
int pactl(const std::vector<std::string>& args, std::string* output = nullptr);
