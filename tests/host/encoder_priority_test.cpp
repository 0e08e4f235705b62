// A video's encoder yields to the renderer: the writer thread and the ffmpeg
// it starts run at a lower priority, while the thread that renders keeps its
// own.
#include "output/frame_sink.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {
struct Task {
    int parent = 0;
    int niceness = 0;
    std::string name;
};

// /proc/PID/stat (or a thread's): the name in parentheses, the parent 2
// fields on, the nice value 16 fields on.
bool readTask(const std::filesystem::path& stat, Task& task) {
    std::ifstream in(stat);
    std::string line;
    if (!std::getline(in, line)) return false;
    size_t open = line.find('('), close = line.rfind(')');
    if (open == std::string::npos || close == std::string::npos) return false;
    task.name = line.substr(open + 1, close - open - 1);
    std::istringstream rest(line.substr(close + 2));
    std::vector<std::string> fields;
    for (std::string field; rest >> field;)
        fields.push_back(field);
    if (fields.size() < 17) return false;
    task.parent = std::atoi(fields[1].c_str());
    task.niceness = std::atoi(fields[16].c_str());
    return true;
}

std::vector<Task> ourThreads() {
    std::vector<Task> tasks;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        Task task;
        if (readTask(entry.path() / "stat", task)) tasks.push_back(task);
    }
    return tasks;
}

// Our ffmpeg child, once it runs; polled, since the writer thread starts it.
bool findEncoder(Task& encoder) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        // Processes come and go while /proc is listed: errors end the listing, not the test.
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
            Task task;
            if (readTask(entry.path() / "stat", task) && task.parent == getpid() &&
                task.name == "ffmpeg") {
                encoder = task;
                return true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int mostNiceness(const std::vector<Task>& tasks) {
    int most = -20;
    for (const Task& task : tasks)
        if (task.niceness > most) most = task.niceness;
    return most;
}
} // namespace

TEST(EncoderPriority, aVideosWriterThreadAndFfmpegRunBelowTheRenderingThread) {
    int own = getpriority(PRIO_PROCESS, 0);
    if (own > 9) GTEST_SKIP() << "already running at niceness " << own;
    auto dir = std::filesystem::temp_directory_path() / ("zd-priority-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::vector<unsigned char> frame(64 * 48 * 4, 128);
    std::string error;

    auto video = openFrameSink((dir / "out.mp4").string(), 25, 0, error);
    ASSERT_TRUE(video) << error;
    ASSERT_TRUE(video->writeFrame(frame.data(), 64, 48, error)) << error;
    Task encoder;
    ASSERT_TRUE(findEncoder(encoder)) << "no ffmpeg child started";
    EXPECT_GT(encoder.niceness, own);
    EXPECT_GT(mostNiceness(ourThreads()), own) << "the writer thread";
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), own) << "the rendering thread";
    EXPECT_TRUE(video->finish(error)) << error;
    video.reset();
    std::filesystem::remove_all(dir);
}
