#include "endurance_run.h"

#include "process_usage.h"

#include <platform_hooks.h>

#include <GL/gl.h>

namespace {

const CycleKind specialKinds[] = {CycleKind::closeBox,        CycleKind::stopTwice,
                                  CycleKind::renderAfterStop, CycleKind::neverPumped,
                                  CycleKind::paletteDisplay,  CycleKind::failedStart};

const PlatformFailure startFailures[] = {
    PlatformFailure::RegisterClass, PlatformFailure::CreateWindow,
    PlatformFailure::ChoosePixelFormat, PlatformFailure::SetPixelFormat};

// The keys the plug-in reads, and two it ignores.
const WPARAM keys[] = {VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, 'A', 'B',     'C',
                       'D',     'H',   VK_F2,    VK_F3,   'X', VK_SPACE};

constexpr int playlistChangeEvery = 250;

} // namespace

CycleKind cycleKindOf(int index) {
    const int slot = index % 7;
    return slot == 0 ? CycleKind::plain : specialKinds[slot - 1];
}

bool cycleRendersFrames(CycleKind kind) {
    return kind != CycleKind::failedStart;
}

EnduranceRun::EnduranceRun(const std::string& pluginPath, unsigned seed)
    : pluginPath_(pluginPath), random_(seed) {
    host_.playlist = {"C:\\Music\\first.mp3", "C:\\Music\\second.mp3", std::nullopt};
}

bool EnduranceRun::load(std::string& error) {
    return driver_.load(pluginPath_, error);
}

void EnduranceRun::fault(int index, const std::string& what) {
    // A run that goes wrong every cycle reports the first few.
    if (faults_.size() < 20) faults_.push_back("cycle " + std::to_string(index) + ": " + what);
}

bool EnduranceRun::start(int index) {
    std::string error;
    if (!driver_.start(host_.window(), 44100, 2, error)) {
        fault(index, "onStart failed: " + error);
        return false;
    }
    if (!driver_.renderWindow()) fault(index, "onStart opened no window");
    checkTextures(index, "after onStart");
    return true;
}

// The font is loaded twice at every start; frames must add no texture.
void EnduranceRun::checkTextures(int index, const char* when) {
    if (!wglGetCurrentContext()) return;
    const int live = liveTextureCount();
    if (texturesPerRun_ < 0) texturesPerRun_ = live;
    if (live != texturesPerRun_)
        fault(index, std::to_string(live) + " textures " + when + ", " +
                         std::to_string(texturesPerRun_) + " in the first run");
}

void EnduranceRun::renderRandomFrame() {
    std::uniform_int_distribution<int> byte(0, 255);
    for (unsigned char& value : frame_.spectrum)
        value = static_cast<unsigned char>(byte(random_));
    for (unsigned char& value : frame_.waveform)
        value = static_cast<unsigned char>(byte(random_));
    if (driver_.render(frame_) != 0) fault(cyclesRun_ - 1, "onRender returned non-zero");
    ++framesRendered_;
    if (framesRendered_ % playlistChangeEvery == 0) changePlaylist();
    // The recording host keeps every message; a long run needs none of them.
    host_.messages.clear();
}

// Keys go down and now and then up again; clicks land anywhere in the client
// area, the scroll zones included.
void EnduranceRun::postRandomInput(HWND window) {
    std::uniform_int_distribution<int> percent(0, 99);
    if (percent(random_) < 30) {
        const WPARAM key = keys[std::uniform_int_distribution<int>(0, 12)(random_)];
        PostMessageA(window, WM_KEYDOWN, key, 1);
        if (percent(random_) < 60) PostMessageA(window, WM_KEYUP, key, 0xC0000001);
    }
    if (percent(random_) < 15) {
        const int x = std::uniform_int_distribution<int>(0, 639)(random_);
        const int y = std::uniform_int_distribution<int>(0, 479)(random_);
        PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
}

// A playlist of up to 60 entries, some without a path, and a position that may
// lie just outside it.
void EnduranceRun::changePlaylist() {
    const int length = std::uniform_int_distribution<int>(0, 60)(random_);
    host_.playlist.clear();
    for (int i = 0; i < length; ++i) {
        if (std::uniform_int_distribution<int>(0, 9)(random_) == 0)
            host_.playlist.push_back(std::nullopt);
        else
            host_.playlist.push_back("C:\\Music\\Album " + std::to_string(i % 7) + "\\track " +
                                     std::to_string(i) + ".mp3");
    }
    host_.position = std::uniform_int_distribution<int>(-1, length + 1)(random_);
}

void EnduranceRun::runFrames(long long count, HWND window, bool pump) {
    for (long long i = 0; i < count; ++i) {
        if (window) postRandomInput(window);
        if (pump) host_.pumpMessages();
        renderRandomFrame();
    }
}

// Each refusal must end in an error box and onStart returning 1, nothing else.
void EnduranceRun::runFailedStart(int index) {
    const PlatformFailure failure = startFailures[(index / 7) % 4];
    platformSetFailure(failure, true);
    std::string error;
    if (driver_.start(host_.window(), 44100, 2, error)) {
        fault(index, "onStart succeeded although the platform refused a step");
        driver_.stop();
    }
    platformSetFailure(failure, false);
    if (platformMessageBoxes().empty()) fault(index, "a failed start showed no message box");
    platformClearMessageBoxes();
    host_.pumpMessages();
    host_.messages.clear();
}

void EnduranceRun::runCycle(int index, long long frames) {
    const CycleKind kind = cycleKindOf(index);
    ++cyclesRun_;
    if (kind == CycleKind::failedStart) return runFailedStart(index);
    platformOfferPaletteFormat(kind == CycleKind::paletteDisplay);
    const bool started = start(index);
    platformOfferPaletteFormat(false);
    if (!started) return;
    const bool pump = kind != CycleKind::neverPumped;
    HWND window = driver_.renderWindow();
    if (kind == CycleKind::closeBox) {
        runFrames(frames / 2, window, pump);
        SendMessageA(window, WM_CLOSE, 0, 0);
        if (IsWindow(window)) fault(index, "the close box left the window open");
        runFrames(frames - frames / 2, nullptr, pump);
    } else {
        const long long afterStop = kind == CycleKind::renderAfterStop ? frames / 4 : 0;
        runFrames(frames - afterStop, window, pump);
        checkTextures(index, "before onStop");
        driver_.stop();
        runFrames(afterStop, nullptr, pump);
    }
    driver_.stop();
    if (kind == CycleKind::stopTwice) driver_.module()->onStop(driver_.module());
    host_.pumpMessages();
    host_.messages.clear();
}
