// Which thread renders: a new one whenever the playlist entry changes.
#include "session/render_thread.h"

void RenderThread::render(int entry, std::function<void()> frame) {
    if (entry != entry_ || !worker_) {
        worker_.reset();
        entry_ = entry;
        worker_.reset(startWorker());
    }
    renderOn(*worker_, std::move(frame));
}
