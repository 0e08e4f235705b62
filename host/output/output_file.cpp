#include "output/output_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

std::string temporaryPathFor(const std::string& path) {
    return path + ".part";
}

bool commitFile(const std::string& temporary, const std::string& final, std::string& error) {
    std::error_code code;
    std::filesystem::rename(temporary, final, code);
    if (!code) return true;
    error = "cannot write " + final + ": " + code.message();
    std::filesystem::remove(temporary, code);
    return false;
}

bool checkWritable(const std::string& path, std::string& error) {
    std::string probe = temporaryPathFor(path);
    std::FILE* file = std::fopen(probe.c_str(), "wb");
    if (!file) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    std::fclose(file);
    std::remove(probe.c_str());
    return true;
}
