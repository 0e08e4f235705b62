// The playlist panel against a host whose answers are arbitrary: any length,
// negative and huge ones included; null, empty, very long, backslash-free and
// backslash-ended paths; positions far outside the list; and then any order
// of refreshes, position changes, drawing, clicks and scrolling. Each answer
// is freed as soon as the host answers the next message, so a panel that
// kept a path instead of copying it reads freed memory.
#include "support/fuzz_check.h"
#include "support/fuzz_input.h"
#include "support/headless_gl.h"

#include "overlay/playlist_panel.h"
#include "shell/vis_module.h"
#include "text/text.h"

#include <windows.h>

#include <GL/gl.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {

FuzzInput* script = nullptr;
std::unique_ptr<std::string> lastPath;
// More path queries than this in one run, and the panel is fetching whatever
// length the host claims, however absurd.
constexpr long pathQueryLimit = 1L << 20;
long pathQueries = 0;

const int lengths[] = {INT_MIN, -1000, -1, 0, 1, 2, 3, 24, 25, 26, 30, 100, 1000, INT_MAX};
const int positions[] = {INT_MIN, INT_MIN + 1,  -6,          -1,     0, 3, 5, 12, 24, 25, 99, 100,
                         4000,    INT_MAX - 25, INT_MAX - 5, INT_MAX};

// The listed extremes, or an ordinary length of up to a few thousand.
int answerLength() {
    return script->flag() ? script->oneOf(lengths) : script->intIn(-100, 3000);
}

std::string longPath(char separatorEvery) {
    std::string path(10000, 'x');
    for (std::size_t i = separatorEvery; separatorEvery && i < path.size(); i += separatorEvery)
        path[i] = '\\';
    return path;
}

// Null, empty, long, backslash-free, ending in a backslash, or the script's own bytes.
LRESULT answerPath() {
    FUZZ_CHECK(++pathQueries <= pathQueryLimit);
    const int kind = script->byte() % 7;
    if (kind == 0) return 0;
    switch (kind) {
    case 1:
        lastPath = std::make_unique<std::string>();
        break;
    case 2:
        lastPath = std::make_unique<std::string>(longPath(0));
        break;
    case 3:
        lastPath = std::make_unique<std::string>(longPath(static_cast<char>(script->byte() | 1)));
        break;
    case 4:
        lastPath = std::make_unique<std::string>("C:\\Music\\Albums\\");
        break;
    case 5:
        lastPath = std::make_unique<std::string>("C:\\Music\\" + script->text(80));
        break;
    default:
        lastPath = std::make_unique<std::string>(script->text(200));
        break;
    }
    return reinterpret_cast<LRESULT>(lastPath->c_str());
}

LRESULT CALLBACK hostProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_USER || !script) return DefWindowProcA(window, message, wParam, lParam);
    // The previous answer goes the moment the host is asked again.
    lastPath.reset();
    if (lParam == hostGetPlaylistLength) return answerLength();
    if (lParam == hostGetPlaylistFile) return answerPath();
    return 0;
}

HWND createHostWindow() {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = hostProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "ZephyrdomeFuzzHost";
    RegisterClassExA(&windowClass);
    return CreateWindowExA(0, "ZephyrdomeFuzzHost", "Fuzz host", WS_POPUP, 0, 0, 200, 100, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

VisModule hostModule = {};

void checkPanel(const PlaylistPanel& panel) {
    FUZZ_CHECK(panel.titleCount >= 0);
    FUZZ_CHECK(panel.firstVisible >= 0);
    FUZZ_CHECK((panel.titles == nullptr) == (panel.titleCount == 0));
    for (int i = 0; i < panel.titleCount; ++i) {
        const char* title = panel.titles[i];
        if (!title) continue;
        FUZZ_CHECK(std::strlen(title) <= 40);
        FUZZ_CHECK(std::strchr(title, '\\') == nullptr);
    }
}

int anyPosition() {
    return script->flag() ? script->oneOf(positions) : static_cast<int>(script->word());
}

// A click's y, as the window procedure passes it: an unsigned 16-bit value.
void click(PlaylistPanel& panel) {
    const int x = static_cast<int>(script->inRange(0, 0xFFFF));
    const int y = static_cast<int>(script->inRange(0, 0xFFFF));
    const int line = panel.hitTest(x, y);
    FUZZ_CHECK(line == -1 || (line >= 0 && line < panel.titleCount && panel.current == line));
}

void step(std::unique_ptr<PlaylistPanel>& panel) {
    switch (script->byte() % 8) {
    case 0:
        panel->refresh();
        break;
    case 1:
        panel->setCurrent(anyPosition());
        break;
    case 2:
        panel->draw();
        break;
    case 3:
        click(*panel);
        break;
    case 4:
        panel->scrollUp();
        break;
    case 5:
        panel->scrollDown();
        break;
    case 6:
        panel->toggle();
        break;
    default:
        panel.reset();
        glDeleteTextures(1, &fontInfo.texture);
        panel = std::make_unique<PlaylistPanel>(&hostModule, ZD_FONT_IMAGE);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    openHeadlessGL();
    hostModule.hostWindow = createHostWindow();
    FUZZ_CHECK(hostModule.hostWindow != nullptr);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    script = &in;
    pathQueries = 0;
    highlightDirection = in.flag() ? 1 : -1;
    auto panel = std::make_unique<PlaylistPanel>(&hostModule, ZD_FONT_IMAGE);
    checkPanel(*panel);
    for (int steps = 0; steps < 64 && !in.empty(); ++steps) {
        step(panel);
        checkPanel(*panel);
    }
    panel.reset();
    script = nullptr;
    lastPath.reset();
    glDeleteTextures(1, &fontInfo.texture);
    while (glGetError() != GL_NO_ERROR) {
    }
    return 0;
}
