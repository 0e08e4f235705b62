// The render thread over Win32: CreateThread and two events.
#include "session/render_thread.h"

#include <windows.h>

// The thread waits on `wake`, runs the job and signals `done`; a null job ends it.
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
};

RenderThread::Worker* RenderThread::startWorker() {
    return new Worker;
}

void RenderThread::WorkerEnd::operator()(Worker* worker) const {
    delete worker;
}

void RenderThread::renderOn(Worker& worker, std::function<void()> frame) {
    // Without a thread the frame is still drawn, on this one.
    if (!worker.thread) {
        frame();
        return;
    }
    worker.job = std::move(frame);
    SetEvent(worker.wake);
    // Only sent messages wake the wait: what is posted stays queued.
    while (MsgWaitForMultipleObjects(1, &worker.done, FALSE, INFINITE, QS_SENDMESSAGE) !=
           WAIT_OBJECT_0) {
        MSG message;
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
