#include "session/plugin_driver.h"

#include <cstring>

static_assert(visFrameSamples == visSampleCount, "a frame fills one row of the module's arrays");

PluginDriver::~PluginDriver() {
    unload();
}

bool PluginDriver::load(const std::string& path, std::string& error) {
    library_ = LoadLibraryA(path.c_str());
    if (!library_) {
        error = "cannot load plug-in " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    // Through void* as every host does: FARPROC is a generic function pointer.
    auto getHeader = reinterpret_cast<VisHeaderGetter>(
        reinterpret_cast<void*>(GetProcAddress(library_, "winampVisGetHeader")));
    VisHeader* header = getHeader ? getHeader() : nullptr;
    if (!header || !header->moduleGetter) {
        error = path + " is not a visualisation plug-in (no winampVisGetHeader)";
        unload();
        return false;
    }
    module_ = header->moduleGetter(0);
    if (!module_ || !module_->onStart || !module_->onRender || !module_->onStop) {
        error = path + " offers no usable visualisation module";
        unload();
        return false;
    }
    return true;
}

bool PluginDriver::start(HWND hostWindow, int sampleRate, int channelCount, std::string& error) {
    module_->hostWindow = hostWindow;
    module_->instance = reinterpret_cast<HINSTANCE>(library_);
    module_->sampleRate = sampleRate;
    module_->channelCount = channelCount;
    watchForOwnedWindows(hostWindow);
    if (module_->onStart(module_) != 0) {
        error = "the plug-in failed to start (see its message above)";
        return false;
    }
    started_ = true;
    renderWindow_ = findOwnedWindow(hostWindow);
    stopWatchingWindows();
    return true;
}

int PluginDriver::render(const VisFrame& frame) {
    std::memcpy(module_->spectrum[0], frame.spectrum, visFrameSamples);
    std::memcpy(module_->waveform[0], frame.waveform, visFrameSamples);
    return module_->onRender(module_);
}

void PluginDriver::stop() {
    if (!started_) return;
    started_ = false;
    module_->onStop(module_);
    renderWindow_ = nullptr;
}

void PluginDriver::unload() {
    stop();
    module_ = nullptr;
    if (library_) FreeLibrary(library_);
    library_ = nullptr;
}

HWND PluginDriver::renderWindow() const {
    return renderWindow_ && IsWindow(renderWindow_) ? renderWindow_ : nullptr;
}

int PluginDriver::frameDelayMs() const {
    // A module asking for no delay still gets frames at a watchable pace.
    return module_ && module_->frameDelay > 0 ? module_->frameDelay : 25;
}
