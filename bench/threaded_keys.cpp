// Frames on a thread of their own while the window's thread handles keys, as
// a player that renders on its decoder thread meets them while an arrow key
// auto-repeats in the plug-in's window: how many frames take 45 ms or more,
// first without keys, then with a key every 30 ms. The playlist panel is
// shown, so every frame asks the host for the playlist's length. Built
// natively (the plug-in over the Win32 subset) and by the mingw64 preset
// (run it under Wine beside zephyrdome.dll).
//
//   threaded_keys [seconds]        each half; 3 by default
#include "session/host_window.h"
#include "session/playlist.h"
#include "session/plugin_driver.h"
#include "session/plugin_location.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#ifndef _WIN32
#include <thread>
#endif

namespace {

using Clock = std::chrono::steady_clock;

constexpr double slowFrameMs = 45.0;
constexpr int keyEveryMs = 30;
// An arrow key's auto-repeat: with the scene turning by itself it changes nothing.
constexpr LPARAM repeatKeyData = 0x40000001;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

struct Renderer {
    PluginDriver* driver = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<bool> done{false};
    std::vector<double> frameMs;

    void run() {
        VisFrame frame = {};
        for (int n = 0; !stop; ++n) {
            for (int i = 0; i < visFrameSamples; ++i) {
                frame.spectrum[i] = static_cast<unsigned char>((i * 7 + n * 13) % 160);
                frame.waveform[i] = static_cast<unsigned char>((i + n * 5) % 256);
            }
            const Clock::time_point start = Clock::now();
            driver->render(frame);
            frameMs.push_back(msSince(start));
        }
        done = true;
    }
};

#ifdef _WIN32
DWORD WINAPI runRenderer(LPVOID renderer) {
    static_cast<Renderer*>(renderer)->run();
    return 0;
}
struct RenderThread {
    HANDLE thread;
    explicit RenderThread(Renderer& renderer)
        : thread(CreateThread(nullptr, 0, runRenderer, &renderer, 0, nullptr)) {}
    void join() {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
};
void pause() {
    Sleep(1);
}
#else
struct RenderThread {
    std::thread thread;
    explicit RenderThread(Renderer& renderer) : thread([&renderer] { renderer.run(); }) {}
    void join() { thread.join(); }
};
void pause() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}
#endif

void pumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The window's thread: keys posted on time and every message dispatched, as a
// player's message loop does, for `seconds`; then the render thread is ended.
std::vector<double> framesWhile(PluginDriver& driver, double seconds, bool keys) {
    Renderer renderer;
    renderer.driver = &driver;
    RenderThread thread(renderer);
    const Clock::time_point start = Clock::now();
    double nextKeyMs = 0;
    while (msSince(start) < seconds * 1000.0) {
        if (keys && msSince(start) >= nextKeyMs) {
            PostMessageA(driver.renderWindow(), WM_KEYDOWN, VK_LEFT, repeatKeyData);
            nextKeyMs += keyEveryMs;
        }
        pumpMessages();
        pause();
    }
    renderer.stop = true;
    while (!renderer.done) {
        pumpMessages();
        pause();
    }
    thread.join();
    if (keys) PostMessageA(driver.renderWindow(), WM_KEYUP, VK_LEFT, 0xC0000001);
    pumpMessages();
    return renderer.frameMs;
}

void report(const char* what, std::vector<double> frames) {
    const long slow =
        std::count_if(frames.begin(), frames.end(), [](double ms) { return ms >= slowFrameMs; });
    std::sort(frames.begin(), frames.end());
    const double median = frames.empty() ? 0.0 : frames[frames.size() / 2];
    const double worst = frames.empty() ? 0.0 : frames.back();
    std::printf("%-22s %5zu frames, %4ld of 45 ms or more, median %.1f ms, max %.1f ms\n", what,
                frames.size(), slow, median, worst);
}

Playlist benchPlaylist() {
    std::vector<PlaylistEntry> entries;
    for (int i = 0; i < 12; ++i) {
        PlaylistEntry entry;
        entry.pluginPath = "C:\\Music\\track " + std::to_string(i + 1) + ".mp3";
        entries.push_back(entry);
    }
    return Playlist(entries);
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 3.0;
    if (seconds <= 0) {
        std::fprintf(stderr, "usage: threaded_keys [seconds]\n");
        return 2;
    }
    Playlist playlist = benchPlaylist();
    HostWindow host;
    PluginDriver driver;
    std::string error;
    if (!host.create(playlist, error) || !driver.load(defaultPluginPath(argv[0]), error) ||
        !driver.start(host.handle(), 44100, 2, error)) {
        std::fprintf(stderr, "threaded_keys: %s\n", error.c_str());
        return 1;
    }
    pumpMessages();
    report("no keys:", framesWhile(driver, seconds, false));
    report("a key every 30 ms:", framesWhile(driver, seconds, true));
    driver.stop();
    pumpMessages();
    return 0;
}
