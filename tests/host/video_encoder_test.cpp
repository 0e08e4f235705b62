// A video's ffmpeg encoder: started early, when the host knows the frames'
// size, it still encodes the size the frames have; it starts at the
// renderer's priority, so that its own start is not starved, and once it has
// taken the first frames every thread of it and the writer thread run lower,
// while the thread that renders keeps its priority.
#include "output/frame_sink.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
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

std::vector<Task> threadsOf(const std::filesystem::path& process) {
    std::vector<Task> tasks;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(process / "task", ignored)) {
        Task task;
        if (readTask(entry.path() / "stat", task)) tasks.push_back(task);
    }
    return tasks;
}

// Our ffmpeg child, once it runs; polled, since the writer thread starts it.
bool findEncoder(Task& encoder, std::filesystem::path& process) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        // Processes come and go while /proc is listed: errors end the listing, not the test.
        std::error_code ignored;
        for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
            Task task;
            if (readTask(entry.path() / "stat", task) && task.parent == getpid() &&
                task.name == "ffmpeg") {
                encoder = task;
                process = entry.path();
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

int leastNiceness(const std::vector<Task>& tasks) {
    int least = 19;
    for (const Task& task : tasks)
        if (task.niceness < least) least = task.niceness;
    return least;
}

// The writer steps down on its own thread: polled.
bool everyThreadBelow(const std::filesystem::path& process, int niceness) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::vector<Task> tasks = threadsOf(process);
        if (!tasks.empty() && leastNiceness(tasks) > niceness) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}
} // namespace

// A video in a scratch folder, begun at 64x48 before any frame.
class VideoEncoder : public testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(dir);
        std::string error;
        video = openFrameSink((dir / "out.mp4").string(), 25, 0, error);
        ASSERT_TRUE(video) << error;
        ASSERT_TRUE(video->begin(64, 48, error)) << error;
    }
    void TearDown() override {
        video.reset();
        std::filesystem::remove_all(dir);
    }

    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("zd-encoder-" + std::to_string(getpid()));
    std::unique_ptr<FrameSink> video;
};

TEST_F(VideoEncoder, startsAtTheRenderersPriorityThenRunsBelowIt) {
    int own = getpriority(PRIO_PROCESS, 0);
    if (own > 9) GTEST_SKIP() << "already running at niceness " << own;
    std::vector<unsigned char> frame(64 * 48 * 4, 128);
    std::string error;
    Task encoder;
    std::filesystem::path process;
    ASSERT_TRUE(findEncoder(encoder, process)) << "begin started no ffmpeg child";
    EXPECT_EQ(encoder.niceness, own) << "ffmpeg starts at the renderer's priority";
    EXPECT_EQ(mostNiceness(threadsOf("/proc/self")), own) << "the writer thread, at first";

    for (int n = 0; n < 9; ++n)
        ASSERT_TRUE(video->writeFrame(frame.data(), 64, 48, error)) << error;
    EXPECT_TRUE(everyThreadBelow(process, own)) << "ffmpeg's threads after the first frames";
    EXPECT_GT(mostNiceness(threadsOf("/proc/self")), own) << "the writer thread";
    EXPECT_EQ(getpriority(PRIO_PROCESS, 0), own) << "the rendering thread";
    EXPECT_TRUE(video->finish(error)) << error;
}

TEST_F(VideoEncoder, aVideoBegunAtAnotherSizeHasTheFramesSize) {
    std::vector<unsigned char> frame(32 * 24 * 4, 200);
    std::string error;
    for (int n = 0; n < 3; ++n)
        ASSERT_TRUE(video->writeFrame(frame.data(), 32, 24, error)) << error;
    ASSERT_TRUE(video->finish(error)) << error;
    std::string command = "ffprobe -v error -show_entries stream=width,height -of csv=p=0 '" +
                          (dir / "out.mp4").string() + "'";
    std::FILE* probe = popen(command.c_str(), "r");
    char line[64] = {};
    ASSERT_TRUE(probe && std::fgets(line, sizeof line, probe));
    pclose(probe);
    EXPECT_EQ(std::string(line), "32,24\n");
}
