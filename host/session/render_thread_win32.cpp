#include "session/render_thread.h"

#include <windows.h>

// One thread, serving the frames of one playlist entry: it waits on `wake`,
// runs the job and signals `done`; a null job ends it.
struct RenderThread::Worker {
    HANDLE wake = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE thread = nullptr;
    std::function<void()> job;

    Worker() {
        if (wake && done) thread = CreateThread(nullptr, 0, run, this, 0, nullptr);
    }

    ~Worker() {
        if (thread) {
            job = nullptr;
            SetEvent(wake);
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
        if (wake) CloseHandle(wake);
        if (done) CloseHandle(done);
    }

    static DWORD WINAPI run(LPVOID parameter) {
        auto* self = static_cast<Worker*>(parameter);
        for (;;) {
            WaitForSingleObject(self->wake, INFINITE);
            if (!self->job) return 0;
            self->job();
            SetEvent(self->done);
        }
    }

    void render(std::function<void()> frame) {
        // Without a thread the frame is still drawn, on this one.
        if (!thread) {
            frame();
            return;
        }
        job = std::move(frame);
        SetEvent(wake);
        // Only sent messages wake the wait: what is posted stays queued.
        while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, QS_SENDMESSAGE) !=
               WAIT_OBJECT_0) {
            MSG message;
            PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
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
