// What a render plays: the playlist, its audio and where each frame's bytes
// come from. Audio files are decoded and analysed on Linux
// (render_audio_files.cpp); the Windows host replays recordings only
// (render_audio_files_none.cpp). `play` takes its audio files from here too.
#pragma once

#include "audio/clip_store.h"
#include "audio/demo_song.h"
#include "audio/vis_source.h"
#include "session/key_script.h"
#include "session/playlist.h"

#include <memory>
#include <string>
#include <vector>

struct RenderMaterial {
    Playlist playlist;
    std::vector<DemoTrack> demo;
    std::unique_ptr<ClipStore> clips;
    std::unique_ptr<VisSource> source;
    std::vector<InputEvent> events;
    int sampleRate = demoSampleRate;
};

// The files, probed, as a playlist, the loader of their decoded audio and the
// first one's sample rate (`play` uses it too).
bool prepareAudioFiles(const std::vector<std::string>& files, Playlist& playlist,
                       ClipStore::Loader& loader, int& sampleRate, std::string& error);

// The bytes analysed from the clips' audio; null, with the reason, without analysis.
std::unique_ptr<VisSource> analyzedVisSource(RenderMaterial& material, std::string& error);
