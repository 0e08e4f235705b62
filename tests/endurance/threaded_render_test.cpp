// Hosts that call onRender on a thread of their own (their decoder thread)
// while onStart, onStop, keys and clicks stay on the main thread, with the
// real plug-in library: stopping while a frame is in flight, and a main
// thread that waits for its render thread without looking at its messages.
#include "session/plugin_driver.h"
#include "test_host.h"

#include <platform_hooks.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

class RenderingThread {
  public:
    explicit RenderingThread(PluginDriver& driver)
        : thread_([this, &driver] {
              VisFrame frame = {};
              while (!stop_) {
                  frame.spectrum[frames_ % visFrameSamples] = 200;
                  driver.render(frame);
                  ++frames_;
              }
          }) {}
    ~RenderingThread() { join(); }

    long frames() const { return frames_; }
    void join() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::atomic<long> frames_{0};
    std::thread thread_;
};

// Counts frames, not time: the render thread has drawn `count` more while
// the main thread answered what it sent.
void pumpUntilFrames(TestHost& host, const RenderingThread& renderer, long count) {
    const long target = renderer.frames() + count;
    while (renderer.frames() < target) {
        host.pumpMessages();
        std::this_thread::yield();
    }
}

// A deadlock would hang the test; this names it instead. A cycle takes well
// under a second, so a minute without one is no slow machine.
class Watchdog {
  public:
    explicit Watchdog(const char* what)
        : thread_([this, what] {
              for (int idle = 0; idle < 600 && !done_; ++idle) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
                  if (petted_.exchange(false)) idle = 0;
              }
              if (done_) return;
              std::fprintf(stderr, "deadlock: %s\n", what);
              std::_Exit(1);
          }) {}
    ~Watchdog() {
        done_ = true;
        thread_.join();
    }
    void pet() { petted_ = true; }

  private:
    std::atomic<bool> done_{false};
    std::atomic<bool> petted_{false};
    std::thread thread_;
};

class ThreadedRender : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(driver.load(ZD_PLUGIN_PATH, error)) << error;
        host.playlist = {"C:\\Music\\one.mp3", "C:\\Music\\two.mp3"};
    }

    void start() {
        std::string error;
        ASSERT_TRUE(driver.start(host.window(), 44100, 2, error)) << error;
        ASSERT_NE(driver.renderWindow(), nullptr);
    }

    TestHost host;
    PluginDriver driver;
};

TEST_F(ThreadedRender, stopping_while_frames_are_in_flight_leaves_nothing_behind) {
    Watchdog watchdog("stopping while a frame was in flight");
    const int windowsBefore = platformLiveWindowCount();
    for (int cycle = 0; cycle < 50; ++cycle) {
        start();
        RenderingThread renderer(driver);
        pumpUntilFrames(host, renderer, 3);
        driver.stop();
        // Frames after the stop find no window and draw nothing.
        pumpUntilFrames(host, renderer, 2);
        renderer.join();
        host.pumpMessages();
        host.messages.clear();
        watchdog.pet();
    }
    EXPECT_EQ(platformLiveWindowCount(), windowsBefore);
    EXPECT_EQ(platformLiveContextCount(), 0);
    EXPECT_EQ(platformLiveDCCount(), 0);
}

TEST_F(ThreadedRender, a_main_thread_that_waits_for_its_render_thread_does_not_deadlock) {
    Watchdog watchdog("the main thread waited for its render thread");
    for (int cycle = 0; cycle < 10; ++cycle) {
        start();
        RenderingThread renderer(driver);
        pumpUntilFrames(host, renderer, 3 + cycle);
        // Like a player stopping a track: it ends the decoder thread first,
        // answering nothing the plug-in asks meanwhile.
        renderer.join();
        driver.stop();
        host.pumpMessages();
        watchdog.pet();
    }
    EXPECT_EQ(platformLiveContextCount(), 0);
}

TEST_F(ThreadedRender, frames_from_the_render_thread_reach_the_window_and_keys_still_work) {
    start();
    HWND window = driver.renderWindow();
    const int before = platformPresentCount(window);
    RenderingThread renderer(driver);
    pumpUntilFrames(host, renderer, 5);
    EXPECT_GE(platformPresentCount(window), before + 5) << "every frame is presented";
    PostMessageA(window, WM_KEYUP, 'H', 0xC0230001);
    pumpUntilFrames(host, renderer, 2);
    renderer.join();
    EXPECT_EQ(host.countOf(WM_KEYUP), 1) << "the key release reached the plug-in and came back";
    driver.stop();
    host.pumpMessages();
}

} // namespace
