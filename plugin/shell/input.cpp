#include "overlay/playlist_panel.h"
#include "shell/module.h"
#include "shell/render_window.h"
#include "shell/view_state.h"

namespace {

constexpr float keyRotationStep = 2.0f;

void toggle(int& flag) { flag = flag ? 0 : 1; }

void growSphere() {
    viewState.sphereCounter += 1.0f;
    viewState.sphereRadius = viewState.sphereCounter * viewState.sphereCounter;
    viewState.sphereGrowing = 1;
}

void setManualStep(float& step) {
    if (!viewState.autoRotate) step = keyRotationStep;
}

} // namespace

void handleKeyDown(WPARAM key) {
    switch (key) {
    case VK_LEFT: setManualStep(viewState.rotationStepX); break;
    case VK_UP: growSphere(); break;
    case VK_RIGHT: setManualStep(viewState.rotationStepZ); break;
    case VK_DOWN: setManualStep(viewState.rotationStepY); break;
    case 'A': viewState.ringMode = 3; break;
    case 'B': viewState.ringMode = 1; break;
    case 'C': viewState.ringMode = 2; break;
    case 'D':
        toggle(viewState.autoRotate);
        viewState.rotationStepZ = viewState.rotationStepY = viewState.rotationStepX = keyRotationStep;
        break;
    case 'H': toggle(viewState.helpVisible); break;
    case VK_F2: toggle(viewState.playlistVisible); break;
    case VK_F3: toggle(viewState.sceneVisible); break;
    }
}

void handleKeyUp(WPARAM key) {
    if (key != VK_UP) return;
    viewState.sphereGrowing = 0;
    viewState.sphereCounter = 1.0f;
    viewState.sphereRadius = 1.0f;
}

int handleClick(int x, int y) {
    if (!playlistPanel) return -1;
    if (180 < x && x < 240 && 0 < y && y < 20) playlistPanel->scrollUp();
    if (180 < x && x < 240 && 420 < y && y < 450) playlistPanel->scrollDown();
    if (20 < y && y < 420) return playlistPanel->hitTest(x, y);
    return -1;
}

void playTitle(int index) {
    HWND host = getVisModule(0)->hostWindow;
    SendMessageA(host, WM_USER, static_cast<WPARAM>(index), hostSetPlaylistPosition);
    SendMessageA(host, WM_COMMAND, hostPlayCommand, 0);
}
