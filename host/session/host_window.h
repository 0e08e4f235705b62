// The host's main window: the plug-in's owner and the window it sends its
// playlist questions and commands to. Its procedure answers them from the
// playlist. One per process.
#pragma once

#include "session/playlist.h"

#include <windows.h>

#include <string>

class HostWindow {
  public:
    HostWindow() = default;
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    bool create(Playlist& playlist, std::string& error);
    void destroy();
    HWND handle() const { return window_; }

    int playCommands() const { return playCommands_; }
    // Key releases the plug-in passed on; a live-play mode would act on them.
    int keyReleases() const { return keyReleases_; }

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT answerUser(HWND window, WPARAM wParam, LPARAM lParam);
    LRESULT answerCommand(HWND window, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    Playlist* playlist_ = nullptr;
    int playCommands_ = 0;
    int keyReleases_ = 0;
};
