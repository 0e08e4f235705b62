// Hosts that call onRender on a thread of their own (their decoder thread)
// while onStart, onStop, keys and clicks stay on the main thread, with the
// real plug-in library: stopping while a frame is in flight, and a main
// thread that waits for its render thread without looking at its messages.
#include "session/frame_capture.h"
#include "session/plugin_driver.h"
#include "session/render_thread.h"
#include "test_host.h"

#include <platform_hooks.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iterator>
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
              done_ = true;
          }) {}
    ~RenderingThread() { join(); }

    long frames() const { return frames_; }
    void join() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
    }
    // For a frame that may be waiting for the host's answer.
    void joinAnswering(TestHost& host) {
        stop_ = true;
        while (!done_) {
            host.pumpMessages();
            std::this_thread::yield();
        }
        join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
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
    void TearDown() override { platformSendTimeoutsWait(false); }

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
    // Each key is posted while this thread answers a frame's last question,
    // so it is handled while the other thread draws: what ThreadSanitizer
    // checks the plug-in's lock against.
    const WPARAM keys[] = {'B', 'D', VK_LEFT, 'C', VK_UP, 'D', 'A'};
    size_t posted = 0;
    host.whileAnswering = [&](LPARAM query) {
        if (query == hostGetPlaylistLength && posted < std::size(keys))
            PostMessageA(window, WM_KEYDOWN, keys[posted++], 1);
    };
    pumpUntilFrames(host, renderer, 10);
    host.whileAnswering = nullptr;
    EXPECT_EQ(posted, std::size(keys));
    PostMessageA(window, WM_KEYUP, VK_UP, 0xC0480001);
    pumpUntilFrames(host, renderer, 2);
    renderer.join();
    EXPECT_EQ(host.countOf(WM_KEYUP), 1) << "the key release reached the plug-in and came back";
    driver.stop();
    host.pumpMessages();
}

// The host window's thread is the render window's: a key it sends while it
// answers the length question needs the plug-in's lock, so a frame that asked
// while holding it would wait for ever here (timeouts are off, so no answer
// is lost to a loaded machine either). Every answer is a new length, and each
// one that reached the frame made it fetch every title.
TEST_F(ThreadedRender, a_key_sent_while_the_host_answers_the_length_holds_up_no_frame) {
    Watchdog watchdog("a frame asked the host while holding the plug-in's lock");
    platformSendTimeoutsWait(true);
    start();
    HWND window = driver.renderWindow();
    std::vector<size_t> lengths;
    host.whileAnswering = [&](LPARAM query) {
        if (query != hostGetPlaylistLength) return;
        SendMessageA(window, WM_KEYDOWN, 'B', 1);
        host.playlist.push_back("C:\\Music\\more.mp3");
        lengths.push_back(host.playlist.size());
    };
    host.messages.clear();
    RenderingThread renderer(driver);
    pumpUntilFrames(host, renderer, 10);
    renderer.joinAnswering(host);
    host.whileAnswering = nullptr;
    size_t fetched = 0;
    for (size_t length : lengths)
        fetched += length;
    EXPECT_GE(lengths.size(), 10u);
    EXPECT_EQ(host.countOf(WM_USER, hostGetPlaylistFile), static_cast<int>(fetched));
    driver.stop();
    host.pumpMessages();
}

// Only the window's thread may destroy the window. When it does not answer a
// stop from another thread in time, the stop waits in its queue: the window
// and the class go when it next looks there, and a start works again.
TEST_F(ThreadedRender, a_stop_the_window_thread_cannot_answer_yet_ends_when_it_looks) {
    const int classes = platformRegisteredClassCount();
    start();
    HWND window = driver.renderWindow();
    std::thread([this] { driver.stop(); }).join();
    EXPECT_TRUE(IsWindow(window));
    host.pumpMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(platformRegisteredClassCount(), classes);
    EXPECT_EQ(host.quitCount, 1);
    start();
    driver.stop();
    host.pumpMessages();
}

// A frame from another thread before the window's thread has handed over the
// GL context draws nothing; a host that counts presentations collects no
// picture for it, instead of the one the window showed before.
TEST_F(ThreadedRender, frames_the_window_thread_does_not_hand_the_context_to_give_no_picture) {
    start();
    HWND window = driver.renderWindow();
    WaitingPictures pictures;
    VisFrame frame = {};
    for (int n = 0; n < 3; ++n) {
        pictures.frameStarting(window);
        std::thread([&] { driver.render(frame); }).join();
        EXPECT_FALSE(pictures.frameDrawn(window)) << "frame " << n;
    }
    EXPECT_FALSE(pictures.more(0));
    // Answered while it waits, as the render command's main thread does.
    platformSendTimeoutsWait(true);
    pictures.frameStarting(window);
    RenderThread thread;
    thread.render(0, [&] { driver.render(frame); });
    EXPECT_TRUE(pictures.frameDrawn(window));
    EXPECT_TRUE(pictures.more(0));
    driver.stop();
    host.pumpMessages();
}

} // namespace
