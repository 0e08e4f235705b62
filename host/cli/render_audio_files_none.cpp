// The Windows host neither decodes nor analyses audio: it plays the built-in
// demo's playlist with the bytes of a recording (--vis-in).
#include "cli/render_material.h"

bool prepareAudioFiles(const std::vector<std::string>& files, Playlist&, ClipStore::Loader&, int&,
                       std::string& error) {
    error = "cannot play " + files.front() +
            ": the Windows host decodes no audio; replay a recording with --vis-in FILE";
    return false;
}

std::unique_ptr<VisSource> analyzedVisSource(RenderMaterial&, std::string& error) {
    error = "the Windows host analyses no audio: give a recording with --vis-in FILE "
            "(zephyrdome render --vis-out FILE makes one on Linux)";
    return nullptr;
}
