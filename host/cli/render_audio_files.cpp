// Audio files for a render on Linux: probed and decoded with libsndfile,
// their bytes analysed with FFTW.
#include "cli/render_material.h"

#include "audio/audio_decode.h"

bool prepareAudioFiles(RenderMaterial& material, const std::vector<std::string>& files,
                       std::string& error) {
    std::vector<PlaylistEntry> entries;
    for (const std::string& path : files) {
        AudioFileInfo info;
        if (!probeAudioFile(path, info, error)) return false;
        if (entries.empty()) material.sampleRate = info.sampleRate;
        entries.push_back({path, pluginPathFor(path), info.durationMs});
    }
    material.playlist = Playlist(entries);
    material.clips =
        std::make_unique<ClipStore>([files](int entry, AudioClip& clip, std::string& error) {
            return decodeAudioFile(files[entry], clip, error);
        });
    return true;
}

std::unique_ptr<VisSource> analyzedVisSource(RenderMaterial& material, std::string&) {
    return std::make_unique<AnalyzedVisSource>(*material.clips);
}
