// A private PulseAudio server for the tests that listen to the desktop's
// sound: its own runtime folder and socket, one null sink as the default
// output, stopped at the test program's exit. PULSE_SERVER points at it, so
// pactl, paplay and the program under test all use it.
//
//   ASSERT_TRUE(startSoundServer(error)) << error;
//   runTool({"paplay", "tone.wav"});   // into the null sink, heard on its monitor
#pragma once

#include <string>

bool startSoundServer(std::string& error);
