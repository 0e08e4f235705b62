#include "session/render_session.h"

#include "output/progress.h"
#include "session/frame_capture.h"
#include "session/input_script_player.h"

#include <string>

volatile std::sig_atomic_t renderInterrupted = 0;

namespace {
// How often a frame that drew nothing is tried again before the run gives up.
constexpr int drawTries = 20;
} // namespace

bool RenderSession::open(const std::string& pluginPath, std::string& error) {
    // llvmpipe's own choice of rasterizer threads (one a core, or the user's
    // LP_NUM_THREADS) is left alone: with frames read back late, measured on
    // two cores beside ffmpeg or the PNG writer, one a core beat one thread
    // fewer and none (bench/README.md).
    keepPicturesForLater();
    return host_.create(playlist_, error) && driver_.load(pluginPath, error);
}

long long RenderSession::frameLimit(const RenderPlan& plan) const {
    long long delay = frameDelayMs();
    long long limit = plan.durationMs > 0 ? (plan.durationMs + delay - 1) / delay : -1;
    long long sourceLimit = plan.source->frameLimit();
    if (sourceLimit >= 0 && (limit < 0 || sourceLimit < limit)) limit = sourceLimit;
    return limit;
}

long long RenderSession::expectedFrames(long long limit) const {
    long long delay = frameDelayMs();
    long long remaining = playlist_.remainingMs();
    long long expected = remaining < 0 ? limit : (remaining + delay - 1) / delay;
    return limit >= 0 && limit < expected ? limit : expected;
}

// One frame: the bytes for what is playing, onRender, the sound, the picture.
// Like a player, the host hands over the audio `latency` ms ahead of the
// playback position, since the picture shows that much later; the sound
// track is cut from the same place, so in the video they agree.
bool RenderSession::renderFrame(const RenderPlan& plan, long long index, PlayedAudio& played,
                                std::string& error) {
    int entry = playlist_.playingIndex();
    long long ms = playlist_.playingMs() + driver_.latencyMs();
    VisFrame frame;
    if (!plan.source->frameFor(index, entry, ms, frame, error)) return false;
    if (!drawFrame(plan, entry, frame)) {
        error = "the plug-in drew nothing for frame " + std::to_string(index) + " in " +
                std::to_string(drawTries) + " tries";
        return false;
    }
    if (plan.visOut && !plan.visOut->write(frame)) {
        error = "cannot write the vis recording (disk full?)";
        return false;
    }
    if (plan.clips) {
        std::string ignored;
        played.append(plan.clips->clipFor(entry, ignored), ms, frameDelayMs());
    }
    bool ok = !plan.sink || plan.sink->writeAudio(played.samples(), played.sampleRate(), error);
    played.takeSamples();
    return ok && writePictures(plan.sink, size_t(pictureLag), error);
}

// A frame is a call that presented a picture. One on a render thread that
// presents nothing (the window's thread had not yet handed the plug-in its GL
// context) is no frame: it is drawn again with the same bytes, which our
// plug-in, having changed nothing, draws as a one-thread host would see it.
bool RenderSession::drawFrame(const RenderPlan& plan, int entry, const VisFrame& frame) {
    for (int tries = 0; tries < drawTries; ++tries) {
        HWND window = driver_.renderWindow();
        waitingPictures_.frameStarting(window);
        if (plan.renderThread)
            renderThread_.render(entry, [this, &frame] { driver_.render(frame); });
        else
            driver_.render(frame);
        // A window gone meanwhile ends the run at the next frame.
        if (!window || waitingPictures_.frameDrawn(window)) return true;
    }
    return false;
}

bool RenderSession::writePictures(FrameSink* sink, size_t keep, std::string& error) {
    if (!sink) {
        waitingPictures_.clear();
        return true;
    }
    while (waitingPictures_.more(keep)) {
        FrameImage image;
        if (!waitingPictures_.collect(driver_.renderWindow(), image)) {
            error = "the plug-in's window showed no picture";
            return false;
        }
        if (!sink->writeFrame(image.rgba, image.width, image.height, error)) return false;
    }
    return true;
}

bool RenderSession::runFrames(const RenderPlan& plan, long long limit, RenderResult& result,
                              std::string& error) {
    int delay = frameDelayMs();
    HWND window = driver_.renderWindow();
    InputScriptPlayer script(plan.events);
    PlayedAudio played(plan.outputSampleRate);
    ProgressBar progress(expectedFrames(limit), plan.progress);
    bool ok = true;
    for (long long n = 0; ok && (limit < 0 || n < limit) && !playlist_.finished(); ++n) {
        script.postDue(n * delay, window);
        // A message may close the plug-in's window, taking the pictures it
        // still holds with it.
        if (messagesWaiting()) ok = writePictures(plan.sink, 0, error);
        if (!ok) break;
        // Every paint the plug-in's window gets draws the scene once more,
        // which turns it, and how many a window gets depends on its desktop
        // (Windows and Wine send one for each exposure, our platform layer
        // none after the first). A render's frames depend on its input alone:
        // those paints get default processing; the next frame repaints the
        // whole window anyway.
        dispatchPendingMessages(window);
        if (!driver_.renderWindow()) {
            result.windowClosed = true;
            break;
        }
        if (renderInterrupted) {
            error = "interrupted";
            ok = false;
        } else if ((ok = renderFrame(plan, n, played, error))) {
            playlist_.advance(delay);
            result.frames = n + 1;
            progress.update(result.frames);
        }
    }
    progress.finish();
    result.videoMs = result.frames * delay;
    result.seconds = progress.elapsedSeconds();
    return ok;
}

bool RenderSession::start(const RenderPlan& plan, std::string& error) {
    playlist_.seek(plan.startMs);
    limit_ = frameLimit(plan);
    long long frames = expectedFrames(limit_);
    if (frames == 0) {
        error = "nothing to render: the start is at or past the end of the playlist";
        return false;
    }
    if (plan.sink && !plan.sink->acceptsLength(frames < 0 ? -1 : frames * frameDelayMs(), error))
        return false;
    if (!driver_.start(host_.handle(), plan.outputSampleRate, 2, error)) return false;
    HWND window = driver_.renderWindow();
    RECT client = {};
    bool ok = window != nullptr;
    if (!ok) error = "the plug-in opened no window of its own";
    // The pictures have the client area's size.
    if (ok && plan.sink && GetClientRect(window, &client))
        ok = plan.sink->begin(client.right, client.bottom, error);
    if (!ok) {
        driver_.stop();
        dispatchPendingMessages();
    }
    started_ = ok;
    return ok;
}

bool RenderSession::run(const RenderPlan& plan, RenderResult& result, std::string& error) {
    if (!started_ && !start(plan, error)) return false;
    bool ok = runFrames(plan, limit_, result, error);
    if (ok) ok = writePictures(plan.sink, 0, error);
    waitingPictures_.clear();
    driver_.stop();
    started_ = false;
    dispatchPendingMessages();
    if (ok && plan.sink) ok = plan.sink->finish(error);
    return ok;
}
