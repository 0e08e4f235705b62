#include "output/progress.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

bool stderrIsTerminal() {
#ifdef _WIN32
    return _isatty(2) != 0;
#else
    return isatty(2) != 0;
#endif
}

std::string progressText(long long done, long long total, double seconds) {
    const int width = 30;
    char text[160];
    double fps = seconds > 0.0 ? done / seconds : 0.0;
    if (total > 0) {
        int filled = static_cast<int>(width * done / total);
        if (filled > width) filled = width;
        std::string bar = std::string(filled, '#') + std::string(width - filled, '.');
        std::snprintf(text, sizeof text, "[%s] %lld/%lld frames %3d%% %6.1f fps", bar.c_str(), done,
                      total, static_cast<int>(100 * done / total), fps);
    } else {
        std::snprintf(text, sizeof text, "%lld frames %6.1f fps", done, fps);
    }
    return text;
}

ProgressBar::ProgressBar(long long totalFrames, bool enabled)
    : total_(totalFrames), enabled_(enabled), start_(std::chrono::steady_clock::now()),
      lastDraw_(start_) {}

double ProgressBar::elapsedSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void ProgressBar::update(long long framesDone) {
    if (!enabled_) return;
    auto now = std::chrono::steady_clock::now();
    if (now - lastDraw_ < std::chrono::milliseconds(100) && framesDone != total_) return;
    lastDraw_ = now;
    std::fprintf(stderr, "\r%s", progressText(framesDone, total_, elapsedSeconds()).c_str());
    std::fflush(stderr);
}

void ProgressBar::finish() {
    if (!enabled_) return;
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
}
