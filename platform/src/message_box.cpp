// Message boxes, headless: each is recorded for the hooks, told on one line of
// stderr and answered at once with its first button, as if the user had
// pressed Enter.
#include "hooks_state.h"
#include "window_state.h"

#include <cstdio>

namespace zdp {
namespace {

std::vector<PlatformMessageBox>& record() {
    static auto* boxes = new std::vector<PlatformMessageBox>;
    return *boxes;
}

int firstButton(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}

// The stderr report stays on one line whatever the text holds.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

} // namespace

void clearMessageBoxRecord() {
    StateLock lock(stateMutex());
    record().clear();
}

} // namespace zdp

using namespace zdp;

// Windows' default caption is "Error".
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    StateLock lock(stateMutex());
    if (owner && !checkWindow(owner)) return 0;
    PlatformMessageBox box{owner, text ? text : "", caption ? caption : "Error", type};
    std::fprintf(stderr, "MessageBox [%s] %s\n", oneLine(box.caption).c_str(),
                 oneLine(box.text).c_str());
    std::fflush(stderr);
    record().push_back(std::move(box));
    return firstButton(type);
}

std::vector<PlatformMessageBox> platformMessageBoxes() {
    StateLock lock(stateMutex());
    return record();
}

void platformClearMessageBoxes() {
    clearMessageBoxRecord();
}
