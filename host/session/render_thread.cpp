#include "session/render_thread.h"

#include <windows.h>

#include <chrono>

RenderThread::~RenderThread() {
    end();
}

void RenderThread::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return quit_ || job_; });
        if (!job_) return;
        lock.unlock();
        job_();
        lock.lock();
        job_ = nullptr;
        wake_.notify_all();
    }
}

void RenderThread::end() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake_.notify_all();
    thread_.join();
    quit_ = false;
}

void RenderThread::render(int entry, std::function<void()> frame) {
    if (entry != entry_ || !thread_.joinable()) {
        end();
        entry_ = entry;
        thread_ = std::thread([this] { run(); });
    }
    std::unique_lock<std::mutex> lock(mutex_);
    job_ = std::move(frame);
    wake_.notify_all();
    // A peek that removes nothing still answers what other threads sent us.
    while (job_) {
        lock.unlock();
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
        lock.lock();
        wake_.wait_for(lock, std::chrono::milliseconds(1), [this] { return !job_; });
    }
}
