// The render thread over std::thread and its condition variable.
#include "session/render_thread.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

struct RenderThread::Worker {
    std::mutex mutex;
    std::condition_variable wake;
    std::function<void()> job;
    bool quit = false;
    std::thread thread;

    // The thread starts once every member it uses exists.
    Worker() { thread = std::thread([this] { run(); }); }

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
};

RenderThread::Worker* RenderThread::startWorker() {
    return new Worker;
}

void RenderThread::WorkerEnd::operator()(Worker* worker) const {
    delete worker;
}

void RenderThread::renderOn(Worker& worker, std::function<void()> frame) {
    std::unique_lock<std::mutex> lock(worker.mutex);
    worker.job = std::move(frame);
    worker.wake.notify_all();
    // A peek that removes nothing still answers what other threads sent us.
    while (worker.job) {
        lock.unlock();
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        lock.lock();
        worker.wake.wait_for(lock, std::chrono::milliseconds(1), [&worker] { return !worker.job; });
    }
}
