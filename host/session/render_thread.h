// Calls the plug-in's onRender on a thread other than the caller's, a new
// one for every playlist entry, as hosts that render on their decoder thread
// do. The caller waits for each frame and meanwhile answers the messages sent
// to its windows (the plug-in's questions to the host window) without
// dispatching anything posted, so keys and clicks still arrive between frames.
// The worker thread has one implementation per thread library:
// render_thread_std.cpp (std::thread) and render_thread_win32.cpp (MinGW's
// win32 thread model has no std::thread).
//
//   RenderThread thread;
//   thread.render(entry, [&] { driver.render(frame); });
#pragma once

#include <functional>
#include <memory>

class RenderThread {
  public:
    RenderThread() = default;
    RenderThread(const RenderThread&) = delete;
    RenderThread& operator=(const RenderThread&) = delete;

    void render(int entry, std::function<void()> frame);

  private:
    // One thread, serving the frames of one playlist entry.
    struct Worker;
    struct WorkerEnd {
        void operator()(Worker* worker) const; // ends the thread
    };
    static Worker* startWorker();
    // Runs `frame` on the worker's thread and waits, answering sent messages.
    static void renderOn(Worker& worker, std::function<void()> frame);

    std::unique_ptr<Worker, WorkerEnd> worker_;
    int entry_ = -1;
};
