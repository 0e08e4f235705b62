#include "output/writer_thread_sink.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include <sys/resource.h>

namespace {
// The encoder has started and taken frames by the time this many have been
// written (the pipes hold about four): only then do the writer and the
// encoder step down, so the encoder starts at full speed, alongside the
// host's own start.
constexpr long long framesAtFullPriority = 8;

// One frame's picture, the sound that goes before the next one, or the size
// of the frames to come.
struct Job {
    enum Kind { picture, audio, size } kind = picture;
    std::vector<unsigned char> pixels;
    std::vector<std::int16_t> sound;
    int width = 0, height = 0, soundRate = 0;
};

class WriterThreadSink : public FrameSink {
  public:
    WriterThreadSink(std::unique_ptr<FrameSink> sink, int queuedFrames, int niceness)
        : sink_(std::move(sink)), queuedFrames_(queuedFrames), niceness_(niceness),
          writer_([this] { writeJobs(); }) {}
    ~WriterThreadSink() override { stop(true); }

    bool writeAudio(const std::vector<std::int16_t>& stereo, int rate,
                    std::string& error) override {
        if (stereo.empty()) return failed(error);
        Job job;
        job.kind = Job::audio;
        job.sound = stereo;
        job.soundRate = rate;
        return push(std::move(job), error);
    }

    bool begin(int width, int height, std::string& error) override {
        Job job;
        job.kind = Job::size;
        job.width = width;
        job.height = height;
        return push(std::move(job), error);
    }

    bool writeFrame(const unsigned char* rgba, int width, int height, std::string& error) override {
        Job job;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            room_.wait(lock, [this] { return framesQueued_ < queuedFrames_ || !error_.empty(); });
            if (!spare_.empty()) {
                job.pixels = std::move(spare_.back());
                spare_.pop_back();
            }
        }
        job.pixels.resize(size_t(width) * size_t(height) * 4);
        std::memcpy(job.pixels.data(), rgba, job.pixels.size());
        job.width = width;
        job.height = height;
        return push(std::move(job), error);
    }

    bool finish(std::string& error) override {
        stop(false);
        if (!error_.empty()) {
            error = error_;
            return false;
        }
        return sink_->finish(error);
    }

    void abandon() override {
        stop(true);
        sink_->abandon();
    }

    std::string describe() const override { return sink_->describe(); }

    // The sink's answer depends on how it was opened alone, so it is asked here.
    bool acceptsLength(long long ms, std::string& error) override {
        return sink_->acceptsLength(ms, error);
    }

  private:
    bool failed(std::string& error) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (error_.empty()) return true;
        error = error_;
        return false;
    }

    bool push(Job job, std::string& error) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!error_.empty()) {
            error = error_;
            return false;
        }
        if (job.kind == Job::picture) ++framesQueued_;
        jobs_.push_back(std::move(job));
        work_.notify_one();
        return true;
    }

    // Finishes what is queued (or drops it, when abandoning) and ends the thread.
    void stop(bool dropQueued) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (dropQueued) jobs_.clear();
            stopping_ = true;
            work_.notify_one();
        }
        if (writer_.joinable()) writer_.join();
    }

    // Best effort: on Linux, 0 names this thread alone.
    void stepDown() {
        setpriority(PRIO_PROCESS, 0, getpriority(PRIO_PROCESS, 0) + niceness_);
        sink_->lowerPriority(niceness_);
    }

    bool write(const Job& job, std::string& error) {
        switch (job.kind) {
        case Job::audio:
            return sink_->writeAudio(job.sound, job.soundRate, error);
        case Job::size:
            return sink_->begin(job.width, job.height, error);
        case Job::picture:
            break;
        }
        if (!sink_->writeFrame(job.pixels.data(), job.width, job.height, error)) return false;
        if (++framesWritten_ == framesAtFullPriority && niceness_ > 0) stepDown();
        return true;
    }

    void writeJobs() {
        std::unique_lock<std::mutex> lock(mutex_);
        for (;;) {
            work_.wait(lock, [this] { return !jobs_.empty() || stopping_; });
            if (jobs_.empty()) return;
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            std::string error;
            bool ok = write(job, error);
            lock.lock();
            if (job.kind == Job::picture) {
                --framesQueued_;
                spare_.push_back(std::move(job.pixels));
            }
            if (!ok && error_.empty()) {
                error_ = error;
                jobs_.clear();
            }
            room_.notify_one();
        }
    }

    std::unique_ptr<FrameSink> sink_;
    const int queuedFrames_;
    const int niceness_;
    std::mutex mutex_;
    std::condition_variable work_, room_;
    std::deque<Job> jobs_;
    std::vector<std::vector<unsigned char>> spare_; // pixel buffers to reuse
    int framesQueued_ = 0;
    long long framesWritten_ = 0; // by the writer thread alone
    bool stopping_ = false;
    std::string error_;  // the writer's first failure
    std::thread writer_; // last: starts once everything above exists
};
} // namespace

std::unique_ptr<FrameSink> onWriterThread(std::unique_ptr<FrameSink> sink, int queuedFrames,
                                          int niceness) {
    return std::make_unique<WriterThreadSink>(std::move(sink), queuedFrames, niceness);
}
