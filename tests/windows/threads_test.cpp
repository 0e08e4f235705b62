// Hosts that call onRender on a thread of their own (their decoder thread, a
// new one for every track) while onStart, onStop, keys and clicks stay on the
// main thread, on real Win32: the picture moves and equals the one-thread
// picture, a stop with a frame in flight is clean, and a main thread that
// waits for its render thread without pumping messages does not hang.
#include "check.h"
#include "dll_host.h"
#include "import_patch.h"

#include <vector>

namespace {

void feedSound(VisModule* module, int frame) {
    for (int bin = 0; bin < 576; ++bin)
        module->spectrum[0][bin] = static_cast<unsigned char>((bin * 7 + frame * 13) % 160);
    for (int sample = 0; sample < 576; ++sample)
        module->waveform[0][sample] = static_cast<unsigned char>((sample + frame * 5) % 256);
}

// The same frames and input on either kind of host; keys arrive between frames.
std::vector<Frame> scriptedFrames(bool onThread) {
    DllHost host(DllHost::Placement::Aside);
    host.dispatchPaints = false;
    std::vector<Frame> frames;
    ZD_REQUIRE(host.start() == 0);
    for (int n = 0; n < 12; ++n) {
        if (n == 3) host.press('B');
        if (n == 5) host.press(VK_UP);
        if (n == 8) host.release(VK_UP);
        if (n == 9) host.press('H');
        feedSound(host.module, n);
        ZD_CHECK_EQ(onThread ? host.frameOnThread() : host.frame(), 0);
        frames.push_back(captureClient(host.renderWindow()));
    }
    host.stop();
    return frames;
}

struct Renderer {
    VisModule* module = nullptr;
    volatile LONG frames = 0;
    volatile LONG stop = 0;
    HANDLE thread = nullptr;
};

DWORD WINAPI renderUntilStopped(LPVOID parameter) {
    auto* renderer = static_cast<Renderer*>(parameter);
    while (!renderer->stop) {
        renderer->module->onRender(renderer->module);
        InterlockedIncrement(&renderer->frames);
    }
    return 0;
}

void startRenderer(Renderer& renderer, VisModule* module) {
    renderer.module = module;
    renderer.thread = CreateThread(nullptr, 0, renderUntilStopped, &renderer, 0, nullptr);
}

// Counts frames, not time: the render thread drew `count` more while this
// thread answered what it sent.
void pumpUntilFrames(DllHost& host, Renderer& renderer, LONG count) {
    const LONG target = renderer.frames + count;
    while (renderer.frames < target) {
        host.pumpSent();
        Sleep(0);
    }
}

int WINAPI answerBox(HWND, LPCSTR, LPCSTR, UINT) {
    return IDOK;
}

} // namespace

// Only the window's own thread may destroy it: a stop from the render thread
// has the main thread do so, and the class goes with the window.
ZD_TEST(threads, AStopFromTheRenderThreadLetsTheMainThreadStartAgain) {
    DllHost host(DllHost::Placement::Aside);
    void* box =
        patchImport(host.library, "user32.dll", "MessageBoxA", reinterpret_cast<void*>(answerBox));
    ZD_REQUIRE(box != nullptr);
    ZD_REQUIRE(host.start() == 0);
    ZD_CHECK_EQ(host.frameOnThread(), 0);
    HWND window = host.renderWindow();
    host.stopOnThread();
    ZD_CHECK(!IsWindow(window));
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    ZD_CHECK(!GetClassInfoExA(host.library, "Zephyrdome X", &windowClass));
    ZD_CHECK_EQ(host.start(), 0);
    ZD_CHECK_EQ(host.frame(), 0);
    host.stop();
    patchImport(host.library, "user32.dll", "MessageBoxA", box);
}

ZD_TEST(threads, FramesFromAnotherThreadMoveAndEqualTheOneThreadFrames) {
    const std::vector<Frame> single = scriptedFrames(false);
    const std::vector<Frame> threaded = scriptedFrames(true);
    ZD_REQUIRE(single.size() == threaded.size());
    for (size_t n = 0; n < single.size(); ++n) {
        ZD_CHECK(!threaded[n].pixels.empty());
        ZD_CHECK(single[n] == threaded[n]);
    }
    ZD_CHECK(!(threaded[1] == threaded[2]));
    ZD_CHECK(litPixels(threaded.back()) > 0);
}

ZD_TEST(threads, StoppingWithFramesInFlightLeavesNoWindowBehind) {
    DllHost host(DllHost::Placement::Aside);
    for (int cycle = 0; cycle < 50; ++cycle) {
        ZD_REQUIRE(host.start() == 0);
        Renderer renderer;
        startRenderer(renderer, host.module);
        pumpUntilFrames(host, renderer, 3);
        host.stop();
        ZD_CHECK(host.renderWindow() == nullptr);
        pumpUntilFrames(host, renderer, 2);
        renderer.stop = 1;
        while (MsgWaitForMultipleObjects(1, &renderer.thread, FALSE, INFINITE, QS_SENDMESSAGE) !=
               WAIT_OBJECT_0)
            host.pumpSent();
        CloseHandle(renderer.thread);
    }
    ZD_CHECK_EQ(host.start(), 0);
    host.stop();
}

ZD_TEST(threads, AMainThreadWaitingForItsRenderThreadDoesNotHang) {
    DllHost host(DllHost::Placement::Aside);
    for (int cycle = 0; cycle < 10; ++cycle) {
        ZD_REQUIRE(host.start() == 0);
        Renderer renderer;
        startRenderer(renderer, host.module);
        pumpUntilFrames(host, renderer, 3 + cycle);
        // Like a player stopping a track: it ends the decoder thread first,
        // answering nothing the plug-in asks meanwhile.
        renderer.stop = 1;
        ZD_CHECK_EQ(WaitForSingleObject(renderer.thread, 60000), static_cast<DWORD>(WAIT_OBJECT_0));
        CloseHandle(renderer.thread);
        host.stop();
    }
}
