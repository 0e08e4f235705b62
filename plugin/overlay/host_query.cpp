#include "overlay/host_query.h"

namespace {
constexpr UINT otherThreadTimeoutMs = 50;
}

bool askHost(HWND host, WPARAM wParam, LPARAM lParam, LRESULT& answer) {
    const DWORD hostThread = GetWindowThreadProcessId(host, nullptr);
    if (hostThread == 0 || hostThread == GetCurrentThreadId()) {
        answer = SendMessageA(host, WM_USER, wParam, lParam);
        return true;
    }
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(host, WM_USER, wParam, lParam, SMTO_ABORTIFHUNG, otherThreadTimeoutMs,
                             &result))
        return false;
    answer = static_cast<LRESULT>(result);
    return true;
}
