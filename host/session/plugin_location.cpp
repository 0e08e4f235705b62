#include "session/plugin_location.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {
std::filesystem::path executablePath(const std::string& programPath) {
    std::error_code code;
#ifdef _WIN32
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::filesystem::path(path);
#else
    std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", code);
    if (!code) return self;
#endif
    return std::filesystem::absolute(programPath, code);
}
} // namespace

std::string defaultPluginPath(const std::string& programPath) {
#ifdef _WIN32
    const char* const pluginName = "zephyrdome.dll";
#else
    const char* const pluginName = "zephyrdome.so";
#endif
    std::filesystem::path folder = executablePath(programPath).parent_path();
    std::filesystem::path beside = folder / pluginName;
    // Installed, the program sits in bin/ and its libraries in lib/zephyrdome/.
    std::filesystem::path installed = folder / ".." / "lib" / "zephyrdome" / pluginName;
    std::error_code code;
    if (!std::filesystem::exists(beside, code) && std::filesystem::exists(installed, code))
        return installed.lexically_normal().string();
    return beside.string();
}
