#include "render_session.h"

#include "frame_capture.h"
#include "input_script_player.h"
#include "progress.h"

volatile std::sig_atomic_t renderInterrupted = 0;

bool RenderSession::open(const std::string& pluginPath, std::string& error) {
    return host_.create(playlist_, error) && driver_.load(pluginPath, error);
}

long long RenderSession::frameLimit(const RenderPlan& plan) const {
    long long delay = frameDelayMs();
    long long limit = plan.durationMs > 0 ? (plan.durationMs + delay - 1) / delay : -1;
    long long sourceLimit = plan.source->frameLimit();
    if (sourceLimit >= 0 && (limit < 0 || sourceLimit < limit)) limit = sourceLimit;
    return limit;
}

// One frame: the bytes for what is playing, onRender, the picture, the sound.
bool RenderSession::renderFrame(const RenderPlan& plan, long long index, PlayedAudio& played,
                                std::string& error) {
    int entry = playlist_.playingIndex();
    long long ms = playlist_.playingMs() + driver_.latencyMs();
    VisFrame frame;
    if (!plan.source->frameFor(index, entry, ms, frame, error)) return false;
    driver_.render(frame);
    FrameImage image;
    if (plan.sink && !captureWindow(driver_.renderWindow(), image)) {
        error = "the plug-in's window showed no picture";
        return false;
    }
    if (plan.sink && !plan.sink->writeFrame(image.rgba, image.width, image.height, error))
        return false;
    if (plan.visOut && !plan.visOut->write(frame)) {
        error = "cannot write the vis recording (disk full?)";
        return false;
    }
    std::string ignored;
    played.append(plan.clips ? plan.clips->clipFor(entry, ignored) : nullptr, ms,
                  frameDelayMs());
    return true;
}

bool RenderSession::run(const RenderPlan& plan, RenderResult& result, std::string& error) {
    int delay = frameDelayMs();
    playlist_.seek(plan.startMs);
    long long limit = frameLimit(plan);
    long long remaining = playlist_.remainingMs();
    long long expected = remaining < 0 ? limit : (remaining + delay - 1) / delay;
    if (limit >= 0 && limit < expected) expected = limit;
    if (expected == 0) {
        error = "nothing to render: the start is at or past the end of the playlist";
        return false;
    }
    if (!driver_.start(host_.handle(), plan.outputSampleRate, 2, error)) return false;
    HWND window = driver_.renderWindow();
    if (!window) {
        error = "the plug-in opened no window of its own";
        driver_.stop();
        return false;
    }
    InputScriptPlayer script(plan.events);
    PlayedAudio played(plan.outputSampleRate);
    ProgressBar progress(expected, plan.progress);
    bool ok = true;
    for (long long n = 0; ok && (limit < 0 || n < limit) && !playlist_.finished(); ++n) {
        script.postDue(n * delay, window);
        dispatchPendingMessages();
        if (!driver_.renderWindow()) {
            result.windowClosed = true;
            break;
        }
        if (renderInterrupted) {
            error = "interrupted";
            ok = false;
            break;
        }
        if ((ok = renderFrame(plan, n, played, error))) {
            playlist_.advance(delay);
            result.frames = n + 1;
            progress.update(result.frames);
        }
    }
    progress.finish();
    driver_.stop();
    dispatchPendingMessages();
    result.videoMs = result.frames * delay;
    result.seconds = progress.elapsedSeconds();
    if (ok && plan.sink) ok = plan.sink->finish(plan.clips ? &played : nullptr, error);
    return ok;
}
