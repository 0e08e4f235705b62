// Calls the plug-in's onRender on a thread other than the caller's, a new
// one for every playlist entry, as hosts that render on their decoder thread
// do. The caller waits for each frame and meanwhile answers the messages sent
// to its windows (the plug-in's questions to the host window) without
// dispatching anything posted, so keys and clicks still arrive between frames.
//
//   RenderThread thread;
//   thread.render(entry, [&] { driver.render(frame); });
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class RenderThread {
  public:
    RenderThread() = default;
    ~RenderThread();
    RenderThread(const RenderThread&) = delete;
    RenderThread& operator=(const RenderThread&) = delete;

    void render(int entry, std::function<void()> frame);

  private:
    void run();
    void end();

    std::thread thread_;
    int entry_ = -1;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::function<void()> job_;
    bool quit_ = false;
};
