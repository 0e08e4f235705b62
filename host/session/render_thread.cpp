#include "session/render_thread.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

// One thread, serving the frames of one playlist entry.
struct RenderThread::Worker {
    std::thread thread;
    std::mutex mutex;
    std::condition_variable wake;
    std::function<void()> job;
    bool quit = false;

    Worker() : thread([this] { run(); }) {}

    ~Worker() {
        {
            std::lock_guard<std::mutex> lock(mutex);
            quit = true;
        }
        wake.notify_all();
        thread.join();
    }

    void run() {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return quit || job; });
            if (!job) return;
            lock.unlock();
            job();
            lock.lock();
            job = nullptr;
            wake.notify_all();
        }
    }

    void render(std::function<void()> frame) {
        std::unique_lock<std::mutex> lock(mutex);
        job = std::move(frame);
        wake.notify_all();
        // A peek that removes nothing still answers what other threads sent us.
        while (job) {
            lock.unlock();
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
            lock.lock();
            wake.wait_for(lock, std::chrono::milliseconds(1), [this] { return !job; });
        }
    }
};

RenderThread::RenderThread() = default;

RenderThread::~RenderThread() = default;

void RenderThread::render(int entry, std::function<void()> frame) {
    if (entry != entry_ || !worker_) {
        worker_.reset();
        entry_ = entry;
        worker_ = std::make_unique<Worker>();
    }
    worker_->render(std::move(frame));
}
