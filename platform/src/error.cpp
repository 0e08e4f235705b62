// The thread's last error, and the one lock of the subset's tables.
#include "window_state.h"

namespace zdp {
namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
} // namespace

void setError(DWORD error) {
    lastError = error;
}

std::recursive_mutex& stateMutex() {
    static auto* mutex = new std::recursive_mutex;
    return *mutex;
}

} // namespace zdp

DWORD WINAPI GetLastError(void) {
    return zdp::lastError;
}

void WINAPI SetLastError(DWORD errorCode) {
    zdp::lastError = errorCode;
}
