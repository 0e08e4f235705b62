// Audio files for a render on Linux: probed and decoded with libsndfile,
// their bytes analysed with FFTW.
#include "cli/render_material.h"

#include "audio/audio_decode.h"

bool prepareAudioFiles(const std::vector<std::string>& files, Playlist& playlist,
                       ClipStore::Loader& loader, int& sampleRate, std::string& error) {
    std::vector<PlaylistEntry> entries;
    for (const std::string& path : files) {
        AudioFileInfo info;
        if (!probeAudioFile(path, info, error)) return false;
        if (entries.empty()) sampleRate = info.sampleRate;
        entries.push_back({path, pluginPathFor(path), info.durationMs});
    }
    playlist = Playlist(entries);
    loader = [files](int entry, AudioClip& clip, std::string& error) {
        return decodeAudioFile(files[entry], clip, error);
    };
    return true;
}

std::unique_ptr<VisSource> analyzedVisSource(RenderMaterial& material, std::string&) {
    return std::make_unique<AnalyzedVisSource>(*material.clips);
}
