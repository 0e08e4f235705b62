#include "run_host.h"

#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::vector<std::string> HostRun::errorLines() const {
    std::vector<std::string> lines;
    std::istringstream in(errorOutput);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

namespace {
std::vector<std::string> environmentWithPath(const std::string& path) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (path.empty() || std::string(*e).rfind("PATH=", 0) != 0) env.push_back(*e);
    if (!path.empty()) env.push_back("PATH=" + path);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (std::string& s : strings)
        result.push_back(s.data());
    result.push_back(nullptr);
    return result;
}
} // namespace

HostRun runHost(const std::vector<std::string>& args, const std::string& path) {
    std::vector<std::string> argv = {ZD_HOST_PROGRAM};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> env = environmentWithPath(path);
    char logName[] = "/tmp/zdhost-stderr-XXXXXX";
    int log = mkstemp(logName);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, log, 2);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", 0, 0);
    HostRun run;
    pid_t pid;
    if (posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers(argv).data(),
                    pointers(env).data()) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(log);
    std::ifstream in(logName);
    run.errorOutput.assign(std::istreambuf_iterator<char>(in), {});
    unlink(logName);
    return run;
}

int PngPicture::litPixels() const {
    int lit = 0;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (rgb[i] > 16 || rgb[i + 1] > 16 || rgb[i + 2] > 16) ++lit;
    return lit;
}

bool readPng(const std::string& path, PngPicture& picture) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr) != 0;
}

std::vector<std::string> filesIn(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> names;
    std::error_code code;
    for (const auto& entry : std::filesystem::directory_iterator(folder, code)) {
        std::string name = entry.path().filename().string();
        if (name.size() >= suffix.size() &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}
