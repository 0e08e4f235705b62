#include "session/live_trace.h"

#include <cstdarg>
#include <cstdio>

namespace {
const char* inputMessageName(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
        return "WM_KEYDOWN";
    case WM_KEYUP:
        return "WM_KEYUP";
    case WM_SYSKEYDOWN:
        return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP:
        return "WM_SYSKEYUP";
    case WM_LBUTTONDOWN:
        return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP:
        return "WM_LBUTTONUP";
    case WM_RBUTTONDOWN:
        return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP:
        return "WM_RBUTTONUP";
    case WM_CLOSE:
        return "WM_CLOSE";
    }
    return nullptr;
}
} // namespace

void LiveTrace::line(const char* format, ...) {
    if (!enabled_) return;
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::putchar('\n');
    // Whoever reads the trace acts on each line as it comes.
    std::fflush(stdout);
}

void LiveTrace::message(const char* receiver, const MSG& message) {
    const char* name = inputMessageName(message.message);
    if (enabled_ && name)
        line("%s %s 0x%02lx 0x%08lx", receiver, name, static_cast<unsigned long>(message.wParam),
             static_cast<unsigned long>(message.lParam) & 0xFFFFFFFFul);
}
