// A stand-in for the player's main window: it records every message it
// receives and answers the playlist messages a plug-in sends.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class TestHost {
  public:
    TestHost();
    ~TestHost();
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    HWND window() const { return window_; }

    // Full paths; std::nullopt answers the path query with a null pointer.
    std::vector<std::optional<std::string>> playlist;
    int position = 0;
    // When set, answers the length query with this instead of playlist.size().
    std::optional<int> reportedLength;
    // Called with the query code of each WM_USER question before it is answered.
    std::function<void(LPARAM)> whileAnswering;
    int playCount = 0;
    // Quit messages that reached this thread's queue.
    int quitCount = 0;
    std::vector<RecordedMessage> messages;

    // Messages received with this message number (and lParam, when given).
    int countOf(UINT message, std::optional<LPARAM> lParam = std::nullopt) const;
    std::vector<RecordedMessage> only(UINT message) const;
    // Dispatches everything queued on this thread; quit messages are counted, not obeyed.
    void pumpMessages();

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};
