// Runs the plug-in's own start, frames and stop inside a test, against a
// recording test host, with every module-wide value back at its load value.
#pragma once

#include "test_host.h"

#include "audio/audio_features.h"
#include "overlay/playlist_panel.h"
#include "scene/scene.h"
#include "shell/module.h"
#include "shell/render_window.h"
#include "shell/view_state.h"

#include <platform_hooks.h>

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

class PluginSession : public ::testing::Test {
  protected:
    void SetUp() override {
        platformReset();
        renderWindow = nullptr;
        renderDC = nullptr;
        renderContext = nullptr;
        renderPalette = nullptr;
        playlistPanel = nullptr;
        viewState = ViewState{};
        resetRingState();
        audioFeatures = AudioFeatures{};
        highlightDirection = 1;
        host = std::make_unique<TestHost>();
        module = getVisModule(0);
        module->hostWindow = host->window();
        module->instance = GetModuleHandleA(nullptr);
        std::memset(module->spectrum, 0, sizeof(module->spectrum));
        std::memset(module->waveform, 0, sizeof(module->waveform));
    }

    void TearDown() override {
        if (renderWindow) onStop(module);
        host.reset();
        platformReset();
    }

    int start() { return onStart(module); }

    int frame() {
        const int result = onRender(module);
        host->pumpMessages();
        return result;
    }

    // A key press as the system delivers it: queued, then dispatched.
    void press(WPARAM key, LPARAM keyData = 1) {
        PostMessageA(renderWindow, WM_KEYDOWN, key, keyData);
        host->pumpMessages();
    }

    void release(WPARAM key, LPARAM keyData = static_cast<LPARAM>(0xC0000001u)) {
        PostMessageA(renderWindow, WM_KEYUP, key, keyData);
        host->pumpMessages();
    }

    void click(int x, int y) {
        PostMessageA(renderWindow, WM_LBUTTONDOWN, 0, MAKELPARAM(x, y));
        host->pumpMessages();
    }

    static std::array<float, 16> modelview() {
        std::array<float, 16> m;
        glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
        return m;
    }

    // The render window's last presented picture, RGBA rows top-down.
    std::vector<unsigned char> presented(int* width = nullptr, int* height = nullptr) const {
        int w = 0, h = 0;
        const unsigned char* pixels = platformWindowImage(renderWindow, &w, &h);
        if (width) *width = w;
        if (height) *height = h;
        if (!pixels) return {};
        return std::vector<unsigned char>(pixels, pixels + static_cast<size_t>(w) * h * 4);
    }

    std::unique_ptr<TestHost> host;
    VisModule* module = nullptr;
};
