// Window geometry with Windows' classic metrics: a 3-pixel fixed frame, a
// 4-pixel sizing frame, a 19-pixel caption and a 16-pixel tool-window caption
// (border lines included), so a 640 by 480 tool window with a system menu
// has a 634 by 458 client area, as on Windows and Wine.
#include "window_state.h"

namespace zdp {
namespace {

constexpr int fixedFrame = 3;
constexpr int sizingFrame = 4;
constexpr int thinBorder = 1;
constexpr int clientEdge = 2;
constexpr int captionHeight = 19;
constexpr int smallCaptionHeight = 16;

// Overlapped windows (neither child nor pop-up) always get a caption.
DWORD effectiveStyle(DWORD style) {
    if (!(style & (WS_CHILD | WS_POPUP))) style |= WS_CAPTION;
    return style;
}

int edgeFor(DWORD style, DWORD exStyle) {
    if (style & WS_THICKFRAME) return sizingFrame;
    if ((style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) return fixedFrame;
    if (style & WS_BORDER) return thinBorder;
    return 0;
}

RECT screenRectOf(const Window& window) {
    RECT rect = window.rect;
    if (window.style & WS_CHILD) {
        POINT origin = clientOriginOnScreen(window.parent);
        rect.left += origin.x;
        rect.right += origin.x;
        rect.top += origin.y;
        rect.bottom += origin.y;
    }
    return rect;
}

} // namespace

FrameMetrics frameMetricsFor(DWORD style, DWORD exStyle) {
    style = effectiveStyle(style);
    int edge = edgeFor(style, exStyle);
    if (exStyle & WS_EX_CLIENTEDGE) edge += clientEdge;
    int caption = 0;
    if ((style & WS_CAPTION) == WS_CAPTION)
        caption = (exStyle & WS_EX_TOOLWINDOW) ? smallCaptionHeight : captionHeight;
    return {edge, edge + caption, edge, edge};
}

RECT clientRectOf(const Window& window) {
    FrameMetrics frame = frameMetricsFor(window.style, window.exStyle);
    LONG width = window.rect.right - window.rect.left - frame.left - frame.right;
    LONG height = window.rect.bottom - window.rect.top - frame.top - frame.bottom;
    return {0, 0, width > 0 ? width : 0, height > 0 ? height : 0};
}

POINT clientOriginOnScreen(HWND handle) {
    const Window* window = findWindow(handle);
    if (!window) return {0, 0};
    FrameMetrics frame = frameMetricsFor(window->style, window->exStyle);
    RECT rect = screenRectOf(*window);
    return {rect.left + frame.left, rect.top + frame.top};
}

} // namespace zdp

using namespace zdp;

BOOL WINAPI GetWindowRect(HWND handle, LPRECT rect) {
    StateLock lock(stateMutex());
    const Window* window = checkWindow(handle);
    if (!window) return FALSE;
    if (!rect) {
        setError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *rect = screenRectOf(*window);
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND handle, LPRECT rect) {
    StateLock lock(stateMutex());
    const Window* window = checkWindow(handle);
    if (!window) return FALSE;
    if (!rect) {
        setError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *rect = clientRectOf(*window);
    return TRUE;
}

// The subset draws no menu bars, so the menu flag adds nothing.
BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL, DWORD exStyle) {
    if (!rect) {
        setError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FrameMetrics frame = frameMetricsFor(style, exStyle);
    rect->left -= frame.left;
    rect->top -= frame.top;
    rect->right += frame.right;
    rect->bottom += frame.bottom;
    return TRUE;
}
